#pragma once

// Record classes of the product catalogue: products, product types and categories,
// units, vendors, and the suite's city and province look-up tables.

#include "ColumnWidths.h"
#include "RecordMacros.h"

// "Unit" and "WeightUnit" hold a PRDUNIT "Description". "CostingMethod": 0 oldest
// first, 1 newest first, 2 oldest first at the running average, 3 earliest expiry
// first. "LeadTimeUnit" -1 means none chosen.
#define TVL_PRODUCT_COLUMNS(X)                                                                     \
    X(Product, Id, 0, true)                                                                        \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(UPCCode, Text, ColWidth::UPCCode, false)                                                     \
    X(Description, Text, ColWidth::ProductDesc, false)                                             \
    X(PrdType, Id, 0, false)                                                                       \
    X(PrdCat, Code, ColWidth::PrdCat, false)                                                       \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(WeightUnit, Text, ColWidth::Unit, false)                                                     \
    X(Vendor, Id, 0, false)                                                                        \
    X(Manufacturer, Text, ColWidth::Manufacturer, false)                                           \
    X(InvOType, Code, ColWidth::InvOType, false)                                                   \
    X(CostPerUnit, Amount, 0, false)                                                               \
    X(CanOrder, Flag, 0, false)                                                                    \
    X(IsDividable, Flag, 0, false)                                                                 \
    X(TrackExpiryDate, Flag, 0, false)                                                             \
    X(Inactive, Flag, 0, false)                                                                    \
    X(ItemsPerUnit, Count, 0, false)                                                               \
    X(ItemUnit, Text, ColWidth::Unit, false)                                                       \
    X(CostingMethod, Count, 0, false)                                                              \
    X(AverageCost, Amount, 0, false)                                                               \
    X(LeadTime, Count, 0, false)                                                                   \
    X(LeadTimeUnit, Count, 0, false)

#define TVL_PRDTYPE_COLUMNS(X)                                                                     \
    X(PrdType, Id, 0, true)                                                                        \
    X(Description, Text, ColWidth::CodeDesc, false)

#define TVL_PRDCAT_COLUMNS(X)                                                                      \
    X(PrdType, Id, 0, true)                                                                        \
    X(PrdCat, Code, ColWidth::PrdCat, true)                                                        \
    X(Description, Text, ColWidth::CodeDesc, false)                                                \
    X(Inactive, Flag, 0, false)

// Units are referred to by "Description", compared without regard to case.
#define TVL_PRDUNIT_COLUMNS(X)                                                                     \
    X(PrdUnit, Id, 0, true)                                                                        \
    X(Description, Text, ColWidth::Unit, false)                                                    \
    X(IsDividable, Flag, 0, false)                                                                 \
    X(Inactive, Flag, 0, false)

// "Province" holds a PROVINCE "Province"; "Address2" is the second address line
// some countries need.
#define TVL_VENDOR_COLUMNS(X)                                                                      \
    X(Vendor, Id, 0, true)                                                                         \
    X(Name, Text, ColWidth::VendorName, false)                                                     \
    X(Address1, Text, ColWidth::Address, false)                                                    \
    X(Address2, Text, ColWidth::Address, false)                                                    \
    X(City, Text, ColWidth::PlaceName, false)                                                      \
    X(Province, Text, ColWidth::PlaceName, false)                                                  \
    X(PostalCode, Text, ColWidth::PostalCode, false)                                               \
    X(Area, Text, ColWidth::AreaCode, false)                                                       \
    X(Phone, Text, ColWidth::Phone, false)                                                         \
    X(Fax, Text, ColWidth::Phone, false)                                                           \
    X(Notes, Text, ColWidth::Notes, false)                                                         \
    X(Inactive, Flag, 0, false)

// The host's city look-up fills a vendor's province, postal code and area code.
#define TVL_CITY_COLUMNS(X)                                                                        \
    X(City, Text, ColWidth::PlaceName, true)                                                       \
    X(Province, Text, ColWidth::PlaceName, false)                                                  \
    X(PostalCode, Text, ColWidth::PostalCode, false)                                               \
    X(Area, Text, ColWidth::AreaCode, false)

#define TVL_PROVINCE_COLUMNS(X)                                                                    \
    X(Province, Text, ColWidth::PlaceName, true)                                                   \
    X(Description, Text, ColWidth::CodeDesc, false)

TVL_TABLE_RECORD(WSIProduct, TVL_PRODUCT_COLUMNS);
TVL_TABLE_RECORD(WSIPrdType, TVL_PRDTYPE_COLUMNS);
TVL_TABLE_RECORD(WSIPrdCat, TVL_PRDCAT_COLUMNS);
TVL_TABLE_RECORD(WSIPrdUnit, TVL_PRDUNIT_COLUMNS);
TVL_TABLE_RECORD(WSIVendor, TVL_VENDOR_COLUMNS);
TVL_TABLE_RECORD(WSICity, TVL_CITY_COLUMNS);
TVL_TABLE_RECORD(WSIProvince, TVL_PROVINCE_COLUMNS);
