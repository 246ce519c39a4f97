// inventory_gen: writes a database of a chosen size with consistent stock, details, receipts,
// transfers, usage, counts, orders and audit rows, for the benchmarks and for load tests.
//
//   inventory_gen --size tiny|clinic|group --out FILE
//
// The schema comes from the project (CreateSchema); the rows are written with native prepared
// statements in one transaction, because going through the records would take hours at the
// group size. Everything is built in memory first so that balances, fills and average costs
// are sums of what is written. The seed is fixed: the same size gives the same rows.

#include "BoundedFormat.h"
#include "Clock.h"
#include "InventoryCodes.h"
#include "Records.h"
#include "Schema.h"
#include "WSIDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tavel;

struct Size {
    const char* name;
    int products;
    int locations;
    int productLocations; // including each product's row at the main store room
    int stockItems;
    int orderLines;
    int vendors;
    int years;
};

const Size kSizes[] = {
    {"tiny", 30, 8, 90, 400, 120, 3, 1},
    {"clinic", 2000, 8, 8000, 100000, 15000, 20, 5},
    {"group", 20000, 40, 200000, 2000000, 300000, 40, 5},
};

// Deterministic draws: mt19937_64 is specified exactly, the library's distributions are not.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    // Uniform in [lo, hi].
    int Between(int lo, int hi) {
        return lo + static_cast<int>(engine_() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool Chance(double p) { return static_cast<double>(engine_() >> 11) * 0x1.0p-53 < p; }

private:
    std::mt19937_64 engine_;
};

// 'YYYY-MM-DD' of a day number (days since 1970-01-01).
void DateText(long day, char (&out)[32]) {
    const WSIDate d = tavel::DateOfDayNumber(day);
    FormatInto(__LINE__, __FILE__, out, "%04d-%02d-%02d", d.year, d.month, d.day);
}

double RoundCents(double x) {
    return std::floor(x * 100 + 0.5) / 100;
}

constexpr int kNone = -1;

struct UnitDef {
    const char* unit;
    short itemsPerUnit;
    const char* itemUnit;
    short dividable;
};
const UnitDef kUnits[] = {{"Box", 100, "Each", 1}, {"Pack", 25, "Each", 1},
                          {"Each", 1, "Each", 0},  {"Vial", 1, "Vial", 0},
                          {"Case", 12, "Box", 1},  {"Ampoule", 1, "Ampoule", 0},
                          {"Pair", 1, "Pair", 0}};

struct CategoryDef {
    int type;
    const char* code;
    const char* description;
};
const char* const kTypes[] = {"Medical supplies", "Pharmaceuticals", "Laboratory", "Office"};
const CategoryDef kCategories[] = {
    {0, "SYR", "Syringes and needles"}, {0, "GLV", "Gloves"},        {0, "DRS", "Dressings"},
    {0, "PREP", "Skin preparation"},    {1, "VAC", "Vaccines"},      {1, "INJ", "Injectables"},
    {1, "ORAL", "Oral medication"},     {2, "TUBE", "Sample tubes"}, {2, "REAG", "Reagents"},
    {3, "PAPR", "Paper and forms"},
};
const char* const kWords[] = {"Syringe",  "Needle",  "Glove",  "Gauze",   "Bandage", "Swab",
                              "Catheter", "Suture",  "Tube",   "Vaccine", "Vial",    "Tablet",
                              "Dressing", "Scalpel", "Mask",   "Gown",    "Drape",   "Strip",
                              "Lancet",   "Cannula", "Splint", "Tape",    "Pad",     "Cup"};
const char* const kSizesText[] = {"small", "medium", "large", "1 mL",  "3 mL",    "5 mL",
                                  "10 mL", "25G",    "23G",   "4 x 4", "sterile", "latex-free"};

enum AdjIndex { kDamaged, kExpired, kFound, kCounted, kAdjCount };
const char* const kAdjCodes[kAdjCount] = {"DAM", "EXP", "FND", "CNT"};

struct Product {
    int unit;     // index into kUnits
    int category; // index into kCategories
    int vendor;   // 0-based
    double cost;
    short trackExpiry;
    short costing;
    std::vector<int> locations; // where it has a product location, main store first
};

struct PrdLoc {
    int product;
    int loc;
    short trackUsage;
    short canOrderFrom;
    short stocked;
    long long balance = 0;
    int lastCount = kNone;
    int lastCountDay = 0;
    short minCount, reorderCount, maxCount, minToOrder, stdToOrder;
};

struct Item {
    int product;
    short loc;
    short locFrom = kNone;
    short type;
    int receipt = 0;
    int line = 0;
    int quantity;
    int balance;
    double cost;
    int expiryDay = INT_MIN;
    int audit;
    int day;
};

struct Detail {
    int item; // 0 for a count marker
    short type;
    short loc;
    int product;
    short adj = kNone;
    int batch = 0;
    int quantity;
    double cost;
    int countValue = kNone;
    short otherLoc = kNone;
    int audit;
};

struct Receipt {
    short loc;
    int vendor;
    int order; // 0 without a purchase order
    int day;
    int audit;
};

struct Order {
    bool external;
    short loc;
    short from;
    int vendor;
    int day;
    bool approved;
    int audit;
};

struct Line {
    int order;
    short item;
    int product;
    int quantity;
    double cost;
    int filled = 0;
    short status;
    short wasBackOrdered = 0;
    int pickList = 0;
    int pickDay = 0;
};

struct Audit {
    int day;
    short table; // index into kAuditTables
};
const char* const kAuditTables[] = {"INVREC", "INVITEM", "INVITDET", "INVORDER"};
enum { kAuditReceipt, kAuditItem, kAuditDetail, kAuditOrder };

class Generator {
public:
    Generator(const Size& size, long today) : s_(size), today_(today), rnd_(20260405) {}

    void Build();
    bool Write(sqlite3* db, std::string& problem);
    bool AdvanceSequences(const std::string& path, std::string& problem);
    void Report() const;

private:
    // Whether the product is not yet on the order being built; an order holds each product
    // on one line, as receiving against it requires.
    bool Fresh(int product) {
        if (std::find(onOrder_.begin(), onOrder_.end(), product) != onOrder_.end())
            return false;
        onOrder_.push_back(product);
        return true;
    }
    int NewAudit(int day, short table) {
        audits_.push_back({day, table});
        return static_cast<int>(audits_.size());
    }
    int Day(int first) { return rnd_.Between(std::min(first, 0), 0); }
    int StartDay() const { return -365 * s_.years; }
    bool IsStore(int loc) const { return locType_[loc] == LocationType::StoreRoom; }
    int PrdLocOf(int product, int loc) const;
    void Catalogue();
    void Receipts(int count, double againstOrder);
    void Transfers(int count, double againstOrder);
    void Found(int count);
    void Consumption();
    void Counts();
    void OpenLines();
    void Finish();

    const Size& s_;
    long today_;
    Random rnd_;
    std::vector<short> locType_;
    std::vector<Product> products_;
    std::vector<PrdLoc> prdLocs_;
    std::vector<std::vector<int>> prdLocIndex_; // per product: indexes into prdLocs_
    std::vector<std::vector<int>> storeLots_;   // per product: receipt items at store rooms
    std::vector<Item> items_;
    std::vector<Detail> details_;
    std::vector<Receipt> receipts_;
    std::vector<Order> orders_;
    std::vector<Line> lines_;
    std::vector<Audit> audits_;
    std::vector<double> averageCost_;
    std::vector<int> onOrder_;
    int batches_ = 0;
    int pickLists_ = 0;
};

int Generator::PrdLocOf(int product, int loc) const {
    for (int i : prdLocIndex_[product])
        if (prdLocs_[i].loc == loc)
            return i;
    return kNone;
}

// Locations of the four types in a fixed pattern of eight: a store room, four supply rooms,
// one location without stock and two use points.
void Generator::Catalogue() {
    for (int l = 0; l < s_.locations; ++l) {
        const int k = l % 8;
        locType_.push_back(k == 0   ? LocationType::StoreRoom
                           : k <= 4 ? LocationType::SupplyRoom
                           : k == 5 ? LocationType::NoStock
                                    : LocationType::UsePoint);
    }
    std::vector<int> stores;
    for (int l = 0; l < s_.locations; ++l)
        if (IsStore(l))
            stores.push_back(l);

    prdLocIndex_.resize(s_.products);
    storeLots_.resize(s_.products);
    const int perProduct = std::max(1, s_.productLocations / s_.products);
    for (int p = 0; p < s_.products; ++p) {
        Product d;
        d.category = rnd_.Between(0, sizeof(kCategories) / sizeof(kCategories[0]) - 1);
        d.unit = kCategories[d.category].type == 1 ? rnd_.Between(2, 5) : rnd_.Between(0, 6);
        d.vendor = p % s_.vendors;
        d.cost = RoundCents(0.5 + rnd_.Between(0, 20000) / 100.0);
        d.trackExpiry = kCategories[d.category].type == 1 || rnd_.Chance(0.2) ? 1 : 0;
        d.costing = d.trackExpiry ? static_cast<short>(CostingMethod::EarliestExpiry)
                                  : static_cast<short>(rnd_.Between(0, 2));
        // Every product is kept at the main store room; another store room carries some,
        // and the rest of its rows are spread over the other locations.
        d.locations.push_back(0);
        for (int tries = 0;
             static_cast<int>(d.locations.size()) < perProduct && tries < 4 * perProduct; ++tries) {
            const int l = rnd_.Chance(0.15) ? stores[rnd_.Between(0, stores.size() - 1)]
                                            : rnd_.Between(0, s_.locations - 1);
            if (std::find(d.locations.begin(), d.locations.end(), l) == d.locations.end())
                d.locations.push_back(l);
        }
        for (int l : d.locations) {
            PrdLoc pl;
            pl.product = p;
            pl.loc = l;
            pl.stocked = locType_[l] == LocationType::NoStock ? 0 : 1;
            pl.trackUsage = locType_[l] == LocationType::UsePoint && rnd_.Chance(0.3) ? 0 : 1;
            pl.canOrderFrom = IsStore(l) || locType_[l] == LocationType::SupplyRoom ? 1 : 0;
            pl.minCount = static_cast<short>(rnd_.Between(0, 5));
            pl.reorderCount = static_cast<short>(pl.minCount + rnd_.Between(1, 10));
            pl.maxCount = static_cast<short>(pl.reorderCount + rnd_.Between(5, 60));
            pl.minToOrder = static_cast<short>(rnd_.Between(1, 5));
            pl.stdToOrder = static_cast<short>(pl.minToOrder + rnd_.Between(0, 20));
            prdLocIndex_[p].push_back(static_cast<int>(prdLocs_.size()));
            prdLocs_.push_back(pl);
        }
        products_.push_back(std::move(d));
    }
}

// Deliveries from vendors into store rooms, about twenty lines each; some against a purchase
// order whose lines are filled, partly filled or back-ordered by what arrived.
void Generator::Receipts(int count, double againstOrder) {
    using namespace OrdItStatus;
    int made = 0;
    while (made < count) {
        const int vendor = rnd_.Between(0, s_.vendors - 1);
        const int day = Day(StartDay());
        Receipt r{0, vendor, 0, day, NewAudit(day, kAuditReceipt)};
        const int product0 = vendor; // products of a vendor are p % vendors == vendor
        const int lines = std::min(count - made, rnd_.Between(5, 35));
        if (rnd_.Chance(againstOrder)) {
            const int orderDay = std::max(StartDay(), day - rnd_.Between(2, 20));
            orders_.push_back(
                {true, 0, kNone, vendor, orderDay, true, NewAudit(orderDay, kAuditOrder)});
            r.order = static_cast<int>(orders_.size());
        }
        receipts_.push_back(r);
        const int receipt = static_cast<int>(receipts_.size());
        onOrder_.clear();
        int written = 0;
        for (int i = 0; i < lines; ++i) {
            const int p =
                product0 + s_.vendors * rnd_.Between(0, (s_.products - 1 - product0) / s_.vendors);
            if (r.order && !Fresh(p))
                continue;
            ++written;
            const Product& d = products_[p];
            Item it;
            it.product = p;
            it.loc = 0;
            it.type = MovementType::Receipt;
            it.receipt = receipt;
            it.quantity = rnd_.Between(1, 40);
            it.balance = it.quantity;
            it.cost = RoundCents(d.cost * rnd_.Between(90, 110) / 100.0);
            if (d.trackExpiry)
                it.expiryDay = day + rnd_.Between(90, 900);
            it.audit = r.audit;
            it.day = day;
            if (r.order) {
                Line l;
                l.order = r.order;
                l.item = static_cast<short>(written);
                l.product = p;
                l.cost = it.cost;
                l.filled = it.quantity;
                const int roll = rnd_.Between(0, 9);
                l.status = roll < 7 ? Filled : roll < 9 ? PartiallyFilled : BackOrdered;
                l.quantity = l.status == Filled ? it.quantity : it.quantity + rnd_.Between(1, 10);
                l.wasBackOrdered = l.status == BackOrdered ? 1 : 0;
                lines_.push_back(l);
                it.line = static_cast<int>(lines_.size());
            }
            items_.push_back(it);
            details_.push_back({static_cast<int>(items_.size()), MovementType::Receipt, 0, p, kNone,
                                0, it.quantity, it.cost, kNone, kNone, r.audit});
            storeLots_[p].push_back(static_cast<int>(items_.size()) - 1);
        }
        made += written;
    }
}

// Moves from the main store room to the product's other locations, in batches; some fill
// the lines of an internal order placed by the receiving location.
void Generator::Transfers(int count, double againstOrder) {
    using namespace OrdItStatus;
    int made = 0, misses = 0;
    while (made < count && misses < 100000) {
        const int dest = rnd_.Between(1, s_.locations - 1);
        if (locType_[dest] == LocationType::NoStock) {
            ++misses;
            continue;
        }
        const int batch = ++batches_;
        int order = 0;
        int day = INT_MIN;
        const int want = rnd_.Between(3, 15);
        int audit = 0;
        const bool filling = rnd_.Chance(againstOrder);
        short lineNo = 0;
        onOrder_.clear();
        for (int tries = 0; tries < 4 * want && lineNo < want && made < count; ++tries) {
            const int p = rnd_.Between(0, s_.products - 1);
            const int pl = PrdLocOf(p, dest);
            if (pl == kNone || storeLots_[p].empty() || !prdLocs_[pl].stocked ||
                (filling && !Fresh(p)))
                continue;
            const int src = storeLots_[p][rnd_.Between(0, storeLots_[p].size() - 1)];
            if (items_[src].balance == 0)
                continue;
            if (day == INT_MIN) {
                day = Day(items_[src].day + 1);
                audit = NewAudit(day, kAuditItem);
                if (filling) {
                    const int orderDay = std::max(items_[src].day, day - rnd_.Between(1, 7));
                    orders_.push_back({false, static_cast<short>(dest), 0, 0, orderDay, true,
                                       NewAudit(orderDay, kAuditOrder)});
                    order = static_cast<int>(orders_.size());
                }
            }
            if (items_[src].day > day)
                continue;
            const int part = std::min(items_[src].balance, rnd_.Between(1, 12));
            items_[src].balance -= part;
            details_.push_back({src + 1, MovementType::Transfer, 0, p, kNone, batch, -part,
                                items_[src].cost, kNone, static_cast<short>(dest), audit});
            Item it = items_[src];
            it.loc = static_cast<short>(dest);
            it.locFrom = 0;
            it.type = MovementType::Transfer;
            it.receipt = 0;
            it.line = 0;
            it.quantity = part;
            it.balance = part;
            it.audit = audit;
            it.day = day;
            ++lineNo;
            if (order) {
                Line l;
                l.order = order;
                l.item = lineNo;
                l.product = p;
                l.cost = it.cost;
                l.filled = part;
                l.status = rnd_.Chance(0.85) ? Filled : PartiallyFilled;
                l.quantity = l.status == Filled ? part : part + rnd_.Between(1, 5);
                if (rnd_.Chance(0.5)) {
                    l.pickList = ++pickLists_;
                    l.pickDay = day;
                }
                lines_.push_back(l);
                it.line = static_cast<int>(lines_.size());
            }
            items_.push_back(it);
            details_.push_back({static_cast<int>(items_.size()), MovementType::Transfer,
                                static_cast<short>(dest), p, kNone, batch, part, it.cost, kNone,
                                kNone, audit});
            ++made;
        }
        if (lineNo == 0)
            ++misses;
    }
}

// Stock found at a location, entered as an increasing adjustment.
void Generator::Found(int count) {
    for (int made = 0; made < count;) {
        const PrdLoc& pl = prdLocs_[rnd_.Between(0, prdLocs_.size() - 1)];
        if (!pl.stocked)
            continue;
        ++made;
        const Product& d = products_[pl.product];
        const int day = Day(StartDay());
        Item it;
        it.product = pl.product;
        it.loc = static_cast<short>(pl.loc);
        it.type = MovementType::Adjustment;
        it.quantity = rnd_.Between(1, 5);
        it.balance = it.quantity;
        it.cost = d.cost;
        if (d.trackExpiry)
            it.expiryDay = day + rnd_.Between(30, 600);
        it.audit = NewAudit(day, kAuditItem);
        it.day = day;
        items_.push_back(it);
        details_.push_back({static_cast<int>(items_.size()), MovementType::Adjustment, it.loc,
                            it.product, kFound, 0, it.quantity, it.cost, kNone, kNone, it.audit});
    }
}

// Usage where the location tracks it, damage and expiry elsewhere; older lots are mostly used
// up, recent ones mostly full.
void Generator::Consumption() {
    int audit = 0, shared = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        Item& it = items_[i];
        const int steps = rnd_.Between(0, 2);
        for (int k = 0; k < steps && it.balance > 0; ++k) {
            const int pl = PrdLocOf(it.product, it.loc);
            const bool expired = it.expiryDay != INT_MIN && it.expiryDay < 0 && rnd_.Chance(0.5);
            const bool usage =
                !expired && !IsStore(it.loc) && prdLocs_[pl].trackUsage && rnd_.Chance(0.8);
            const int part =
                it.day < -365 || rnd_.Chance(0.3) ? it.balance : rnd_.Between(1, it.balance);
            if (shared-- <= 0) {
                audit = NewAudit(Day(it.day), kAuditDetail);
                shared = 10;
            }
            it.balance -= part;
            details_.push_back({static_cast<int>(i) + 1,
                                usage ? MovementType::Usage : MovementType::Adjustment, it.loc,
                                it.product,
                                static_cast<short>(usage     ? kNone
                                                   : expired ? kExpired
                                                             : kDamaged),
                                0, -part, it.cost, kNone, kNone, audit});
        }
    }
}

