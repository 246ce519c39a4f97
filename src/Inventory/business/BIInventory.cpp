#include "BIInventory.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "DBInvItem.h"
#include "DBInvOrdIt.h"
#include "DBPrdLoc.h"
#include "DbInvItDet.h"
#include "InventoryModule.h"
#include "RecordWrites.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "ThrowDbError.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIApplication.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "schema/InventoryCodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

using tavel::EscapeQuotes;

namespace {

// Base statements of the list views, as the views expect them: every "%s" is a slot for
// the view's own conditions. Tabs are part of the text.
constexpr const char kOrderLinesSql[] =
    "SELECT ORD.\"InvOrder\", ORD.\"InvOrdIt\", ORD.\"IsExternal\", ORD.\"InvLoc\", "
    "ORD.\"Vendor\", "
    " ORD.\"PONumber\", ORD.\"InvLocFrom\", ORD.\"InvOType\", ORD.\"SpecialOrder\", ORD.\"Date\", "
    " ORD.\"Inactive\", ORD.\"ApprovalUser\", ORD.\"Item\", ORD.\"Product\", ORD.\"Quantity\", "
    " ORD.\"Unit\", ORD.\"NeedBy\", ORD.\"Comment\", ORD.\"Status\",  ORD.\"QtyFilled\", "
    "ORD.\"Description\", ORD.\"Audit\", TO_DATE(NULL),  CAST(NVL(P.\"ProductCode\", "
    "' ') AS VARCHAR2(20)) \"ProductCode\",  CAST(NVL(P.\"CostPerUnit\", 0) AS NUMBER) "
    "\"CostPerUnit\",  CAST(NVL(PL.\"Bin\", ' ') AS VARCHAR2(12)) \"Bin\",  CAST(NVL(V.\"Name\", "
    "' ') AS VARCHAR2(50)) \"VendorName\",  CAST(NVL(PL.\"Stocked\", 0) AS NUMBER) \"Stocked\", "
    " CAST(NVL(PL.\"TrackUsage\", 0) AS NUMBER) \"TrackUsage\",  CAST(NVL(PL.\"Balance\", "
    "0) AS NUMBER) \"Balance\",  CAST(NVL(PL.\"LastCount\", 0) AS NUMBER) \"LastCount\", "
    " A.\"User\", U.\"Name\", U.\"First\", U.\"Middle\"  FROM PRODUCT P, VENDOR V, PRDLOC "
    "PL, AUDITHIS A, USERS U, \t(select i.\"InvOrder\", t.\"InvOrdIt\", i.\"IsExternal\", "
    "i.\"InvLoc\", i.\"Vendor\", \t\ti.\"PONumber\", i.\"InvLocFrom\", i.\"InvOType\", "
    "i.\"SpecialOrder\", \t\ti.\"Date\", i.\"Inactive\", i.\"ApprovalUser\", t.\"Item\", "
    "t.\"Product\", \t\tt.\"Quantity\", t.\"Unit\", t.\"NeedBy\", "
    "\t\tcast(trim(substr(nvl(t.\"Comment\", "
    "' '), 0, 128)) as varchar2(128)) \"Comment\", \t\tt.\"Status\", t.\"QtyFilled\", "
    "t.\"Description\", i.\"Audit\", TO_DATE(NULL) \t\tfrom invorder i, invordit t where "
    "i.\"InvOrder\" = t.\"InvOrder\") ORD  WHERE ORD.\"Product\" = P.\"Product\" (+) "
    " AND ORD.\"Product\" = PL.\"Product\" (+) AND ORD.\"InvLocFrom\" = PL.\"InvLoc\" "
    "(+)  AND ORD.\"Vendor\" = V.\"Vendor\" (+) AND ORD.\"Audit\" = A.\"Audit\"  AND "
    "A.\"User\" = U.\"User\" %s  ORDER BY ORD.\"Date\", ORD.\"InvOrder\", ORD.\"Item\" ";

constexpr const char kLevelTotalsSql[] =
    "SELECT PL.\"Product\", CAST(' ' AS CHAR(6)) \"InvLoc\",  CAST(' ' AS CHAR(12)) \"Bin\", "
    "PL.\"TrackUsage\" \"TrackUsage\",  PL.\"Balance\", PL.\"LastCount\", 0 \"ReorderCount\", "
    " 0 \"Inactive\", 0 \"MinToOrder\", 0 \"StdToOrder\", PT.\"Description\" \"TypeDesc\", "
    " PC.\"Description\" \"CategoryDesc\", P.\"ProductCode\",  P.\"Description\" \"ProductDesc\", "
    "P.\"Unit\", V.\"Name\" \"VendorName\",  0 \"Orders\", 0 \"OnOrder\"  FROM PRDTYPE "
    "PT, PRDCAT PC, PRODUCT P, VENDOR V, \t(select pl2.\"Product\", sum(decode(pl2.\"TrackUsage\", "
    "1, pl2.\"Balance\", 0)) \"Balance\", \t\tsum(decode(pl2.\"TrackUsage\", 0, pl2.\"LastCount\", "
    "0)) \"LastCount\", \t\tsum(pl2.\"TrackUsage\") \"TrackUsage\" \t\tfrom prdloc pl2 "
    " where NOT (trim(pl2.\"InvLoc\") IS NULL OR LENGTH(trim(pl2.\"InvLoc\")) = 0) %s "
    "group by pl2.\"Product\") PL  WHERE PL.\"Product\" = P.\"Product\" AND P.\"PrdType\" "
    "= PT.\"PrdType\"  AND P.\"PrdType\" = PC.\"PrdType\" AND P.\"PrdCat\" = PC.\"PrdCat\" "
    " AND P.\"Vendor\" = V.\"Vendor\" (+) %s  ORDER BY PT.\"Description\", PC.\"Description\", "
    "P.\"ProductCode\" ";

constexpr const char kLevelsByLocationSql[] =
    "SELECT PL.\"Product\", PL.\"InvLoc\", PL.\"Bin\",  CAST(PL.\"TrackUsage\" AS NUMBER) "
    "\"TrackUsage\", PL.\"Balance\", PL.\"LastCount\",  CAST(PL.\"ReorderCount\" AS NUMBER) "
    "\"ReorderCount\", CAST(PL.\"Inactive\" AS NUMBER) \"Inactive\" ,  CAST(PL.\"MinToOrder\" "
    "AS NUMBER) \"MinToOrder\", CAST(PL.\"StdToOrder\" AS NUMBER) \"StdToOrder\",  "
    "PT.\"Description\" "
    "\"TypeDesc\", PC.\"Description\" \"CategoryDesc\", P.\"ProductCode\",  P.\"Description\" "
    "\"ProductDesc\", P.\"Unit\", V.\"Name\" \"VendorName\",  0 \"Orders\", 0 \"OnOrder\" "
    " FROM PRDLOC PL, PRDTYPE PT, PRDCAT PC, PRODUCT P, VENDOR V  WHERE PL.\"Product\" "
    "= P.\"Product\" AND PL.\"InvLoc\" IS NOT NULL  AND PL.\"InvLoc\" <> ' ' AND P.\"PrdType\" "
    "= PT.\"PrdType\"  AND P.\"PrdType\" = PC.\"PrdType\" AND P.\"PrdCat\" = PC.\"PrdCat\" "
    " AND P.\"Vendor\" = V.\"Vendor\" (+) %s %s  ORDER BY PL.\"InvLoc\", PT.\"Description\", "
    "PC.\"Description\", P.\"ProductCode\" ";

constexpr const char kLevelsWithOrdersHeadSql[] =
    "SELECT PL.\"Product\", PL.\"InvLoc\", PL.\"Bin\",  CAST(PL.\"TrackUsage\" AS NUMBER) "
    "\"TrackUsage\", PL.\"Balance\", PL.\"LastCount\",  CAST(PL.\"ReorderCount\" AS NUMBER) "
    "\"ReorderCount\", CAST(PL.\"Inactive\" AS NUMBER) \"Inactive\" ,  CAST(PL.\"MinToOrder\" "
    "AS NUMBER) \"MinToOrder\", CAST(PL.\"StdToOrder\" AS NUMBER) \"StdToOrder\",  "
    "PT.\"Description\" "
    "\"TypeDesc\", PC.\"Description\" \"CategoryDesc\", P.\"ProductCode\",  P.\"Description\" "
    "\"ProductDesc\", P.\"Unit\", V.\"Name\" \"VendorName\",  Orders.\"Qty\" \"Orders\", "
    "OnOrder.\"Qty\" \"OnOrder\"  FROM PRDLOC PL, PRDTYPE PT, PRDCAT PC, PRODUCT P, VENDOR "
    "V, \t(select it.\"Product\", i.\"InvLocFrom\", sum(it.\"Quantity\"-it.\"QtyFilled\") "
    "\"Qty\" \t\tfrom invorder i, invordit it, invotype t \t\twhere i.\"InvOrder\" = "
    "it.\"InvOrder\" and i.\"InvOType\" = t.\"InvOType\" \t\tand t.\"IsExternal\" = 0 "
    "and i.\"Recurs\" in (0,2) \t\tand i.\"Date\" <= trunc(sysdate) and i.\"Inactive\" "
    "= 0 and it.\"Status\" in (";

constexpr const char kLevelsWithOrdersMiddleSql[] =
    ") \t\tgroup by it.\"Product\", i.\"InvLocFrom\" ) Orders, \t(select it.\"Product\", "
    "i.\"InvLoc\", sum(it.\"Quantity\"-it.\"QtyFilled\") \"Qty\" \t\tfrom invorder i, "
    "invordit it, invotype t \t\twhere i.\"InvOrder\" = it.\"InvOrder\" and i.\"InvOType\" "
    "= t.\"InvOType\" \t\tand i.\"Recurs\" in (0,2) \t\tand i.\"Date\" <= trunc(sysdate) "
    "and i.\"Inactive\" = 0 and it.\"Status\" in (";

constexpr const char kLevelsWithOrdersTailSql[] =
    ") \t\tgroup by it.\"Product\", i.\"InvLoc\" ) OnOrder  WHERE PL.\"Product\" = P.\"Product\" "
    "AND PL.\"InvLoc\" IS NOT NULL  AND PL.\"InvLoc\" <> ' ' AND P.\"PrdType\" = PT.\"PrdType\" "
    " AND P.\"PrdType\" = PC.\"PrdType\" AND P.\"PrdCat\" = PC.\"PrdCat\"  AND PL.\"Product\" "
    "= Orders.\"Product\" (+) AND PL.\"InvLoc\" = Orders.\"InvLocFrom\" (+)  AND PL.\"Product\" "
    "= OnOrder.\"Product\" (+) AND PL.\"InvLoc\" = OnOrder.\"InvLoc\" (+)  AND P.\"Vendor\" "
    "= V.\"Vendor\" (+) %s %s  ORDER BY PL.\"InvLoc\", PT.\"Description\", PC.\"Description\", "
    "P.\"ProductCode\" ";

constexpr const char kStockItemsSql[] =
    "SELECT %s, (CASE WHEN  II.\"Type\" = %d THEN IR.\"Date\" ELSE A.\"Date\" END) AS "
    "\"Date\", IR.\"PONumber\",  V.\"Name\" \"VendorName\", P.\"ProductCode\", P.\"Description\" "
    "\"ProductDesc\",  P.\"IsDividable\", P.\"TrackExpiryDate\", O.\"InvLoc\" \"OrderedBy\", "
    " A2.\"User\", U.\"Name\", U.\"First\", U.\"Middle\"  FROM INVITEM II, INVREC IR, "
    "VENDOR V, PRODUCT P, AUDITHIS A, INVORDER O,  INVORDIT OT, AUDITHIS A2, USERS U "
    " WHERE II.\"Audit\" = A.\"Audit\" AND II.\"InvRec\" = IR.\"InvRec\" (+)  AND II.\"Product\" "
    "= P.\"Product\" AND IR.\"Vendor\" = V.\"Vendor\" (+)  AND II.\"InvOrdIt\" = OT.\"InvOrdIt\" "
    "(+) AND OT.\"InvOrder\" = O.\"InvOrder\" (+)  AND O.\"Audit\" = A2.\"Audit\" (+) "
    "AND A2.\"User\" = U.\"User\" (+) %%s  ORDER BY II.\"InvLoc\", A.\"Date\", P.\"ProductCode\", "
    "II.\"Type\", II.\"Audit\" ";

constexpr const char kUsageDetailsSql[] =
    "SELECT %s, II.\"InvLoc\", A.\"Date\",  PT.\"Description\" \"TypeDesc\", PC.\"Description\" "
    "\"CategoryDesc\",  P.\"Product\", P.\"ProductCode\", P.\"Description\" \"ProductDesc\" "
    " FROM INVITDET ID, INVITEM II, PRDTYPE PT, PRDCAT PC, PRODUCT P, AUDITHIS A  WHERE "
    "ID.\"InvItem\" = II.\"InvItem\" AND II.\"Product\" = P.\"Product\"  AND P.\"PrdType\" "
    "= PT.\"PrdType\" AND P.\"PrdType\" = PC.\"PrdType\"  AND P.\"PrdCat\" = PC.\"PrdCat\" "
    "AND ID.\"Audit\" = A.\"Audit\"  AND ID.\"Type\" = %d %%s  ORDER BY II.\"InvLoc\", "
    "A.\"Date\", PT.\"Description\", PC.\"Description\", P.\"ProductCode\" ";

// Location types that may be ordered from.
constexpr int kOrderFromTypes[] = {tavel::LocationType::StoreRoom, tavel::LocationType::SupplyRoom};

// Zeroes the whole buffer and copies at most size - 1 characters, so that a screen's
// fixed field never shows a stale tail.
void CopyOut(char* buf, int size, const char* text) {
    if (!buf || size <= 0)
        return;
    std::memset(buf, 0, static_cast<std::size_t>(size));
    if (!text)
        return;
    std::size_t n = std::min(std::strlen(text), static_cast<std::size_t>(size - 1));
    std::memcpy(buf, text, n);
}

bool IsBlank(const char* text) {
    return !text || !*text;
}

// The host application, when the module is attached to one.
WSIApplication* Host() {
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    return app ? app->GetHostApplication() : nullptr;
}

// The condition that keeps a product search within the selected category or, with none,
// the selected type; nothing when neither is selected.
void SelectionFilter(char (&extra)[256], const WSIPrdType::WSIData& type,
                     const WSIPrdCat::WSIData& cat) {
    if (cat.PrdCat[0] != '\0')
        TVL_FORMAT(extra, " AND \"PrdType\" = %ld AND \"PrdCat\" = '%s' ", cat.PrdType,
                   EscapeQuotes(cat.PrdCat).c_str());
    else if (type.PrdType > 0)
        TVL_FORMAT(extra, " AND \"PrdType\" = %ld ", type.PrdType);
}

} // namespace

