#pragma once

// The record sources of the catalogue screens: how a product, a vendor and a product
// location appear as screen fields, and how a form's values are checked by the table
// rules and stored. Every store goes through a fresh table object with the screen as
// parent, so the rule's own message is shown and its error number picks the field.

#include "Records.h"
#include "WSIRecordSource.h"

#include <cstring>
#include <string>

class WSIDatabase;

namespace tavel::products {

// Fields of the product form, in the order a clinic fills them in.
enum ProductField : int {
    PfProductCode = 0,
    PfUPCCode,
    PfDescription,
    PfManufacturer,
    PfPrdType,
    PfPrdCat,
    PfUnit,
    PfItemsPerUnit,
    PfItemUnit,
    PfWeightUnit,
    PfIsDividable,
    PfVendor,
    PfInvOType,
    PfCanOrder,
    PfLeadTime,
    PfLeadTimeUnit,
    PfCostingMethod,
    PfTrackExpiryDate,
    PfCostPerUnit,
    PfAverageCost,
    PfInactive,
    PfCount
};

// Message codes of the UPC check-digit checks.
inline constexpr unsigned kMsgUpcCheckDigitWarning = 39850; // question: store anyway?
inline constexpr unsigned kMsgGtinCheckDigitWrong = 39851;  // refusal
inline constexpr unsigned kMsgNotStored = 39852;            // a new record could not be written

// A record's fixed text field as the screens show it: up to its terminator, trimmed.
template <std::size_t N> QString FieldText(const char (&field)[N]) {
    return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, N))).trimmed();
}

// A list column of a search screen: its heading (translated in context) and width.
WSIFieldDef ListColumn(const char* context, const char* heading, int width);

// Reads the row whose id key (the member key of the record) is id into table, which is
// cleared first and stays cleared for 0: a caller's table follows a list's selection.
template <class Table, class Data> void ReadById(Table* table, long Data::*key, long id) {
    if (!table)
        return;
    table->InitRecord();
    if (id) {
        table->data.*key = id;
        table->GetEqual(__FILE__, __LINE__);
    }
}

// Whether a code of 8, 12, 13 or 14 digits ends in its GS1 check digit. Other codes
// (letters, other lengths) carry none and pass.
bool CheckDigitHolds(const std::string& code);
// Whether code is a GTIN-14: fourteen digits.
bool IsGtin14(const std::string& code);

class ProductSource : public WSIRecordSource {
public:
    explicit ProductSource(WSIDatabase* db);

    std::vector<WSIFieldDef> Fields() const override;
    bool Load(const QString& search, const Sink& sink) override;
    bool Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
              int& failedField) override;
    bool CanDelete(const WSIRecord& record, WSIWindow* parent, QString& message) override;
    bool Remove(const WSIRecord& record, WSIWindow* parent, QString& message) override;

    // A product as form values; its id is kept in the record's data.
    WSIRecord ToRecord(const WSIProduct::WSIData& product) const;
    // A new product's starting values: active, orderable, one item per unit.
    WSIRecord NewRecord() const;
    static long ProductOf(const WSIRecord& record);

private:
    WSIDatabase* db_;
    std::vector<WSIFieldDef> fields_;
};

// The vendor's fields, in form order.
enum VendorField : int {
    VfName = 0,
    VfAddress1,
    VfAddress2,
    VfCity,
    VfProvince,
    VfPostalCode,
    VfArea,
    VfPhone,
    VfFax,
    VfNotes,
    VfInactive,
    VfCount
};

class VendorSource : public WSIRecordSource {
public:
    explicit VendorSource(WSIDatabase* db);

    std::vector<WSIFieldDef> Fields() const override;
    // Every vendor by name (the search screen builds its own statement).
    bool Load(const QString& search, const Sink& sink) override;
    bool Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
              int& failedField) override;
    bool CanDelete(const WSIRecord& record, WSIWindow* parent, QString& message) override;
    bool Remove(const WSIRecord& record, WSIWindow* parent, QString& message) override;

    WSIRecord ToRecord(const WSIVendor::WSIData& vendor) const;
    static long VendorOf(const WSIRecord& record);

private:
    WSIDatabase* db_;
};

// A product location's fields; the quantity is shown, never typed in.
enum PrdLocField : int {
    LfInvLoc = 0,
    LfBin,
    LfStocked,
    LfTrackUsage,
    LfCanOrderFrom,
    LfMinCount,
    LfReorderCount,
    LfMaxCount,
    LfMinToOrder,
    LfStdToOrder,
    LfInactive,
    LfQuantity,
    LfCount
};

class PrdLocSource : public WSIRecordSource {
public:
    // The rows of product at real locations (its default row is never listed).
    PrdLocSource(WSIDatabase* db, long product);

    std::vector<WSIFieldDef> Fields() const override;
    bool Load(const QString& search, const Sink& sink) override;
    bool Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
              int& failedField) override;
    bool CanDelete(const WSIRecord& record, WSIWindow* parent, QString& message) override;
    bool Remove(const WSIRecord& record, WSIWindow* parent, QString& message) override;
    bool CanPrint() const override { return true; }
    bool Print(WSIWindow* parent, bool preview) override;

    WSIRecord ToRecord(const WSIPrdLoc::WSIData& row) const;
    // The stored row of the record (its key and the values the form cannot change).
    static const WSIPrdLoc::WSIData* RowOf(const WSIRecord& record);
    long Product() const { return product_; }
    // Locations offered for a row: every location but those that hold no stock.
    const std::vector<WSIFieldDef>& CachedFields() const { return fields_; }

private:
    WSIDatabase* db_;
    long product_;
    std::vector<WSIFieldDef> fields_;
};

} // namespace tavel::products