// Balances from the stock items; a count run per location now and then, with a count
// marker per product counted (the count matched, so no stock changes).
void Generator::Counts() {
    for (const Item& it : items_)
        prdLocs_[PrdLocOf(it.product, it.loc)].balance += it.balance;
    for (int l = 0; l < s_.locations; ++l) {
        const int runs = 2 * s_.years;
        for (int r = 0; r < runs; ++r) {
            const int day = Day(StartDay());
            const int batch = ++batches_;
            const int audit = NewAudit(day, kAuditDetail);
            for (PrdLoc& pl : prdLocs_) {
                if (pl.loc != l || !pl.stocked || !rnd_.Chance(0.25))
                    continue;
                if (pl.lastCount == kNone || pl.lastCountDay < day) {
                    pl.lastCount = static_cast<int>(pl.balance);
                    pl.lastCountDay = day;
                }
                details_.push_back({0, MovementType::CountMarker, static_cast<short>(l), pl.product,
                                    kCounted, batch, 0, products_[pl.product].cost,
                                    static_cast<int>(pl.balance), kNone, audit});
            }
        }
    }
}

// Lines that have not (or no longer) moved stock: the open and closed statuses, recent
// for the open ones, on purchase orders and internal requests alike.
void Generator::OpenLines() {
    using namespace OrdItStatus;
    const short statuses[] = {Ordered, Purchased, OnPickList, Cancelled,
                              Closed,  InReview,  Requested};
    int order = 0, left = 0;
    while (static_cast<int>(lines_.size()) < s_.orderLines) {
        const short status = statuses[rnd_.Between(0, 6)];
        if (left-- <= 0) {
            const bool external = rnd_.Chance(0.5);
            const bool open = status != Cancelled && status != Closed;
            const int day = open ? Day(-90) : Day(StartDay());
            int dest = 0;
            while (!external && locType_[dest] != LocationType::SupplyRoom &&
                   locType_[dest] != LocationType::UsePoint)
                dest = rnd_.Between(1, s_.locations - 1);
            orders_.push_back({external, static_cast<short>(external ? 0 : dest),
                               static_cast<short>(external ? kNone : 0),
                               external ? rnd_.Between(0, s_.vendors - 1) : 0, day,
                               status != Requested && status != InReview,
                               NewAudit(day, kAuditOrder)});
            order = static_cast<int>(orders_.size());
            left = rnd_.Between(3, 30);
            onOrder_.clear();
        }
        const Order& o = orders_[order - 1];
        Line l;
        l.order = order;
        l.item = 0;
        l.product =
            o.external
                ? o.vendor + s_.vendors * rnd_.Between(0, (s_.products - 1 - o.vendor) / s_.vendors)
                : rnd_.Between(0, s_.products - 1);
        if (!Fresh(l.product)) {
            left = 0; // the order is full enough; start the next one
            continue;
        }
        l.quantity = rnd_.Between(1, 30);
        l.cost = products_[l.product].cost;
        l.status = o.external && (status == OnPickList || status == Requested || status == InReview)
                       ? static_cast<short>(Ordered)
                       : status;
        if (l.status == OnPickList) {
            l.pickList = ++pickLists_;
            l.pickDay = o.day;
        }
        lines_.push_back(l);
    }
    // Line numbers within each order, in the order written.
    std::vector<short> next(orders_.size() + 1, 0);
    for (Line& l : lines_)
        l.item = static_cast<short>(++next[l.order]);
}