BIInventory::BIInventory(WSIDatabase* db) : m_pDb(db) {
    TVL_TRACE("BIInventory::BIInventory");
}

BIInventory::~BIInventory() {
    TVL_TRACE("BIInventory::~BIInventory");
    CleanupRefreshArray();
}

WSIDatabase* BIInventory::GetDb() const {
    TVL_TRACE("BIInventory::GetDb");
    return m_pDb;
}

bool BIInventory::IsValidCost(double cost) {
    TVL_TRACE("BIInventory::IsValidCost");
    return std::isfinite(cost) && cost >= 0 && cost <= kMaxCost;
}

double BIInventory::RoundToCents(double value) {
    TVL_TRACE("BIInventory::RoundToCents");
    return std::floor(value * 100.0 + 0.5) / 100.0;
}

void BIInventory::ProductRow(long product, const RowsRead* read, WSIProduct::WSIData& prd) {
    if (read && read->product && read->product->Product == product) {
        prd = *read->product;
        return;
    }
    WSIProduct row(m_pDb);
    row.data.Product = product;
    if (!row.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        throw InvalidProduct();
    prd = row.data;
}

bool BIInventory::ReadFirst(const char* sql, WSIResult into) {
    TVL_TRACE("BIInventory::ReadFirst");
    if (!m_pDb)
        return false;
    std::unique_ptr<WSITable> cursor = m_pDb->Query(__FILE__, __LINE__, "%s", into, sql);
    return cursor && cursor->GetFirst();
}

double BIInventory::SumOf(const char* sql) {
    TVL_TRACE("BIInventory::SumOf");
    double sum = 0.0;
    if (!ReadFirst(sql, &sum))
        return 0.0;
    return sum;
}

// ---------------------------------------------------------------------------------------
// Current selection

long BIInventory::FindPrdType(long prdType) {
    TVL_TRACE("BIInventory::FindPrdType");
    m_PrdType = {};
    char sql[1024];
    TVL_FORMAT(sql, "SELECT %s FROM PRDTYPE WHERE \"PrdType\" = %ld ",
               m_pDb->GetTableColumns(__LINE__, __FILE__, "PRDTYPE"), prdType);
    if (ReadFirst(sql, WSIResult(WSIPrdType::Table(), &m_PrdType))) {
        if (m_PrdCat.PrdType != m_PrdType.PrdType)
            m_PrdCat = {};
        if (m_PrdCat.PrdType != m_Product.PrdType ||
            std::strcmp(m_PrdCat.PrdCat, m_Product.PrdCat) != 0)
            m_Product = {};
    }
    return m_PrdType.PrdType;
}

void BIInventory::ClearPrdType() {
    TVL_TRACE("BIInventory::ClearPrdType");
    m_PrdType = {};
    m_PrdCat = {};
    m_Product = {};
}

bool BIInventory::GetPrdTypeId(long& prdType) {
    TVL_TRACE("BIInventory::GetPrdTypeId");
    prdType = m_PrdType.PrdType;
    return prdType > 0;
}

bool BIInventory::GetPrdTypeDescription(char* buf, int size) {
    TVL_TRACE("BIInventory::GetPrdTypeDescription");
    CopyOut(buf, size, nullptr);
    if (m_PrdType.PrdType == 0)
        return false;
    CopyOut(buf, size, m_PrdType.Description);
    return true;
}

bool BIInventory::FindPrdCat(long prdType, const char* prdCat, bool withinType) {
    TVL_TRACE("BIInventory::FindPrdCat");
    char extra[128] = "";
    if (withinType && m_PrdType.PrdType > 0)
        TVL_FORMAT(extra, " AND \"PrdType\" = %ld", m_PrdType.PrdType);
    m_PrdCat = {};
    char sql[1024];
    TVL_FORMAT(sql, "SELECT %s FROM PRDCAT WHERE \"PrdType\" = %ld AND \"PrdCat\" = '%s' %s",
               m_pDb->GetTableColumns(__LINE__, __FILE__, "PRDCAT"), prdType,
               EscapeQuotes(prdCat).c_str(), extra);
    if (ReadFirst(sql, WSIResult(WSIPrdCat::Table(), &m_PrdCat))) {
        m_PrdType = {};
        TVL_FORMAT(sql, "SELECT %s FROM PRDTYPE WHERE \"PrdType\" = %ld",
                   m_pDb->GetTableColumns(__LINE__, __FILE__, "PRDTYPE"), m_PrdCat.PrdType);
        ReadFirst(sql, WSIResult(WSIPrdType::Table(), &m_PrdType));
        if (m_Product.PrdType != m_PrdCat.PrdType ||
            std::strcmp(m_Product.PrdCat, m_PrdCat.PrdCat) != 0)
            m_Product = {};
    }
    return m_PrdCat.PrdCat[0] != '\0';
}

void BIInventory::ClearPrdCat() {
    TVL_TRACE("BIInventory::ClearPrdCat");
    m_PrdCat = {};
    m_Product = {};
}

bool BIInventory::GetPrdCatId(char* buf, int size) {
    TVL_TRACE("BIInventory::GetPrdCatId");
    CopyOut(buf, size, m_PrdCat.PrdCat);
    return m_PrdCat.PrdCat[0] != '\0';
}

bool BIInventory::GetPrdCatDescription(char* buf, int size) {
    TVL_TRACE("BIInventory::GetPrdCatDescription");
    CopyOut(buf, size, m_PrdCat.Description);
    return m_Product.Product > 0 && m_PrdCat.PrdCat[0] != '\0';
}

long BIInventory::FindProduct(const char* code, bool withinSelection) {
    TVL_TRACE("BIInventory::FindProduct");
    char extra[256] = "";
    if (withinSelection)
        SelectionFilter(extra, m_PrdType, m_PrdCat);
    m_Product = {};
    // An empty code is no code: it must not match the products without a UPC code.
    if (IsBlank(code))
        return 0;
    const std::string quoted = EscapeQuotes(code);
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT %s FROM PRODUCT WHERE (\"ProductCode\" = '%s' OR \"UPCCode\" = '%s') %s",
               m_pDb->GetTableColumns(__LINE__, __FILE__, "PRODUCT"), quoted.c_str(),
               quoted.c_str(), extra);
    return LoadProduct(sql);
}

long BIInventory::FindProduct(long product, bool withinSelection) {
    TVL_TRACE("BIInventory::FindProduct");
    char extra[256] = "";
    if (withinSelection)
        SelectionFilter(extra, m_PrdType, m_PrdCat);
    m_Product = {};
    char sql[1024];
    TVL_FORMAT(sql, "SELECT %s FROM PRODUCT WHERE \"Product\" = %ld %s",
               m_pDb->GetTableColumns(__LINE__, __FILE__, "PRODUCT"), product, extra);
    return LoadProduct(sql);
}

long BIInventory::FindProductByBarCode(const WSIBarCodeFuncs& scan) {
    TVL_TRACE("BIInventory::FindProductByBarCode");
    m_Product = {};
    const std::string code = scan.GetProduct();
    // Longer than both code columns: it cannot match, and it would not fit the statement.
    if (code.size() > std::max(ColWidth::ProductCode, ColWidth::UPCCode))
        return 0;
    if (FindProduct(code.c_str(), false) != 0)
        return m_Product.Product;
    // A GTIN, or an EAN/UPC scanned as it is, may be stored in another of its forms.
    std::string gtin = scan.Fields().gtin;
    if (gtin.empty() && code.size() >= 8 && code.size() <= 14 &&
        WSIBarCodeFuncs::HasValidCheckDigit(code))
        gtin = std::string(14 - code.size(), '0') + code;
    for (const std::string& form : WSIBarCodeFuncs::ProductCodeCandidates(gtin))
        if (form != code && FindProduct(form.c_str(), false) != 0)
            break;
    return m_Product.Product;
}

long BIInventory::LoadProduct(const char* sql) {
    TVL_TRACE("BIInventory::LoadProduct");
    if (ReadFirst(sql, WSIResult(WSIProduct::Table(), &m_Product)))
        ReloadTypeAndCategoryOfProduct();
    return m_Product.Product;
}

void BIInventory::ReloadTypeAndCategoryOfProduct() {
    TVL_TRACE("BIInventory::ReloadTypeAndCategoryOfProduct");
    char sql[1024];
    m_PrdType = {};
    TVL_FORMAT(sql, "SELECT %s FROM PRDTYPE WHERE \"PrdType\" = %ld",
               m_pDb->GetTableColumns(__LINE__, __FILE__, "PRDTYPE"), m_Product.PrdType);
    ReadFirst(sql, WSIResult(WSIPrdType::Table(), &m_PrdType));
    m_PrdCat = {};
    TVL_FORMAT(sql, "SELECT %s FROM PRDCAT WHERE \"PrdType\" = %ld AND \"PrdCat\" = '%s'",
               m_pDb->GetTableColumns(__LINE__, __FILE__, "PRDCAT"), m_Product.PrdType,
               EscapeQuotes(m_Product.PrdCat).c_str());
    ReadFirst(sql, WSIResult(WSIPrdCat::Table(), &m_PrdCat));
}

void BIInventory::ClearProduct() {
    TVL_TRACE("BIInventory::ClearProduct");
    m_Product = {};
}

bool BIInventory::GetProductId(long& product) {
    TVL_TRACE("BIInventory::GetProductId");
    product = m_Product.Product;
    return m_Product.Product > 0;
}

bool BIInventory::GetProductInactive(short& inactive) {
    TVL_TRACE("BIInventory::GetProductInactive");
    inactive = m_Product.Inactive;
    return m_Product.Product > 0;
}

bool BIInventory::GetProductCode(char* buf, int size) {
    TVL_TRACE("BIInventory::GetProductCode");
    CopyOut(buf, size, m_Product.ProductCode);
    return m_Product.Product > 0;
}

bool BIInventory::GetProductDescription(char* buf, int size) {
    TVL_TRACE("BIInventory::GetProductDescription");
    CopyOut(buf, size, m_Product.Description);
    return m_Product.Product > 0;
}

bool BIInventory::GetProductUnit(char* buf, int size) {
    TVL_TRACE("BIInventory::GetProductUnit");
    CopyOut(buf, size, m_Product.Unit);
    return m_Product.Product > 0;
}

bool BIInventory::GetProductCost(double& cost) {
    TVL_TRACE("BIInventory::GetProductCost");
    cost = 0.0;
    if (m_Product.Product <= 0)
        return false;
    cost = m_Product.CostPerUnit;
    return true;
}

bool BIInventory::GetProductVendor(long& vendor) {
    TVL_TRACE("BIInventory::GetProductVendor");
    vendor = m_Product.Vendor;
    return m_Product.Product > 0;
}

bool BIInventory::GetProductItemsPerUnitString(char* buf, int size) {
    TVL_TRACE("BIInventory::GetProductItemsPerUnitString");
    CopyOut(buf, size, nullptr);
    if (m_Product.Product <= 0)
        return false;
    if (size >= 40) {
        char text[40];
        TVL_FORMAT(text, "Items per unit: %d %s", m_Product.ItemsPerUnit, m_Product.ItemUnit);
        CopyOut(buf, size, text);
    } else if (size >= 4) {
        char text[32];
        TVL_FORMAT(text, "%d", m_Product.ItemsPerUnit);
        CopyOut(buf, size, text);
    }
    return true;
}

long BIInventory::FindVendor(long vendor) {
    TVL_TRACE("BIInventory::FindVendor");
    m_Vendor = {};
    char sql[1024];
    TVL_FORMAT(sql, "SELECT %s FROM VENDOR WHERE \"Vendor\" = %ld ",
               m_pDb->GetTableColumns(__LINE__, __FILE__, "VENDOR"), vendor);
    ReadFirst(sql, WSIResult(WSIVendor::Table(), &m_Vendor));
    return m_Vendor.Vendor;
}

void BIInventory::ClearVendor() {
    TVL_TRACE("BIInventory::ClearVendor");
    m_Vendor = {};
}

bool BIInventory::GetVendorId(long& vendor) {
    TVL_TRACE("BIInventory::GetVendorId");
    vendor = m_Vendor.Vendor;
    return m_Vendor.Vendor > 0;
}

bool BIInventory::GetVendorName(char* buf, int size) {
    TVL_TRACE("BIInventory::GetVendorName");
    CopyOut(buf, size, m_Vendor.Name);
    return m_Vendor.Vendor > 0;
}

bool BIInventory::FindInvLoc(const char* invLoc) {
    TVL_TRACE("BIInventory::FindInvLoc");
    m_InvLoc = {};
    char sql[1024];
    TVL_FORMAT(sql, "SELECT %s FROM INVLOC WHERE \"InvLoc\" = '%s' ",
               m_pDb->GetTableColumns(__LINE__, __FILE__, "INVLOC"), EscapeQuotes(invLoc).c_str());
    ReadFirst(sql, WSIResult(WSIInvLoc::Table(), &m_InvLoc));
    return m_InvLoc.InvLoc[0] != '\0';
}

void BIInventory::ClearInvLoc() {
    TVL_TRACE("BIInventory::ClearInvLoc");
    m_InvLoc = {};
}

bool BIInventory::GetInvLocName(char* buf, int size) {
    TVL_TRACE("BIInventory::GetInvLocName");
    CopyOut(buf, size, m_InvLoc.Name);
    return m_InvLoc.InvLoc[0] != '\0';
}

bool BIInventory::GetInvLocType(short& type) {
    TVL_TRACE("BIInventory::GetInvLocType");
    if (m_InvLoc.InvLoc[0] == '\0') {
        // With no location the most restrictive type: never ordered from.
        type = tavel::LocationType::UsePoint;
        return false;
    }
    type = m_InvLoc.Type;
    return true;
}

// ---------------------------------------------------------------------------------------
// Stock queries

bool BIInventory::LocationAllowsOrders(const char* invLoc) {
    TVL_TRACE("BIInventory::LocationAllowsOrders");
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT COUNT(1) FROM PRDLOC WHERE  \"InvLoc\" = '%s' AND \"CanOrderFrom\" = 1 "
               " AND \"Inactive\" = 0 AND ROWNUM < 2 ",
               EscapeQuotes(invLoc).c_str());
    double count = 0.0;
    return ReadFirst(sql, &count) && count > 0;
}

