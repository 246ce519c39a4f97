#include "DemoData.h"

#include "InventoryCodes.h"
#include "Records.h"
#include "Schema.h"
#include "WSIDatabase.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tavel {
namespace {

// Days since 1970-01-01 of a calendar date and back (proleptic Gregorian), so that demo
// dates can lie any number of days before or after today.
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

WSIDate CivilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long d = doy - (153 * mp + 2) / 5 + 1;
    const long m = mp < 10 ? mp + 3 : mp - 9;
    WSIDate date;
    date.year = static_cast<short>(yoe + era * 400 + (m <= 2));
    date.month = static_cast<short>(m);
    date.day = static_cast<short>(d);
    return date;
}

template <std::size_t N> void Put(char (&dst)[N], const char* src) {
    std::size_t n = std::strlen(src);
    if (n > N - 1)
        n = N - 1;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

double RoundCents(double x) {
    return std::floor(x * 100 + 0.5) / 100;
}

struct ProductDef {
    const char* code;
    const char* upc;
    const char* description;
    int type; // index into kTypes
    const char* category;
    const char* unit;
    short itemsPerUnit;
    const char* itemUnit;
    int vendor; // index into kVendors
    const char* manufacturer;
    double cost;
    short dividable;
    short trackExpiry;
    short costing;
    const char* orderType;
};

const char* const kTypes[] = {"Medical supplies", "Pharmaceuticals"};

struct CategoryDef {
    int type;
    const char* code;
    const char* description;
};
const CategoryDef kCategories[] = {
    {0, "SYR", "Syringes and needles"}, {0, "GLV", "Gloves"},   {0, "DRS", "Dressings"},
    {0, "PREP", "Skin preparation"},    {1, "VAC", "Vaccines"}, {1, "INJ", "Injectables"},
};

struct UnitDef {
    const char* description;
    short dividable;
};
const UnitDef kUnits[] = {{"Each", 0}, {"Box", 1},  {"Pack", 1},   {"Vial", 0},
                          {"Pair", 0}, {"Case", 1}, {"Ampoule", 0}};

struct VendorDef {
    const char* name;
    const char* address;
    const char* city;
    const char* province;
    const char* postal;
    const char* area;
    const char* phone;
};
const VendorDef kVendors[] = {
    {"Northline Medical Supply", "1200 Dundas St W", "Toronto", "ON", "M6J 1X5", "416", "555-0142"},
    {"Maple Pharma Distribution", "88 Matheson Blvd E", "Mississauga", "ON", "L4Z 1X1", "905",
     "555-0187"},
};

using namespace CostingMethod;
const ProductDef kProducts[] = {
    {"SYR3ML", "00812345000017", "Syringe 3 mL luer lock", 0, "SYR", "Box", 100, "Each", 0,
     "Medline", 18.50, 1, 0, OldestFirst, "PO"},
    {"SYR1TB", "00812345000024", "Syringe 1 mL tuberculin", 0, "SYR", "Box", 100, "Each", 0,
     "Medline", 16.75, 1, 0, OldestFirst, "PO"},
    {"NDL25G", "00812345000031", "Needle 25G x 5/8 in", 0, "SYR", "Box", 100, "Each", 0, "BD", 9.80,
     1, 0, OldestFirst, "PO"},
    {"NDL23G", "00812345000048", "Needle 23G x 1 in", 0, "SYR", "Box", 100, "Each", 0, "BD", 9.60,
     1, 0, OldestFirst, "PO"},
    {"GLVNTM", "00812345000055", "Nitrile exam gloves, medium", 0, "GLV", "Box", 100, "Each", 0,
     "Halyard", 11.20, 1, 0, RunningAverage, "PO"},
    {"GLVNTL", "00812345000062", "Nitrile exam gloves, large", 0, "GLV", "Box", 100, "Each", 0,
     "Halyard", 11.00, 1, 0, RunningAverage, "PO"},
    {"GLVSTR75", "00812345000079", "Sterile surgical gloves 7.5", 0, "GLV", "Box", 50, "Pair", 0,
     "Ansell", 42.00, 1, 1, EarliestExpiry, "PO"},
    {"GAUZE4", "00812345000086", "Gauze sponge 4 x 4 in, sterile", 0, "DRS", "Pack", 25, "Each", 0,
     "Covidien", 6.40, 1, 1, EarliestExpiry, "PO"},
    {"BANDAG", "00812345000093", "Adhesive bandage 1 x 3 in", 0, "DRS", "Box", 100, "Each", 0,
     "Nexcare", 4.95, 1, 0, OldestFirst, "PO"},
    {"FILM67", "00812345000109", "Transparent film dressing 6 x 7 cm", 0, "DRS", "Box", 50, "Each",
     0, "3M", 38.00, 1, 1, EarliestExpiry, "PO"},
    {"ALCPRP", "00812345000116", "Alcohol prep pads", 0, "PREP", "Box", 200, "Each", 0, "Medline",
     3.60, 1, 0, OldestFirst, "PO"},
    {"VACFLU", "00698765000011", "Influenza vaccine, quadrivalent 0.5 mL", 1, "VAC", "Each", 1,
     "Each", 1, "Sanofi", 14.25, 0, 1, EarliestExpiry, "PO"},
    {"VACTDAP", "00698765000028", "Tdap vaccine 0.5 mL", 1, "VAC", "Each", 1, "Each", 1, "GSK",
     38.90, 0, 1, EarliestExpiry, "PO"},
    {"VACHEPB", "00698765000035", "Hepatitis B vaccine 1 mL", 1, "VAC", "Vial", 1, "Vial", 1,
     "Merck", 29.40, 0, 1, EarliestExpiry, "PO"},
    {"LIDO1P", "00698765000042", "Lidocaine 1% 5 mL", 1, "INJ", "Vial", 1, "Vial", 1, "Pfizer",
     2.10, 0, 1, EarliestExpiry, "PO"},
    {"EPI1MG", "00698765000059", "Epinephrine 1 mg/mL 1 mL", 1, "INJ", "Ampoule", 1, "Ampoule", 1,
     "Pfizer", 6.80, 0, 1, EarliestExpiry, "PO"},
};
constexpr int kProductCount = sizeof(kProducts) / sizeof(kProducts[0]);

int ProductIndex(const char* code) {
    for (int i = 0; i < kProductCount; ++i)
        if (std::strcmp(kProducts[i].code, code) == 0)
            return i;
    return -1;
}

// Product rows at real locations; "Balance" follows from the stock items.
struct PrdLocDef {
    const char* loc;
    const char* product;
    const char* bin;
    short trackUsage;
    short canOrderFrom;
    short minCount, reorderCount, maxCount, minToOrder, stdToOrder;
    double lastCount; // only where usage is not tracked
};

// Builds the demo through the record classes, keeping stock items in memory so that
// product-location balances and order-line fills are sums of what was written.
class DemoBuilder {
public:
    explicit DemoBuilder(WSIDatabase& db) : db_(db), today_(db.Today()) {}

    bool Build(std::string& problem);

private:
    WSIDate Day(int offset) const {
        return CivilFromDays(DaysFromCivil(today_.year, today_.month, today_.day) + offset);
    }

    bool Insert(WSITable& record) {
        if (ok_ && !record.InsertDB(__FILE__, __LINE__)) {
            ok_ = false;
            problem_ = std::string("cannot write a demo row into ") + record.Desc()->name;
        }
        return ok_;
    }
    bool Update(WSITable& record) {
        if (ok_ && !record.UpdateDB(__FILE__, __LINE__)) {
            ok_ = false;
            problem_ = std::string("cannot update a demo row of ") + record.Desc()->name;
        }
        return ok_;
    }

    long Sequence(const char* name);
    long Audit(int day, const char* table);

    void Catalogue();
    void Locations();
    long Receipt(const char* loc, int vendor, int day, const char* poNumber, int poDay);
    long Order(bool external, const char* loc, const char* from, int vendor, const char* po,
               int day, bool approved);
    long Line(long order, short item, const char* product, short quantity, short status);
    long Receive(long receipt, const char* product, short quantity, int expiryDay, long line,
                 double cost = 0);
    void Move(const char* from, const char* to, const char* product, short quantity, int day,
              long batch, long line);
    void Take(const char* loc, const char* product, short quantity, short type, int day,
              const char* adjCode);
    void ProductLocations();
    void AverageCosts();

    // Stock items of a product at a location that hold stock, oldest first.
    std::vector<std::size_t> Lots(const char* loc, long product) const;

    WSIDatabase& db_;
    WSIDate today_;
    bool ok_ = true;
    std::string problem_;

    long admin_ = 0;
    long types_[2] = {};
    long vendors_[2] = {};
    long products_[kProductCount] = {};
    std::vector<WSIInvItem::WSIData> items_;
    std::map<long, WSIInvOrdIt::WSIData> lines_;
    std::map<long, WSIInvRec::WSIData> receipts_;
};

long DemoBuilder::Sequence(const char* name) {
    double value = 0;
    auto cursor = db_.Query(__FILE__, __LINE__, "SELECT %s.nextval FROM DUAL", &value, name);
    if (!cursor->GetFirst() || value < 1) {
        ok_ = false;
        problem_ = std::string("cannot draw a number from sequence ") + name;
    }
    return static_cast<long>(value);
}

long DemoBuilder::Audit(int day, const char* table) {
    WSIAuditHis a(&db_);
    a.data.User = admin_;
    a.data.Date = Day(day);
    a.data.Operation = 1;
    Put(a.data.TableName, table);
    Insert(a);
    return a.data.Audit;
}

void DemoBuilder::Catalogue() {
    WSIUsers user(&db_);
    Put(user.data.Login, kDemoAdminLogin);
    Put(user.data.Name, "Administrator");
    Put(user.data.First, "System");
    Insert(user);
    admin_ = user.data.User;

    WSITavelOpt options(&db_);
    options.data.TavelOpt = 1;
    options.data.MinProductLength = 6;
    Insert(options);

    const char* const provinces[][2] = {{"ON", "Ontario"}, {"QC", "Quebec"}};
    for (const auto& p : provinces) {
        WSIProvince province(&db_);
        Put(province.data.Province, p[0]);
        Put(province.data.Description, p[1]);
        Insert(province);
    }
    for (int i = 0; i < 2; ++i) {
        const VendorDef& v = kVendors[i];
        WSICity city(&db_);
        Put(city.data.City, v.city);
        Put(city.data.Province, v.province);
        Put(city.data.PostalCode, v.postal);
        Put(city.data.Area, v.area);
        Insert(city);

        WSIVendor vendor(&db_);
        Put(vendor.data.Name, v.name);
        Put(vendor.data.Address1, v.address);
        Put(vendor.data.City, v.city);
        Put(vendor.data.Province, v.province);
        Put(vendor.data.PostalCode, v.postal);
        Put(vendor.data.Area, v.area);
        Put(vendor.data.Phone, v.phone);
        Insert(vendor);
        vendors_[i] = vendor.data.Vendor;
    }

    for (const UnitDef& u : kUnits) {
        WSIPrdUnit unit(&db_);
        Put(unit.data.Description, u.description);
        unit.data.IsDividable = u.dividable;
        Insert(unit);
    }
    for (int i = 0; i < 2; ++i) {
        WSIPrdType type(&db_);
        Put(type.data.Description, kTypes[i]);
        Insert(type);
        types_[i] = type.data.PrdType;
    }
    for (const CategoryDef& c : kCategories) {
        WSIPrdCat cat(&db_);
        cat.data.PrdType = types_[c.type];
        Put(cat.data.PrdCat, c.code);
        Put(cat.data.Description, c.description);
        Insert(cat);
    }

    const char* const orderTypes[][2] = {{"INT", "Internal request"}, {"PO", "Purchase order"}};
    for (int i = 0; i < 2; ++i) {
        WSIInvOType t(&db_);
        Put(t.data.InvOType, orderTypes[i][0]);
        Put(t.data.Description, orderTypes[i][1]);
        t.data.IsExternal = static_cast<short>(i);
        Insert(t);
    }
    struct AdjDef {
        const char* code;
        const char* description;
        short type;
    };
    const AdjDef adjustments[] = {{"DAM", "Damaged", AdjustmentType::Decrease},
                                  {"EXP", "Expired", AdjustmentType::Decrease},
                                  {"FND", "Found stock", AdjustmentType::Increase},
                                  {"CNT", "Physical count", AdjustmentType::Count}};
    for (const AdjDef& a : adjustments) {
        WSIInvAdj adj(&db_);
        Put(adj.data.InvAdj, a.code);
        Put(adj.data.Description, a.description);
        adj.data.Type = a.type;
        Insert(adj);
    }

    for (int i = 0; i < kProductCount; ++i) {
        const ProductDef& d = kProducts[i];
        WSIProduct p(&db_);
        Put(p.data.ProductCode, d.code);
        Put(p.data.UPCCode, d.upc);
        Put(p.data.Description, d.description);
        p.data.PrdType = types_[d.type];
        Put(p.data.PrdCat, d.category);
        Put(p.data.Unit, d.unit);
        p.data.Vendor = vendors_[d.vendor];
        Put(p.data.Manufacturer, d.manufacturer);
        Put(p.data.InvOType, d.orderType);
        p.data.CostPerUnit = d.cost;
        p.data.CanOrder = 1;
        p.data.IsDividable = d.dividable;
        p.data.TrackExpiryDate = d.trackExpiry;
        p.data.ItemsPerUnit = d.itemsPerUnit;
        Put(p.data.ItemUnit, d.itemUnit);
        p.data.CostingMethod = d.costing;
        p.data.LeadTime = 5;
        p.data.LeadTimeUnit = 0;
        Insert(p);
        products_[i] = p.data.Product;

        // Every product has its default row under the empty location code.
        WSIPrdLoc defaults(&db_);
        defaults.data.Product = p.data.Product;
        defaults.data.Stocked = 1;
        defaults.data.TrackUsage = 1;
        defaults.data.CanOrderFrom = 1;
        Insert(defaults);
    }

    const char* const sundries[][3] = {{"IMMFLU", "Influenza immunization", "VACFLU"},
                                       {"IMMTDAP", "Tdap immunization", "VACTDAP"}};
    for (const auto& s : sundries) {
        WSISundry sundry(&db_);
        Put(sundry.data.Sundry, s[0]);
        Put(sundry.data.Description, s[1]);
        Insert(sundry);
        WSIInvProdMap map(&db_);
        map.data.Product = products_[ProductIndex(s[2])];
        Put(map.data.Sundry, s[0]);
        Insert(map);
    }
}

void DemoBuilder::Locations() {
    struct LocDef {
        const char* code;
        const char* name;
        short type;
        const char* barCode;
    };
    const LocDef locations[] = {
        {"STORE", "Central store room", LocationType::StoreRoom, ""},
        {"TRT1", "Treatment room 1", LocationType::SupplyRoom, ""},
        {"TRT2", "Treatment room 2", LocationType::SupplyRoom, ""},
        {"CART1", "Crash cart", LocationType::UsePoint, "LOC-CART1"},
    };
    for (const LocDef& l : locations) {
        WSIInvLoc loc(&db_);
        Put(loc.data.InvLoc, l.code);
        Put(loc.data.Name, l.name);
        loc.data.Type = l.type;
        Put(loc.data.BarCode, l.barCode);
        Insert(loc);
    }
}

long DemoBuilder::Receipt(const char* loc, int vendor, int day, const char* poNumber, int poDay) {
    WSIInvRec r(&db_);
    Put(r.data.InvLoc, loc);
    r.data.Vendor = vendors_[vendor];
    Put(r.data.PONumber, poNumber);
    r.data.Date = Day(day);
    if (*poNumber)
        r.data.PODate = Day(poDay);
    r.data.Audit = Audit(day, "INVREC");
    Insert(r);
    receipts_[r.data.InvRec] = r.data;
    return r.data.InvRec;
}

long DemoBuilder::Order(bool external, const char* loc, const char* from, int vendor,
                        const char* po, int day, bool approved) {
    WSIInvOrder o(&db_);
    o.data.IsExternal = external ? 1 : 0;
    Put(o.data.InvLoc, loc);
    Put(o.data.InvLocFrom, from);
    o.data.Vendor = external ? vendors_[vendor] : 0;
    Put(o.data.PONumber, po);
    Put(o.data.InvOType, external ? "PO" : "INT");
    o.data.Date = Day(day);
    o.data.ApprovalUser = approved ? admin_ : 0;
    o.data.Audit = Audit(day, "INVORDER");
    Insert(o);
    return o.data.InvOrder;
}

long DemoBuilder::Line(long order, short item, const char* product, short quantity, short status) {
    const ProductDef& d = kProducts[ProductIndex(product)];
    WSIInvOrdIt l(&db_);
    l.data.InvOrder = order;
    l.data.Item = item;
    l.data.Product = products_[ProductIndex(product)];
    l.data.Quantity = quantity;
    Put(l.data.Unit, d.unit);
    l.data.CostPerUnit = d.cost;
    l.data.Status = status;
    l.data.WasBackOrdered = status == OrdItStatus::BackOrdered ? 1 : 0;
    l.data.StockedAtLoc = 1;
    l.data.StockedAtFrom = 1;
    Insert(l);
    lines_[l.data.InvOrdIt] = l.data;
    return l.data.InvOrdIt;
}

// A receipt line: a stock item of type 0 and its receipt detail. Its cost is the given
// one, else the order line's, else the product's; against an order line the fill grows.
long DemoBuilder::Receive(long receipt, const char* product, short quantity, int expiryDay,
                          long line, double cost) {
    const ProductDef& d = kProducts[ProductIndex(product)];
    const WSIInvRec::WSIData& r = receipts_[receipt];
    WSIInvItem item(&db_);
    Put(item.data.InvLoc, r.InvLoc);
    item.data.Product = products_[ProductIndex(product)];
    item.data.Type = MovementType::Receipt;
    item.data.InvRec = receipt;
    item.data.InvOrdIt = line;
    item.data.Quantity = quantity;
    item.data.Balance = quantity;
    item.data.CostPerUnit = cost > 0 ? cost : line ? lines_[line].CostPerUnit : d.cost;
    if (d.trackExpiry)
        item.data.ExpiryDate = Day(expiryDay);
    Put(item.data.Unit, d.unit);
    item.data.ItemsPerUnit = d.itemsPerUnit;
    Put(item.data.ItemUnit, d.itemUnit);
    item.data.Audit = r.Audit;
    Insert(item);
    items_.push_back(item.data);

    WSIInvItDet det(&db_);
    det.data.InvItem = item.data.InvItem;
    det.data.Type = MovementType::Receipt;
    Put(det.data.InvLoc, r.InvLoc);
    det.data.Product = item.data.Product;
    det.data.Quantity = quantity;
    Put(det.data.Unit, d.unit);
    det.data.ItemsPerUnit = d.itemsPerUnit;
    det.data.CostPerUnit = item.data.CostPerUnit;
    det.data.Audit = r.Audit;
    Insert(det);

    if (line) {
        WSIInvOrdIt l(&db_);
        l.data = lines_[line];
        l.data.QtyFilled = static_cast<short>(l.data.QtyFilled + quantity);
        Update(l);
        lines_[line] = l.data;
    }
    return item.data.InvItem;
}

std::vector<std::size_t> DemoBuilder::Lots(const char* loc, long product) const {
    std::vector<std::size_t> lots;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].Product == product && std::strcmp(items_[i].InvLoc, loc) == 0 &&
            items_[i].Balance > 0)
            lots.push_back(i);
    return lots;
}