void Generator::Finish() {
    averageCost_.assign(products_.size(), 0);
    std::vector<double> quantity(products_.size(), 0);
    for (const Item& it : items_) {
        quantity[it.product] += it.balance;
        averageCost_[it.product] += it.balance * it.cost;
    }
    for (std::size_t p = 0; p < products_.size(); ++p)
        averageCost_[p] = quantity[p] > 0 ? RoundCents(averageCost_[p] / quantity[p]) : 0;
}

void Generator::Build() {
    Catalogue();
    // Of the stock items about 60 % are receipts, 33 % transfers and the rest found stock;
    // of the order lines about 45 % are filled by receipts and 15 % by transfers.
    const int receipts = s_.stockItems * 60 / 100;
    const int transfers = s_.stockItems * 33 / 100;
    Receipts(receipts, std::min(1.0, 0.45 * s_.orderLines / receipts));
    Transfers(transfers, std::min(1.0, 0.15 * s_.orderLines / transfers));
    Found(s_.stockItems - static_cast<int>(items_.size()));
    Consumption();
    Counts();
    OpenLines();
    Finish();
}

// A prepared statement run once per row.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK)
            s_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool Ok() const { return s_ != nullptr; }

    Statement& Int(int i, long long v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    Statement& Real(int i, double v) {
        sqlite3_bind_double(s_, i, v);
        return *this;
    }
    // Empty text is stored as NULL, as the records store it.
    Statement& Text(int i, const char* v) {
        if (v && *v)
            sqlite3_bind_text(s_, i, v, -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(s_, i);
        return *this;
    }
    // The empty text itself, where a key column holds it.
    Statement& Empty(int i) {
        sqlite3_bind_text(s_, i, "", 0, SQLITE_STATIC);
        return *this;
    }
    Statement& Date(int i, long day) {
        char text[32];
        DateText(day, text);
        return Text(i, text);
    }
    bool Run() {
        const int rc = sqlite3_step(s_);
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
        if (rc != SQLITE_DONE && error_.empty())
            error_ = sqlite3_errmsg(db_);
        return rc == SQLITE_DONE;
    }
    const std::string& Error() const { return error_; }

private:
    sqlite3* db_;
    sqlite3_stmt* s_ = nullptr;
    std::string error_;
};

bool Exec(sqlite3* db, const char* sql, std::string& problem) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    problem = std::string(sql).substr(0, 60) + ": " + (message ? message : "failed");
    sqlite3_free(message);
    return false;
}