bool BIInventory::IsOrderApproved(long invOrdIt) {
    TVL_TRACE("BIInventory::IsOrderApproved");
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT O.\"ApprovalUser\" FROM INVORDER O, INVORDIT I WHERE  I.\"InvOrdIt\" = %ld "
               "AND I.\"InvOrder\" = O.\"InvOrder\" ",
               invOrdIt);
    long approvalUser = 0;
    ReadFirst(sql, &approvalUser);
    return approvalUser != 0;
}

bool BIInventory::IsOnBackOrderFromLoc(long product, const char* invLoc) {
    TVL_TRACE("BIInventory::IsOnBackOrderFromLoc");
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT COUNT(1) FROM INVORDIT I, INVORDER O WHERE I.\"Status\" = %ld AND "
               "I.\"Product\" = %ld AND I.\"InvOrder\" = O.\"InvOrder\" AND O.\"InvLocFrom\" = "
               "'%s' AND O.\"Inactive\" = 0 AND ROWNUM < 2",
               static_cast<long>(tavel::OrdItStatus::BackOrdered), product,
               EscapeQuotes(invLoc).c_str());
    long count = 0;
    return ReadFirst(sql, &count) && count > 0;
}

double BIInventory::GetBalance(long product, bool orderableOnly) {
    TVL_TRACE("BIInventory::GetBalance");
    char sql[1024];
    if (orderableOnly)
        TVL_FORMAT(sql,
                   "SELECT SUM(PL.\"Balance\") FROM PRDLOC PL, PRODUCT P  WHERE PL.\"Product\" = "
                   "%ld AND PL.\"Product\" = P.\"Product\"  AND PL.\"TrackUsage\" = 1 AND "
                   "PL.\"Inactive\" = 0 AND PL.\"CanOrderFrom\" = 1  AND P.\"Inactive\" = 0 AND "
                   "P.\"CanOrder\" = 1 ",
                   product);
    else
        TVL_FORMAT(sql,
                   "SELECT SUM(\"Balance\") FROM PRDLOC  WHERE \"Product\" = %ld AND "
                   "\"TrackUsage\" = 1 AND \"Inactive\" = 0 ",
                   product);
    return SumOf(sql);
}