// Takes quantity out of a location's lots, oldest (or earliest expiry) first, writing a
// detail per lot touched; with a destination, each part becomes a lot there.
void DemoBuilder::Move(const char* from, const char* to, const char* product, short quantity,
                       int day, long batch, long line) {
    const int pi = ProductIndex(product);
    const long audit = Audit(day, "INVITEM");
    short left = quantity;
    std::vector<std::size_t> lots = Lots(from, products_[pi]);
    if (kProducts[pi].costing == EarliestExpiry)
        std::stable_sort(lots.begin(), lots.end(), [this](std::size_t a, std::size_t b) {
            return DaysFromCivil(items_[a].ExpiryDate.year, items_[a].ExpiryDate.month,
                                 items_[a].ExpiryDate.day) <
                   DaysFromCivil(items_[b].ExpiryDate.year, items_[b].ExpiryDate.month,
                                 items_[b].ExpiryDate.day);
        });
    for (std::size_t i : lots) {
        if (left == 0 || !ok_)
            break;
        WSIInvItem source(&db_);
        source.data = items_[i];
        const short part = static_cast<short>(
            source.data.Balance < left ? static_cast<short>(source.data.Balance) : left);
        source.data.Balance -= part;
        left = static_cast<short>(left - part);
        Update(source);
        items_[i] = source.data;

        WSIInvItDet out(&db_);
        out.data.InvItem = source.data.InvItem;
        out.data.Type = MovementType::Transfer;
        Put(out.data.InvLoc, from);
        out.data.Product = source.data.Product;
        out.data.BatchId = batch;
        out.data.Quantity = -part;
        Put(out.data.Unit, source.data.Unit);
        out.data.ItemsPerUnit = source.data.ItemsPerUnit;
        out.data.CostPerUnit = source.data.CostPerUnit;
        Put(out.data.OtherLoc, to);
        out.data.Audit = audit;
        Insert(out);

        WSIInvItem moved(&db_);
        moved.data = source.data;
        moved.data.InvItem = 0;
        Put(moved.data.InvLoc, to);
        Put(moved.data.InvLocFrom, from);
        moved.data.Type = MovementType::Transfer;
        moved.data.InvRec = 0;
        moved.data.InvOrdIt = line;
        moved.data.Quantity = part;
        moved.data.Balance = part;
        Put(moved.data.RefNo, "");
        moved.data.Audit = audit;
        Insert(moved);
        items_.push_back(moved.data);

        WSIInvItDet in(&db_);
        in.data = out.data;
        in.data.InvItDet = 0;
        in.data.InvItem = moved.data.InvItem;
        Put(in.data.InvLoc, to);
        in.data.Quantity = part;
        Put(in.data.OtherLoc, "");
        Insert(in);

        if (line) {
            WSIInvOrdIt l(&db_);
            l.data = lines_[line];
            l.data.QtyFilled = static_cast<short>(l.data.QtyFilled + part);
            Update(l);
            lines_[line] = l.data;
        }
    }
    if (left != 0 && ok_) {
        ok_ = false;
        problem_ = std::string("not enough demo stock of ") + product + " at " + from;
    }
}

