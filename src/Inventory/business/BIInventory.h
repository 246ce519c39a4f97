#pragma once

// BIInventory: the base of every inventory business operation. It keeps the selection a
// screen works with (product type, category, product, vendor, location), answers the
// stock questions screens ask, holds the three writers every stock movement goes through
// (product-location balance, order-item fill, movement detail) and collects the products
// a batch operation touched so that the host is told about each once.

#include "Records.h"

#include <memory>
#include <vector>

class DBInvItem;
class DBInvOrdIt;
class WSIBarCodeFuncs;
class WSIDatabase;

class BIInventory {
public:
    // Buffer size GetSearchString needs; the longest statement is about 1,800 characters.
    static constexpr int kSearchStringSize = 4096;
    // Resource id of the warning screen that offers to deactivate an emptied location of
    // an inactive product.
    static constexpr int kDeactivateEmptyLocationWarning = 25139;

    explicit BIInventory(WSIDatabase* db);
    virtual ~BIInventory();
    BIInventory(const BIInventory&) = delete;
    BIInventory& operator=(const BIInventory&) = delete;

    WSIDatabase* GetDb() const;

    // Costs and quantities computed in double precision are kept to the cent:
    // floor(x * 100 + 0.5) / 100.
    static double RoundToCents(double value);

    // The highest cost per unit taken from outside: far above any supply's price, low
    // enough that quantity times cost stays exact to the cent in an average.
    static constexpr double kMaxCost = 1e9;
    // A cost from outside (a screen, a tool, another module) is a finite number from 0 to
    // kMaxCost; NaN or an infinity would spread into the product's average cost.
    static bool IsValidCost(double cost);

    // --- Current selection. Type, category and product form a chain that every Find
    // repairs; the text getters zero the whole buffer and copy at most size - 1 characters.

    // Loads the product type; its id, or 0 when there is none.
    long FindPrdType(long prdType);
    // Clears type, category and product.
    void ClearPrdType();
    bool GetPrdTypeId(long& prdType);
    bool GetPrdTypeDescription(char* buf, int size);

    // Loads the category (within the current type when asked); true when one is loaded.
    bool FindPrdCat(long prdType, const char* prdCat, bool withinType);
    // Clears category and product.
    void ClearPrdCat();
    bool GetPrdCatId(char* buf, int size);
    // True only when a product is current and the category code is not empty.
    bool GetPrdCatDescription(char* buf, int size);

    // Loads a product by product code or UPC code, or by id, within the current category
    // or type when asked; its id, or 0 when none. Inactive products are found too.
    long FindProduct(const char* code, bool withinSelection);
    long FindProduct(long product, bool withinSelection);
    // Loads the product a scan names: its product code as product or UPC code, then the
    // other forms of its GTIN (GTIN-13, UPC-A, ...) as UPC code. Its id, or 0 when none.
    long FindProductByBarCode(const WSIBarCodeFuncs& scan);
    // Clears the product only.
    void ClearProduct();
    bool GetProductId(long& product);
    bool GetProductInactive(short& inactive);
    bool GetProductCode(char* buf, int size);
    bool GetProductDescription(char* buf, int size);
    bool GetProductUnit(char* buf, int size);
    bool GetProductCost(double& cost);
    bool GetProductVendor(long& vendor);
    // "Items per unit: N unit" in 40 bytes or more, the count alone in 4 to 39, nothing in
    // less; true whenever a product is current.
    bool GetProductItemsPerUnitString(char* buf, int size);

    long FindVendor(long vendor);
    void ClearVendor();
    bool GetVendorId(long& vendor);
    bool GetVendorName(char* buf, int size);

    bool FindInvLoc(const char* invLoc);
    void ClearInvLoc();
    bool GetInvLocName(char* buf, int size);
    // The location's type; 3 (and false) when no location is current.
    bool GetInvLocType(short& type);

    // --- Stock queries; a query that reads nothing answers false or 0.

    // Whether some active product location here may be ordered from.
    bool LocationAllowsOrders(const char* invLoc);
    // Whether the order of the order item has an approving user.
    bool IsOrderApproved(long invOrdIt);
    // Whether an active order placed on the location holds the product back-ordered.
    bool IsOnBackOrderFromLoc(long product, const char* invLoc);
    // Stock over the locations that track usage ("Balance") or do not ("LastCount");
    // orderableOnly keeps active, orderable products at locations that may be ordered from.
    double GetBalance(long product, bool orderableOnly);
    double GetLastCount(long product, bool orderableOnly);
    // Active locations of type 0 or 1 that offer the product for ordering.
    int GetNumOrderLocations(long product);
    // The base statement of a list view (which: 0 order lines, 1 stock levels, 2 stock
    // items, 3 usage details; anything else gives ""), with the "%s" slots the view fills.
    // out must hold kSearchStringSize bytes.
    void GetSearchString(char* out, int which, bool byLocation, bool withOrders);