bool Generator::Write(sqlite3* db, std::string& problem) {
    // The indexes are dropped for the load and built again at the end: building one from
    // sorted keys is several times faster than keeping it up to date row by row.
    std::vector<std::pair<std::string, std::string>> indexes;
    {
        sqlite3_stmt* raw = nullptr;
        sqlite3_prepare_v2(
            db, "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL", -1,
            &raw, nullptr);
        while (raw && sqlite3_step(raw) == SQLITE_ROW)
            indexes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)),
                                 reinterpret_cast<const char*>(sqlite3_column_text(raw, 1)));
        sqlite3_finalize(raw);
    }
    if (!Exec(db, "PRAGMA synchronous = OFF", problem) ||
        !Exec(db, "PRAGMA cache_size = -262144", problem) || !Exec(db, "BEGIN", problem))
        return false;
    for (const auto& [name, sql] : indexes) {
        const std::string drop = "DROP INDEX \"" + name + "\"";
        if (!Exec(db, drop.c_str(), problem))
            return false;
    }
    char text[32], text2[32];
    std::vector<Statement*> all;
    auto S = [&](const char* sql) {
        all.push_back(new Statement(db, sql));
        return all.back();
    };
    Statement& user = *S("INSERT INTO USERS (\"User\", \"Login\", \"Name\", \"First\") VALUES (1, "
                         "'admin', 'Administrator', 'System')");
    Statement& opt = *S("INSERT INTO TAVELOPT (\"TavelOpt\", \"MinProductLength\") VALUES (1, 6)");
    Statement& prov = *S("INSERT INTO PROVINCE VALUES ('ON', 'Ontario')");
    Statement& city = *S("INSERT INTO CITY VALUES ('Toronto', 'ON', 'M5V 2T6', '416')");
    Statement& vendor = *S("INSERT INTO VENDOR (\"Vendor\", \"Name\", \"Address1\", \"City\", "
                           "\"Province\", \"Phone\") VALUES (?1, ?2, ?3, 'Toronto', 'ON', ?4)");
    Statement& unit = *S("INSERT INTO PRDUNIT (\"Description\", \"IsDividable\") VALUES (?1, ?2)");
    Statement& type = *S("INSERT INTO PRDTYPE (\"PrdType\", \"Description\") VALUES (?1, ?2)");
    Statement& cat =
        *S("INSERT INTO PRDCAT (\"PrdType\", \"PrdCat\", \"Description\") VALUES (?1, ?2, ?3)");
    Statement& otype = *S(
        "INSERT INTO INVOTYPE (\"InvOType\", \"Description\", \"IsExternal\") VALUES (?1, ?2, ?3)");
    Statement& adj =
        *S("INSERT INTO INVADJ (\"InvAdj\", \"Description\", \"Type\") VALUES (?1, ?2, ?3)");
    Statement& loc = *S(
        "INSERT INTO INVLOC (\"InvLoc\", \"Name\", \"Type\", \"BarCode\") VALUES (?1, ?2, ?3, ?4)");
    Statement& product = *S(
        "INSERT INTO PRODUCT (\"Product\", \"ProductCode\", \"UPCCode\", \"Description\", "
        "\"PrdType\", "
        "\"PrdCat\", \"Unit\", \"Vendor\", \"Manufacturer\", \"InvOType\", \"CostPerUnit\", "
        "\"CanOrder\", "
        "\"IsDividable\", \"TrackExpiryDate\", \"ItemsPerUnit\", \"ItemUnit\", \"CostingMethod\", "
        "\"AverageCost\", \"LeadTime\", \"LeadTimeUnit\") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, "
        "?9, "
        "'PO', ?10, 1, ?11, ?12, ?13, ?14, ?15, ?16, ?17, 0)");
    Statement& prdloc =
        *S("INSERT INTO PRDLOC (\"Product\", \"InvLoc\", \"Bin\", \"Stocked\", \"TrackUsage\", "
           "\"CanOrderFrom\", \"Balance\", \"LastCount\", \"LastCountDate\", \"MinCount\", "
           "\"ReorderCount\", \"MaxCount\", \"MinToOrder\", \"StdToOrder\") VALUES (?1, ?2, ?3, "
           "?4, ?5, "
           "?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    Statement& audit = *S("INSERT INTO AUDITHIS (\"Audit\", \"User\", \"Date\", \"Operation\", "
                          "\"TableName\") VALUES (?1, 1, ?2, 1, ?3)");
    Statement& rec = *S("INSERT INTO INVREC (\"InvRec\", \"InvLoc\", \"Vendor\", \"PONumber\", "
                        "\"Date\", \"PODate\", \"Audit\") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    Statement& order =
        *S("INSERT INTO INVORDER (\"InvOrder\", \"IsExternal\", \"InvLoc\", \"InvLocFrom\", "
           "\"Vendor\", "
           "\"PONumber\", \"InvOType\", \"SpecialOrder\", \"Date\", \"ApprovalUser\", \"Recurs\", "
           "\"Audit\", \"Inactive\") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 0, ?8, ?9, 0, ?10, 0)");
    Statement& line = *S(
        "INSERT INTO INVORDIT (\"InvOrdIt\", \"InvOrder\", \"Item\", \"Product\", \"Quantity\", "
        "\"Unit\", \"CostPerUnit\", \"QtyFilled\", \"Status\", \"WasBackOrdered\", \"PickList\", "
        "\"PickUser\", \"PickDate\", \"StockedAtLoc\", \"StockedAtFrom\") VALUES (?1, ?2, ?3, ?4, "
        "?5, "
        "?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, 1, 1)");
    Statement& item =
        *S("INSERT INTO INVITEM (\"InvItem\", \"InvLoc\", \"InvLocFrom\", \"Product\", \"Type\", "
           "\"InvRec\", \"InvOrdIt\", \"Quantity\", \"Balance\", \"CostPerUnit\", \"ExpiryDate\", "
           "\"Unit\", \"ItemsPerUnit\", \"ItemUnit\", \"AdjCreated\", \"Audit\") VALUES (?1, ?2, "
           "?3, ?4, "
           "?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, 0, ?15)");
    Statement& det = *S(
        "INSERT INTO INVITDET (\"InvItDet\", \"InvItem\", \"Type\", \"InvLoc\", \"Product\", "
        "\"InvAdj\", \"BatchId\", \"Quantity\", \"Unit\", \"ItemsPerUnit\", \"CostPerUnit\", "
        "\"CountValue\", \"OtherLoc\", \"Audit\") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
        "?11, ?12, ?13, ?14)");
    bool ok = true;
    for (Statement* s : all)
        ok = ok && s->Ok();
    if (!ok) {
        problem = std::string("cannot prepare the load statements: ") + sqlite3_errmsg(db);
        for (Statement* s : all)
            delete s;
        return false;
    }

    auto locCode = [&](int l, char(&out)[32]) {
        // Location codes hold at most six characters.
        const char* prefix[] = {"ST", "RM", "NS", "UP"};
        FormatInto(__LINE__, __FILE__, out, "%s%02d", prefix[locType_[l]], l + 1);
    };
    ok = user.Run() && opt.Run() && prov.Run() && city.Run();
    for (int v = 0; v < s_.vendors && ok; ++v) {
        FormatInto(__LINE__, __FILE__, text, "Vendor %03d Medical", v + 1);
        FormatInto(__LINE__, __FILE__, text2, "%d Commerce Rd", 100 + v);
        ok = vendor.Int(1, v + 1).Text(2, text).Text(3, text2).Text(4, "555-0100").Run();
    }
    for (const UnitDef& u : kUnits)
        ok = ok && unit.Text(1, u.unit).Int(2, u.dividable).Run();
    for (int t = 0; t < 4; ++t)
        ok = ok && type.Int(1, t + 1).Text(2, kTypes[t]).Run();
    for (const CategoryDef& c : kCategories)
        ok = ok && cat.Int(1, c.type + 1).Text(2, c.code).Text(3, c.description).Run();
    ok = ok && otype.Text(1, "INT").Text(2, "Internal request").Int(3, 0).Run() &&
         otype.Text(1, "PO").Text(2, "Purchase order").Int(3, 1).Run();
    const short adjTypes[] = {AdjustmentType::Decrease, AdjustmentType::Decrease,
                              AdjustmentType::Increase, AdjustmentType::Count};
    const char* const adjNames[] = {"Damaged", "Expired", "Found stock", "Physical count"};
    for (int a = 0; a < kAdjCount && ok; ++a)
        ok = adj.Text(1, kAdjCodes[a]).Text(2, adjNames[a]).Int(3, adjTypes[a]).Run();
    for (int l = 0; l < s_.locations && ok; ++l) {
        locCode(l, text);
        FormatInto(__LINE__, __FILE__, text2, "Location %d", l + 1);
        char bar[32];
        FormatInto(__LINE__, __FILE__, bar, "LOC-%s", text);
        ok = loc.Text(1, text).Text(2, text2).Int(3, locType_[l]).Text(4, bar).Run();
    }
    for (int p = 0; p < s_.products && ok; ++p) {
        const Product& d = products_[p];
        const UnitDef& u = kUnits[d.unit];
        const CategoryDef& c = kCategories[d.category];
        char code[32], upc[32], description[128];
        FormatInto(__LINE__, __FILE__, code, "P%06d", p + 1);
        FormatInto(__LINE__, __FILE__, upc, "00%06d%06d", 812345 + d.vendor, p + 1);
        FormatInto(__LINE__, __FILE__, description, "%s %s %d", kWords[p % 24],
                   kSizesText[(p / 24) % 12], p + 1);
        FormatInto(__LINE__, __FILE__, text, "Maker %02d", p % 50);
        ok = product.Int(1, p + 1)
                 .Text(2, code)
                 .Text(3, upc)
                 .Text(4, description)
                 .Int(5, c.type + 1)
                 .Text(6, c.code)
                 .Text(7, u.unit)
                 .Int(8, d.vendor + 1)
                 .Text(9, text)
                 .Real(10, d.cost)
                 .Int(11, u.dividable)
                 .Int(12, d.trackExpiry)
                 .Int(13, u.itemsPerUnit)
                 .Text(14, u.itemUnit)
                 .Int(15, d.costing)
                 .Real(16, averageCost_[p])
                 .Int(17, 5)
                 .Run();
        // The product's default row under the empty location code.
        ok = ok && prdloc.Int(1, p + 1)
                       .Empty(2)
                       .Text(3, "")
                       .Int(4, 1)
                       .Int(5, 1)
                       .Int(6, 1)
                       .Real(7, 0)
                       .Real(8, 0)
                       .Int(10, 0)
                       .Int(11, 0)
                       .Int(12, 0)
                       .Int(13, 0)
                       .Int(14, 0)
                       .Run();
    }
    for (const PrdLoc& pl : prdLocs_) {
        if (!ok)
            break;
        locCode(pl.loc, text);
        FormatInto(__LINE__, __FILE__, text2, "%c-%02d", 'A' + pl.product % 20, pl.product % 97);
        prdloc.Int(1, pl.product + 1)
            .Text(2, text)
            .Text(3, text2)
            .Int(4, pl.stocked)
            .Int(5, pl.trackUsage)
            .Int(6, pl.canOrderFrom)
            .Real(7, static_cast<double>(pl.balance))
            .Real(8, pl.lastCount == kNone ? 0.0 : pl.lastCount);
        if (pl.lastCount != kNone)
            prdloc.Date(9, today_ + pl.lastCountDay);
        ok = prdloc.Int(10, pl.minCount)
                 .Int(11, pl.reorderCount)
                 .Int(12, pl.maxCount)
                 .Int(13, pl.minToOrder)
                 .Int(14, pl.stdToOrder)
                 .Run();
    }
    for (std::size_t a = 0; a < audits_.size() && ok; ++a)
        ok = audit.Int(1, static_cast<long long>(a) + 1)
                 .Date(2, today_ + audits_[a].day)
                 .Text(3, kAuditTables[audits_[a].table])
                 .Run();
    for (std::size_t o = 0; o < orders_.size() && ok; ++o) {
        const Order& d = orders_[o];
        order.Int(1, static_cast<long long>(o) + 1).Int(2, d.external ? 1 : 0);
        locCode(d.loc, text);
        order.Text(3, text);
        if (d.from != kNone) {
            locCode(d.from, text2);
            order.Text(4, text2);
        }
        order.Int(5, d.external ? d.vendor + 1 : 0);
        if (d.external) {
            FormatInto(__LINE__, __FILE__, text, "PO-%07zu", o + 1);
            order.Text(6, text);
        }
        ok = order.Text(7, d.external ? "PO" : "INT")
                 .Date(8, today_ + d.day)
                 .Int(9, d.approved ? 1 : 0)
                 .Int(10, d.audit)
                 .Run();
    }
    for (std::size_t r = 0; r < receipts_.size() && ok; ++r) {
        const Receipt& d = receipts_[r];
        locCode(d.loc, text);
        rec.Int(1, static_cast<long long>(r) + 1)
            .Text(2, text)
            .Int(3, d.vendor + 1)
            .Date(5, today_ + d.day)
            .Int(7, d.audit);
        if (d.order) {
            FormatInto(__LINE__, __FILE__, text2, "PO-%07d", d.order);
            rec.Text(4, text2).Date(6, today_ + orders_[d.order - 1].day);
        }
        ok = rec.Run();
    }
    for (std::size_t i = 0; i < lines_.size() && ok; ++i) {
        const Line& l = lines_[i];
        line.Int(1, static_cast<long long>(i) + 1)
            .Int(2, l.order)
            .Int(3, l.item)
            .Int(4, l.product + 1)
            .Int(5, l.quantity)
            .Text(6, kUnits[products_[l.product].unit].unit)
            .Real(7, l.cost)
            .Int(8, l.filled)
            .Int(9, l.status)
            .Int(10, l.wasBackOrdered)
            .Int(11, l.pickList)
            .Int(12, l.pickList ? 1 : 0);
        if (l.pickList)
            line.Date(13, today_ + l.pickDay);
        ok = line.Run();
    }
    for (std::size_t i = 0; i < items_.size() && ok; ++i) {
        const Item& it = items_[i];
        const UnitDef& u = kUnits[products_[it.product].unit];
        locCode(it.loc, text);
        item.Int(1, static_cast<long long>(i) + 1).Text(2, text);
        if (it.locFrom != kNone) {
            locCode(it.locFrom, text2);
            item.Text(3, text2);
        }
        item.Int(4, it.product + 1)
            .Int(5, it.type)
            .Int(6, it.receipt)
            .Int(7, it.line)
            .Int(8, it.quantity)
            .Real(9, it.balance)
            .Real(10, it.cost);
        if (it.expiryDay != INT_MIN)
            item.Date(11, today_ + it.expiryDay);
        ok = item.Text(12, u.unit)
                 .Int(13, u.itemsPerUnit)
                 .Text(14, u.itemUnit)
                 .Int(15, it.audit)
                 .Run();
    }
    for (std::size_t i = 0; i < details_.size() && ok; ++i) {
        const Detail& d = details_[i];
        const UnitDef& u = kUnits[products_[d.product].unit];
        locCode(d.loc, text);
        det.Int(1, static_cast<long long>(i) + 1)
            .Int(2, d.item)
            .Int(3, d.type)
            .Text(4, text)
            .Int(5, d.product + 1);
        if (d.adj != kNone)
            det.Text(6, kAdjCodes[d.adj]);
        det.Int(7, d.batch)
            .Real(8, d.quantity)
            .Text(9, u.unit)
            .Int(10, u.itemsPerUnit)
            .Real(11, d.cost)
            .Real(12, d.countValue == kNone ? 0.0 : d.countValue);
        if (d.otherLoc != kNone) {
            locCode(d.otherLoc, text2);
            det.Text(13, text2);
        }
        ok = det.Int(14, d.audit).Run();
    }
    if (!ok) {
        problem = "cannot write a row";
        for (Statement* s : all)
            if (!s->Error().empty())
                problem += ": " + s->Error();
    }
    for (Statement* s : all)
        delete s;
    // Rows written through the tables carry "Inactive" = 0, never NULL: the lists and the
    // order suggestions select on it.
    for (const char* table :
         {"PRODUCT", "PRDLOC", "VENDOR", "PRDCAT", "INVLOC", "INVADJ", "INVOTYPE"}) {
        const std::string sql =
            std::string("UPDATE ") + table + " SET \"Inactive\" = 0 WHERE \"Inactive\" IS NULL";
        ok = ok && Exec(db, sql.c_str(), problem);
    }
    for (const auto& [name, sql] : indexes)
        ok = ok && Exec(db, sql.c_str(), problem);
    if (!ok) {
        std::string ignored;
        Exec(db, "ROLLBACK", ignored);
        return false;
    }
    return Exec(db, "COMMIT", problem) && Exec(db, "PRAGMA synchronous = FULL", problem) &&
           Exec(db, "ANALYZE", problem);
}

// The sequences live beside the database; they must continue after the numbers used here.
bool Generator::AdvanceSequences(const std::string& path, std::string& problem) {
    sqlite3* seq = nullptr;
    if (sqlite3_open((path + ".sequences").c_str(), &seq) != SQLITE_OK) {
        sqlite3_close(seq);
        problem = "cannot open the sequences of " + path;
        return false;
    }
    char sql[256];
    FormatInto(__LINE__, __FILE__, sql,
               "UPDATE \"TVL_SEQUENCES\" SET value = CASE name WHEN '%s' THEN %d WHEN '%s' THEN "
               "%d ELSE value END",
               "INVITDET_BATCHID_SEQ", batches_, "INVORDIT_PICKLIST_SEQ", pickLists_);
    const bool ok = Exec(seq, sql, problem) && sqlite3_changes(seq) == 2;
    if (!ok && problem.empty())
        problem = "the sequences of " + path + " are missing";
    sqlite3_close(seq);
    return ok;
}

void Generator::Report() const {
    long long productLocations = static_cast<long long>(prdLocs_.size());
    int byStatus[10] = {};
    for (const Line& l : lines_)
        ++byStatus[l.status];
    std::printf("size %s: %d products, %d locations, %lld product locations, %d vendors\n", s_.name,
                s_.products, s_.locations, productLocations, s_.vendors);
    std::printf("  %zu stock items, %zu details, %zu receipts, %zu orders, %zu order lines, %zu "
                "audit rows\n",
                items_.size(), details_.size(), receipts_.size(), orders_.size(), lines_.size(),
                audits_.size());
    std::printf("  order lines by status:");
    for (int s = 0; s < 10; ++s)
        std::printf(" %d:%d", s, byStatus[s]);
    std::printf("\n  %d batches, %d pick lists, %d years of dates\n", batches_, pickLists_,
                s_.years);
}

int Usage() {
    std::fprintf(stderr, "usage: inventory_gen --size tiny|clinic|group --out FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const Size* size = nullptr;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            ++i;
            for (const Size& s : kSizes)
                if (std::strcmp(s.name, argv[i]) == 0)
                    size = &s;
            if (!size) {
                std::fprintf(stderr, "inventory_gen: unknown size %s\n", argv[i]);
                return Usage();
            }
        } else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else {
            return Usage();
        }
    }
    if (!size || out.empty())
        return Usage();
    std::error_code ec;
    if (std::filesystem::exists(out, ec)) {
        std::fprintf(stderr, "inventory_gen: %s exists; give a new file\n", out.c_str());
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    auto seconds = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    RegisterRecords();
    std::string problem;
    {
        WSIDatabase db;
        if (!db.Open(out)) {
            std::fprintf(stderr, "inventory_gen: cannot open %s\n", out.c_str());
            return 1;
        }
        if (!CreateSchema(db, &problem)) {
            std::fprintf(stderr, "inventory_gen: %s\n", problem.c_str());
            return 1;
        }
        const WSIDate today = db.Today();
        Generator gen(*size, tavel::DayNumber(today));
        gen.Build();
        std::printf("built in memory in %.1f s\n", seconds());
        if (!gen.Write(db.Handle(), problem) || !gen.AdvanceSequences(out, problem)) {
            std::fprintf(stderr, "inventory_gen: %s\n", problem.c_str());
            return 1;
        }
        gen.Report();
    }
    std::printf("wrote %s in %.1f s\n", out.c_str(), seconds());
    return 0;
}