// Usage or a decreasing adjustment: the stock leaves the location.
void DemoBuilder::Take(const char* loc, const char* product, short quantity, short type, int day,
                       const char* adjCode) {
    const int pi = ProductIndex(product);
    const long audit = Audit(day, "INVITDET");
    short left = quantity;
    for (std::size_t i : Lots(loc, products_[pi])) {
        if (left == 0 || !ok_)
            break;
        WSIInvItem item(&db_);
        item.data = items_[i];
        const short part = static_cast<short>(
            item.data.Balance < left ? static_cast<short>(item.data.Balance) : left);
        item.data.Balance -= part;
        left = static_cast<short>(left - part);
        Update(item);
        items_[i] = item.data;

        WSIInvItDet det(&db_);
        det.data.InvItem = item.data.InvItem;
        det.data.Type = type;
        Put(det.data.InvLoc, loc);
        det.data.Product = item.data.Product;
        Put(det.data.InvAdj, adjCode);
        det.data.Quantity = -part;
        Put(det.data.Unit, item.data.Unit);
        det.data.ItemsPerUnit = item.data.ItemsPerUnit;
        det.data.CostPerUnit = item.data.CostPerUnit;
        det.data.Audit = audit;
        Insert(det);
    }
    if (left != 0 && ok_) {
        ok_ = false;
        problem_ = std::string("not enough demo stock of ") + product + " at " + loc;
    }
}