    // --- Back-ordering: the rest of a short order item will come later.

    // Throws OrdItStatusErr, OrdItFilledErr, RecordInUse or BackOrderErr.
    void BackOrder(long invOrdIt);
    // Every short, still open item of the order; nothing for order 0.
    void AutoBackOrder(long invOrder);

    // --- Products touched by a batch operation, sent to the host once each, in order.

    void InitRefreshArray();
    void CleanupRefreshArray();
    void AddProductToRefreshArray(long product);
    // One product-refresh notification per product, then the list is discarded.
    void SendProductArrayRefresh(int sourceId);

    // Rows a unit of work has read already, handed down so that a writer does not read
    // them again; a writer reads what is left null itself. Each is the row as read after
    // the unit's write transaction began.
    struct RowsRead {
        const WSIInvLoc::WSIData* loc = nullptr; // the location moved at, found active
        const WSIProduct::WSIData* product = nullptr;
        const WSIPrdLoc::WSIData* prdLoc = nullptr;   // of the product at that location
        const WSIInvItem::WSIData* source = nullptr;  // the stock item the stock comes from
        const WSIInvItDet::WSIData* detail = nullptr; // the detail a movement adds to
        short adjType = -1; // the type of the adjustment code named; -1: not read
    };

protected:
    // Adds change to the product location's "Balance", creating the row from the
    // product's defaults when missing. Throws PrdLocErr.
    void UpdatePrdLoc(const char* invLoc, long product, double change);
    // The balance of an existing product location moved in one statement when its rules
    // hold and no question is due; false (nothing changed) otherwise.
    bool AddToPrdLocBalance(const char* invLoc, long product, double change);

private:
    // The fill, the status that follows from it and the write of a locked order item.
    void ApplyOrdItFill(DBInvOrdIt& ordIt, short qtyChange, short status);

protected:
    // Records a fill (or its reversal) on an order item; status -1 lets the quantities
    // decide. Nothing for item 0. Throws RecordInUse or InvOrdItErr.
    void UpdateInvOrdIt(long invOrdIt, const char* invLoc, long product, short qtyChange,
                        short status);
    // The same for an order item this unit of work has read already (see
    // WSITable::LockReadRow).
    void UpdateInvOrdIt(const WSIInvOrdIt::WSIData& read, short qtyChange, short status);
    // The one writer of movement details: changes detail invItDet, or adds one when it
    // is 0. cost < 0 asks for the default cost; audit 0 creates an audit entry. Returns
    // the audit id the detail carries; read gives the product, the code's type and the
    // detail invItDet when the caller read them. Throws RecordInUse, InvalidProduct,
    // InvalidInvAdj or InvItDetErr.
    long UpdateInvItDet(long invItDet, DBInvItem* item, short type, const char* invLoc,
                        long product, short quantity, long audit, const char* invAdj, double cost,
                        long batchId, short count, const char* otherLoc,
                        const RowsRead* read = nullptr);
    // Throws the exception for a table error number; false for a number without one.
    bool ThrowDbError(unsigned short error);
    // Fills prd with product: the caller's row when read holds that product, else read now
    // without a lock. Throws InvalidProduct when there is no such product.
    void ProductRow(long product, const RowsRead* read, WSIProduct::WSIData& prd);
    // Locked-record reads and writes, defined in RecordWrites.h.
    // Reads the record again under a write lock; a row held elsewhere is RecordInUse.
    template <class Record> void LockForUpdate(Record& record);
    // Writes the locked record back; a failed write throws its database error or, when it
    // has none, Fallback.
    template <class Fallback, class Record> void UpdateOrThrow(Record& record);
    // Writes the stock item's quantity and balance alone (DBInvItem::UpdateAmounts); a
    // failed write throws as UpdateOrThrow does.
    template <class Fallback, class Item> void UpdateAmountsOrThrow(Item& item);
    // Adds the record; a failed insert throws its database error or, when it has none,
    // Fallback.
    template <class Fallback, class Record> void InsertOrThrow(Record& record);

    // Runs a single-row read: fills into from the first row; whether a row came back.
    bool ReadFirst(const char* sql, WSIResult into);

    WSIDatabase* m_pDb;
    WSIPrdType::WSIData m_PrdType{};
    WSIPrdCat::WSIData m_PrdCat{};
    WSIProduct::WSIData m_Product{};
    WSIVendor::WSIData m_Vendor{};
    WSIInvLoc::WSIData m_InvLoc{};
    std::unique_ptr<std::vector<long>> m_pRefreshArray;

private:
    // The chain repairs after a product was loaded: type and category follow it.
    void ReloadTypeAndCategoryOfProduct();
    long LoadProduct(const char* sql);
    double SumOf(const char* sql);
};