double BIInventory::GetLastCount(long product, bool orderableOnly) {
    TVL_TRACE("BIInventory::GetLastCount");
    char sql[1024];
    if (orderableOnly)
        TVL_FORMAT(sql,
                   "SELECT SUM(PL.\"LastCount\") FROM PRDLOC PL, PRODUCT P  WHERE PL.\"Product\" "
                   "= %ld AND PL.\"Product\" = P.\"Product\"  AND PL.\"TrackUsage\" = 1 AND "
                   "PL.\"Inactive\" = 0 AND PL.\"CanOrderFrom\" = 1  AND P.\"Inactive\" = 0 AND "
                   "P.\"CanOrder\" = 1 ",
                   product);
    else
        TVL_FORMAT(sql,
                   "SELECT SUM(\"LastCount\") FROM PRDLOC  WHERE \"Product\" = %ld AND "
                   "\"TrackUsage\" = 0 AND \"Inactive\" = 0 ",
                   product);
    return SumOf(sql);
}

int BIInventory::GetNumOrderLocations(long product) {
    TVL_TRACE("BIInventory::GetNumOrderLocations");
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT COUNT(1) FROM PRDLOC PL, INVLOC IL, PRODUCT P  WHERE PL.\"Product\" = %ld "
               "AND P.\"Product\" = PL.\"Product\"  AND PL.\"InvLoc\" = IL.\"InvLoc\"  AND "
               "PL.\"Inactive\" = 0 AND PL.\"CanOrderFrom\" = 1  AND IL.\"Inactive\" = 0 AND "
               "IL.\"Type\" IN (%d,%d)  AND P.\"Inactive\" = 0 AND P.\"CanOrder\" = 1 ",
               product, kOrderFromTypes[0], kOrderFromTypes[1]);
    return static_cast<int>(SumOf(sql));
}