void DemoBuilder::ProductLocations() {
    const PrdLocDef rows[] = {
        {"STORE", "SYR3ML", "A-01", 1, 1, 2, 5, 30, 1, 10, 0},
        {"STORE", "SYR1TB", "A-02", 1, 1, 2, 4, 20, 1, 6, 0},
        {"STORE", "NDL25G", "A-03", 1, 1, 2, 4, 20, 1, 8, 0},
        {"STORE", "NDL23G", "A-04", 1, 1, 2, 4, 20, 1, 6, 0},
        {"STORE", "GLVNTM", "B-01", 1, 1, 5, 10, 40, 2, 20, 0},
        {"STORE", "GLVNTL", "B-02", 1, 1, 5, 10, 40, 2, 20, 0},
        {"STORE", "GLVSTR75", "B-03", 1, 1, 1, 2, 10, 1, 4, 0},
        {"STORE", "GAUZE4", "C-01", 1, 1, 4, 8, 40, 2, 15, 0},
        {"STORE", "BANDAG", "C-02", 1, 1, 2, 4, 20, 1, 8, 0},
        {"STORE", "FILM67", "C-03", 1, 1, 1, 2, 8, 1, 3, 0},
        {"STORE", "ALCPRP", "C-04", 1, 1, 2, 5, 20, 1, 10, 0},
        {"STORE", "VACFLU", "FRIDGE-1", 1, 1, 10, 20, 100, 10, 30, 0},
        {"STORE", "VACTDAP", "FRIDGE-1", 1, 1, 2, 4, 20, 1, 10, 0},
        {"STORE", "VACHEPB", "FRIDGE-2", 1, 1, 2, 4, 20, 1, 10, 0},
        {"STORE", "LIDO1P", "D-01", 1, 1, 5, 10, 50, 5, 25, 0},
        {"STORE", "EPI1MG", "D-02", 1, 1, 4, 6, 20, 2, 10, 0},
        {"TRT1", "SYR3ML", "T1-A", 1, 0, 1, 2, 6, 1, 2, 0},
        {"TRT1", "NDL25G", "T1-A", 1, 0, 1, 2, 6, 1, 2, 0},
        {"TRT1", "GLVNTM", "T1-B", 1, 0, 2, 4, 10, 1, 4, 0},
        {"TRT1", "BANDAG", "T1-C", 1, 0, 1, 2, 6, 1, 3, 0},
        {"TRT1", "ALCPRP", "T1-C", 1, 0, 1, 2, 6, 1, 2, 0},
        {"TRT1", "FILM67", "T1-C", 1, 0, 0, 1, 4, 1, 1, 0},
        {"TRT1", "VACFLU", "T1-FRIDGE", 1, 0, 5, 10, 30, 5, 10, 0},
        {"TRT2", "SYR1TB", "T2-A", 1, 0, 1, 2, 6, 1, 2, 0},
        {"CART1", "SYR3ML", "DRAWER-1", 1, 0, 1, 1, 2, 1, 1, 0},
        {"CART1", "EPI1MG", "DRAWER-1", 1, 0, 4, 4, 6, 2, 4, 0},
        {"CART1", "LIDO1P", "DRAWER-2", 1, 0, 4, 5, 8, 2, 5, 0},
        // Gloves on the cart are counted, not tracked: their stock is the last count.
        {"CART1", "GLVNTM", "DRAWER-3", 0, 0, 1, 2, 4, 1, 2, 2},
    };
    std::map<std::pair<std::string, long>, double> balances;
    for (const WSIInvItem::WSIData& item : items_)
        balances[{item.InvLoc, item.Product}] += item.Balance;

    for (const PrdLocDef& r : rows) {
        WSIPrdLoc pl(&db_);
        pl.data.Product = products_[ProductIndex(r.product)];
        Put(pl.data.InvLoc, r.loc);
        Put(pl.data.Bin, r.bin);
        pl.data.Stocked = 1;
        pl.data.TrackUsage = r.trackUsage;
        pl.data.CanOrderFrom = r.canOrderFrom;
        auto it = balances.find({r.loc, pl.data.Product});
        if (it != balances.end()) {
            pl.data.Balance = it->second;
            balances.erase(it);
        }
        if (r.lastCount > 0) {
            pl.data.LastCount = r.lastCount;
            pl.data.LastCountDate = Day(-7);
        }
        pl.data.MinCount = r.minCount;
        pl.data.ReorderCount = r.reorderCount;
        pl.data.MaxCount = r.maxCount;
        pl.data.MinToOrder = r.minToOrder;
        pl.data.StdToOrder = r.stdToOrder;
        Insert(pl);
    }
    if (!balances.empty() && ok_) {
        ok_ = false;
        problem_ = "demo stock at " + balances.begin()->first.first + " has no product location";
    }
}

// The product's average cost is the value of its stock over its quantity.
void DemoBuilder::AverageCosts() {
    for (int i = 0; i < kProductCount && ok_; ++i) {
        double quantity = 0, value = 0;
        for (const WSIInvItem::WSIData& item : items_)
            if (item.Product == products_[i]) {
                quantity += item.Balance;
                value += item.Balance * item.CostPerUnit;
            }
        WSIProduct p(&db_);
        p.data.Product = products_[i];
        if (!p.GetEqual(__FILE__, __LINE__)) {
            ok_ = false;
            problem_ = std::string("cannot read demo product ") + kProducts[i].code;
            return;
        }
        p.data.AverageCost = quantity > 0 ? RoundCents(value / quantity) : 0;
        Update(p);
    }
}

bool DemoBuilder::Build(std::string& problem) {
    using namespace OrdItStatus;
    Catalogue();
    Locations();

    // Opening stock, received two months ago without an order.
    const long opening = Receipt("STORE", 0, -60, "", 0);
    const struct {
        const char* product;
        short quantity;
        int expiry;
        double cost;
    } openingStock[] = {
        {"SYR3ML", 4, 0, 17.90},  {"SYR1TB", 6, 0, 16.75},   {"NDL23G", 5, 0, 9.60},
        {"GLVNTL", 10, 0, 10.80}, {"GLVNTM", 5, 0, 10.90},   {"GLVSTR75", 3, 300, 41.50},
        {"BANDAG", 8, 0, 4.95},   {"FILM67", 2, 200, 37.20}, {"ALCPRP", 6, 0, 3.45},
    };
    for (const auto& s : openingStock)
        Receive(opening, s.product, s.quantity, s.expiry, 0, s.cost);

    // Vaccines and injectables, two lots of flu vaccine, one close to expiry.
    const long pharma = Receipt("STORE", 1, -40, "MPD-1188", -45);
    Receive(pharma, "VACFLU", 40, 150, 0);
    Receive(pharma, "VACFLU", 20, 20, 0, 13.80);
    Receive(pharma, "VACTDAP", 10, 500, 0);
    Receive(pharma, "VACHEPB", 10, 365, 0);
    Receive(pharma, "LIDO1P", 25, 240, 0);
    Receive(pharma, "EPI1MG", 10, 90, 0);

    // A purchase order received in part: filled, partly filled, back-ordered, purchased.
    const long po = Order(true, "STORE", "", 0, "NMS-24017", -20, true);
    const long syr = Line(po, 1, "SYR3ML", 10, Filled);
    const long glv = Line(po, 2, "GLVNTM", 20, PartiallyFilled);
    const long gauze = Line(po, 3, "GAUZE4", 15, BackOrdered);
    Line(po, 4, "ALCPRP", 10, Purchased);
    const long ndl = Line(po, 5, "NDL25G", 8, Filled);
    const long receipt = Receipt("STORE", 0, -12, "NMS-24017", -20);
    Receive(receipt, "SYR3ML", 10, 0, syr);
    Receive(receipt, "GLVNTM", 12, 0, glv);
    Receive(receipt, "GAUZE4", 5, 400, gauze);
    Receive(receipt, "NDL25G", 8, 0, ndl);

    // A new purchase order for vaccines, not yet approved.
    const long vaccines = Order(true, "STORE", "", 1, "MPD-1203", -2, false);
    Line(vaccines, 1, "VACFLU", 30, Ordered);
    Line(vaccines, 2, "VACHEPB", 10, Ordered);

    // Stocking the crash cart and the first treatment room.
    const long cartBatch = Sequence(kBatchIdSequence);
    Move("STORE", "CART1", "EPI1MG", 4, -30, cartBatch, 0);
    Move("STORE", "CART1", "LIDO1P", 5, -30, cartBatch, 0);
    Move("STORE", "CART1", "SYR3ML", 1, -30, cartBatch, 0);
    const long roomBatch = Sequence(kBatchIdSequence);
    Move("STORE", "TRT1", "VACFLU", 10, -8, roomBatch, 0);
    Move("STORE", "TRT1", "SYR3ML", 2, -8, roomBatch, 0);
    Take("STORE", "BANDAG", 1, MovementType::Adjustment, -10, "DAM");

    // Treatment room 1 asks the store room for supplies; one line is already filled
    // from a pick list, one waits on it.
    const long request = Order(false, "TRT1", "STORE", 0, "", -5, true);
    const long gloves = Line(request, 1, "GLVNTM", 4, Filled);
    const long needles = Line(request, 2, "NDL25G", 2, OnPickList);
    Line(request, 3, "BANDAG", 3, Requested);
    Line(request, 4, "ALCPRP", 2, InReview);
    Line(request, 5, "FILM67", 1, Cancelled);
    const long pickList = Sequence(kPickListSequence);
    for (long id : {gloves, needles}) {
        WSIInvOrdIt l(&db_);
        l.data = lines_[id];
        l.data.PickList = pickList;
        l.data.PickUser = admin_;
        l.data.PickDate = Day(-4);
        Update(l);
        lines_[id] = l.data;
    }
    Move("STORE", "TRT1", "GLVNTM", 4, -4, Sequence(kBatchIdSequence), gloves);

    // An older request of the second treatment room, closed without delivery.
    const long closed = Order(false, "TRT2", "STORE", 0, "", -30, true);
    Line(closed, 1, "SYR1TB", 1, Closed);

    // Usage in the treatment room.
    Take("TRT1", "VACFLU", 3, MovementType::Usage, -3, "");
    Take("TRT1", "GLVNTM", 1, MovementType::Usage, -1, "");

    ProductLocations();
    AverageCosts();
    problem = problem_;
    return ok_;
}

} // namespace

bool LoadDemoData(WSIDatabase& db, std::string* problem) {
    std::string failure;
    RegisterRecords();
    if (!db.TransactionBegin()) {
        failure = "cannot start a transaction for the demo data";
    } else {
        DemoBuilder builder(db);
        if (!builder.Build(failure))
            db.TransactionAbort();
        else if (!db.TransactionEnd())
            failure = "cannot commit the demo data";
    }
    if (problem)
        *problem = failure;
    return failure.empty();
}

} // namespace tavel