void BIInventory::GetSearchString(char* out, int which, bool byLocation, bool withOrders) {
    TVL_TRACE("BIInventory::GetSearchString");
    if (!out)
        return;
    std::string text;
    char sql[kSearchStringSize];
    switch (which) {
    case 0:
        text = kOrderLinesSql;
        break;
    case 1:
        if (!byLocation) {
            text = kLevelTotalsSql;
        } else if (!withOrders) {
            text = kLevelsByLocationSql;
        } else {
            // The outstanding statuses: what is ordered and not yet supplied.
            char statuses[128];
            TVL_FORMAT(statuses, "%d,%d,%d,%d,%d,%d", tavel::OrdItStatus::Ordered,
                       tavel::OrdItStatus::InReview, tavel::OrdItStatus::Requested,
                       tavel::OrdItStatus::Purchased, tavel::OrdItStatus::BackOrdered,
                       tavel::OrdItStatus::PartiallyFilled);
            text = std::string(kLevelsWithOrdersHeadSql) + statuses + kLevelsWithOrdersMiddleSql +
                   statuses + kLevelsWithOrdersTailSql;
        }
        break;
    case 2:
        TVL_FORMAT(sql, kStockItemsSql, m_pDb->GetTableColumns(__LINE__, __FILE__, "INVITEM", "II"),
                   static_cast<int>(tavel::MovementType::Receipt));
        text = sql;
        break;
    case 3:
        TVL_FORMAT(sql, kUsageDetailsSql,
                   m_pDb->GetTableColumns(__LINE__, __FILE__, "INVITDET", "ID"),
                   static_cast<int>(tavel::MovementType::Usage));
        text = sql;
        break;
    default:
        break;
    }
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(kSearchStringSize - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// ---------------------------------------------------------------------------------------
// Back-ordering

void BIInventory::BackOrder(long invOrdIt) {
    TVL_TRACE("BIInventory::BackOrder");
    DBInvOrdIt ordIt(m_pDb);
    ordIt.data.InvOrdIt = invOrdIt;
    if (!ordIt.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        throw RecordInUse();
    const short status = ordIt.data.Status;
    if (status == tavel::OrdItStatus::Cancelled || status == tavel::OrdItStatus::BackOrdered ||
        status == tavel::OrdItStatus::Closed) {
        ordIt.ReleaseLock();
        throw OrdItStatusErr();
    }
    if (ordIt.data.Quantity <= ordIt.data.QtyFilled || status == tavel::OrdItStatus::Filled) {
        ordIt.ReleaseLock();
        throw OrdItFilledErr();
    }
    ordIt.data.Status = tavel::OrdItStatus::BackOrdered;
    // Remembered for good: a later partial fill returns the item to back-ordered.
    ordIt.data.WasBackOrdered = 1;
    UpdateOrThrow<BackOrderErr>(ordIt);
}

void BIInventory::AutoBackOrder(long invOrder) {
    TVL_TRACE("BIInventory::AutoBackOrder");
    if (invOrder == 0)
        return;
    char sql[1024];
    TVL_FORMAT(sql,
               "UPDATE INVORDIT I SET I.\"Status\" = %ld, I.\"WasBackOrdered\" = 1 WHERE "
               "I.\"InvOrder\" = %ld AND I.\"QtyFilled\" < I.\"Quantity\" AND I.\"Status\" != %ld "
               "AND I.\"Status\" != %ld AND I.\"Status\" != %ld AND I.\"Status\" != %ld ",
               static_cast<long>(tavel::OrdItStatus::BackOrdered), invOrder,
               static_cast<long>(tavel::OrdItStatus::BackOrdered),
               static_cast<long>(tavel::OrdItStatus::Cancelled),
               static_cast<long>(tavel::OrdItStatus::Closed),
               static_cast<long>(tavel::OrdItStatus::Filled));
    if (WSITable::QExecDirect(__FILE__, __LINE__, m_pDb, sql) != 0)
        throw BackOrderErr();
}

// ---------------------------------------------------------------------------------------
// Stock writers

bool BIInventory::AddToPrdLocBalance(const char* invLoc, long product, double change) {
    // The location code as the row's key holds it (a longer code is cut, as a record
    // read would cut it).
    char loc[sizeof(WSIPrdLoc::WSIData::InvLoc)];
    tavel::tables::CopyText(loc, invLoc ? invLoc : "");
    // The row's own rules (DBPrdLoc) as conditions, and the case that asks the user about
    // an emptied location left out: a row that either would stop is not changed here.
    WSIBVParametersInfo binds;
    binds.AddParameter(change);
    binds.AddParameter(product);
    binds.AddParameter(loc);
    binds.AddParameter(change);
    binds.AddParameter(change);
    long changed = 0;
    const int rc = WSITable::QExecBVDirect(
        __FILE__, __LINE__, binds.Count(), binds.Params(), m_pDb,
        R"sql(UPDATE PRDLOC SET "Balance" = "Balance" + :1 WHERE "Product" = :2 AND "InvLoc" = :3 AND "MinCount" <= "ReorderCount" AND ("MaxCount" <= 0 OR "MaxCount" >= "MinCount") AND "StdToOrder" >= "MinToOrder" AND NOT ("Inactive" = 1 AND ("Balance" + :4 > 0 OR "LastCount" > 0)) AND NOT ("Inactive" = 0 AND "Balance" + :5 = 0 AND "LastCount" = 0))sql",
        &changed);
    return rc == 0 && changed == 1;
}

void BIInventory::UpdatePrdLoc(const char* invLoc, long product, double change) {
    TVL_TRACE("BIInventory::UpdatePrdLoc");
    // Most moves change a balance that stays within the rules: one statement.
    if (AddToPrdLocBalance(invLoc, product, change))
        return;
    DBPrdLoc prdLoc(m_pDb);
    if (!prdLoc.GetPrdLoc(product, invLoc, true))
        throw PrdLocErr();
    prdLoc.data.Balance += change;
    // A location that just ran empty of a product no longer carried is offered for
    // deactivation, so that it drops out of the lists and order suggestions.
    if (prdLoc.data.Inactive == 0 && prdLoc.data.Balance == 0.0 && prdLoc.data.LastCount == 0.0) {
        WSIProduct prd(m_pDb);
        prd.data.Product = product;
        if (prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK) && prd.data.Inactive != 0) {
            WSIApplication* host = Host();
            WSIInventoryApp* app = tavel::CurrentInventoryApp();
            if (host && host->WarnDialog(app->GetHostMainWindow(),
                                         kDeactivateEmptyLocationWarning) == id::OK)
                prdLoc.data.Inactive = 1;
        }
    }
    UpdateOrThrow<PrdLocErr>(prdLoc);
}

void BIInventory::UpdateInvOrdIt(long invOrdIt, const char* invLoc, long product, short qtyChange,
                                 short status) {
    TVL_TRACE("BIInventory::UpdateInvOrdIt");
    (void)invLoc;
    (void)product;
    if (invOrdIt == 0)
        return;
    DBInvOrdIt ordIt(m_pDb);
    ordIt.data.InvOrdIt = invOrdIt;
    if (!ordIt.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        throw RecordInUse();
    ApplyOrdItFill(ordIt, qtyChange, status);
}

void BIInventory::UpdateInvOrdIt(const WSIInvOrdIt::WSIData& read, short qtyChange, short status) {
    TVL_TRACE("BIInventory::UpdateInvOrdIt");
    DBInvOrdIt ordIt(m_pDb);
    ordIt.data = read;
    if (!ordIt.LockReadRow(__FILE__, __LINE__))
        throw RecordInUse();
    ApplyOrdItFill(ordIt, qtyChange, status);
}

void BIInventory::ApplyOrdItFill(DBInvOrdIt& ordIt, short qtyChange, short status) {
    // A line of quantity 0 exists only to carry a fill; taking the whole fill back
    // leaves nothing worth keeping.
    if (ordIt.data.Quantity == 0 && qtyChange == -ordIt.data.QtyFilled) {
        if (!ordIt.DeleteDB(__FILE__, __LINE__, true))
            throw RecordInUse();
        return;
    }
    ordIt.data.QtyFilled = static_cast<short>(ordIt.data.QtyFilled + qtyChange);
    if (status != -1)
        ordIt.data.Status = status;
    else if (ordIt.data.QtyFilled >= ordIt.data.Quantity)
        ordIt.data.Status = tavel::OrdItStatus::Filled;
    else if (ordIt.data.WasBackOrdered != 0)
        ordIt.data.Status = tavel::OrdItStatus::BackOrdered;
    else
        ordIt.data.Status = tavel::OrdItStatus::PartiallyFilled;
    UpdateOrThrow<InvOrdItErr>(ordIt);
}

long BIInventory::UpdateInvItDet(long invItDet, DBInvItem* item, short type, const char* invLoc,
                                 long product, short quantity, long audit, const char* invAdj,
                                 double cost, long batchId, short count, const char* otherLoc,
                                 const RowsRead* read) {
    TVL_TRACE("BIInventory::UpdateInvItDet");
    DBInvItDet det(m_pDb);
    if (invItDet != 0) {
        det.data.InvItDet = invItDet;
        bool locked;
        if (read && read->detail && read->detail->InvItDet == invItDet) {
            det.data = *read->detail;
            locked = det.LockReadRow(__FILE__, __LINE__);
        } else {
            locked = det.GetEqual(__FILE__, __LINE__, dbiWRITELOCK);
        }
        if (!locked)
            throw RecordInUse();
        // A movement taken back entirely leaves no detail; a count marker stays, since it
        // records that the count took place.
        if (static_cast<double>(quantity) == -det.data.Quantity &&
            type != tavel::MovementType::CountMarker) {
            if (!det.DeleteDB(__FILE__, __LINE__, true))
                throw RecordInUse();
            return audit;
        }
        det.data.Quantity += quantity;
        det.data.CountValue = count;
        UpdateOrThrow<InvItDetErr>(det);
        return type == tavel::MovementType::CountMarker ? det.data.Audit : audit;
    }

    // A stock item of the product already vouches for it (a product with stock items cannot
    // be deleted) and gives the unit and cost; the product is read only without one.
    WSIProduct prd(m_pDb);
    prd.data.Product = product;
    const bool fromItem = item && item->data.Product == product;
    if (!fromItem)
        ProductRow(product, read, prd.data);
    det.InitRecord();
    if (item)
        det.data.InvItem = item->data.InvItem;
    det.data.Type = type;
    tavel::tables::CopyText(det.data.InvLoc, invLoc);
    det.data.Product = product;
    det.data.Quantity = quantity;
    if (item) {
        tavel::tables::CopyText(det.data.Unit, item->data.Unit);
        det.data.ItemsPerUnit = item->data.ItemsPerUnit;
    } else {
        tavel::tables::CopyText(det.data.Unit, prd.data.Unit);
        det.data.ItemsPerUnit = prd.data.ItemsPerUnit;
    }
    if (cost >= 0.0)
        det.data.CostPerUnit = cost;
    else
        det.data.CostPerUnit = item ? item->data.CostPerUnit : prd.data.AverageCost;

    bool countCode = false;
    if (!IsBlank(invAdj)) {
        short adjType = read ? read->adjType : -1;
        if (adjType < 0) {
            WSIInvAdj adj(m_pDb);
            tavel::tables::CopyText(adj.data.InvAdj, invAdj);
            if (!adj.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
                throw InvalidInvAdj();
            adjType = adj.data.Type;
        }
        countCode = adjType == tavel::AdjustmentType::Count;
        tavel::tables::CopyText(det.data.InvAdj, invAdj);
    }
    if (countCode)
        det.data.CountValue = count;
    // A plain adjustment stands alone; only counts and batch runs group their details.
    if (type != tavel::MovementType::Adjustment || countCode)
        det.data.BatchId = batchId;
    if (type == tavel::MovementType::Transfer && !IsBlank(otherLoc))
        tavel::tables::CopyText(det.data.OtherLoc, otherLoc);
    if (audit == 0)
        audit = det.AddAuditEntry(1, nullptr);
    det.data.Audit = audit;
    InsertOrThrow<InvItDetErr>(det);
    return audit;
}

bool BIInventory::ThrowDbError(unsigned short error) {
    TVL_TRACE("BIInventory::ThrowDbError");
    tavel::ThrowStorageFailure(GetDb());
    return tavel::ThrowDbError(error);
}

// ---------------------------------------------------------------------------------------
// Refresh array

void BIInventory::InitRefreshArray() {
    TVL_TRACE("BIInventory::InitRefreshArray");
    if (m_pRefreshArray)
        CleanupRefreshArray();
    m_pRefreshArray = std::make_unique<std::vector<long>>();
}

void BIInventory::CleanupRefreshArray() {
    TVL_TRACE("BIInventory::CleanupRefreshArray");
    m_pRefreshArray.reset();
}

void BIInventory::AddProductToRefreshArray(long product) {
    TVL_TRACE("BIInventory::AddProductToRefreshArray");
    if (!m_pRefreshArray)
        m_pRefreshArray = std::make_unique<std::vector<long>>();
    if (std::find(m_pRefreshArray->begin(), m_pRefreshArray->end(), product) !=
        m_pRefreshArray->end())
        return;
    m_pRefreshArray->push_back(product);
}

void BIInventory::SendProductArrayRefresh(int sourceId) {
    TVL_TRACE("BIInventory::SendProductArrayRefresh");
    if (!m_pRefreshArray)
        return;
    if (WSIApplication* host = Host())
        for (long product : *m_pRefreshArray)
            host->ProductRefresh(sourceId, product);
    CleanupRefreshArray();
}
