#pragma once

// The order entry screen: the header of an internal or external order (ordering and
// supplying location or vendor, order type, PO number, date, special order), its lines
// (added by typing or scanning a product code and a quantity, changed and deleted in
// place), approval, purchase and printing. Every write goes through the screen's one
// BIInvOrder; a refusal shows its message and puts the focus on the field it names.
// It also fills an order with suggested quantities, from rows of the levels list or
// from the vendor requests screen.

#include "Records.h"
#include "WSIDialog.h"

#include <memory>
#include <string>
#include <vector>

class BIException;
class BIInvOrder;
class QCheckBox;
class QLabel;
class QLineEdit;
class WSIComboBox;
class WSIDateEdit;
class WSIListWindow;
class WSIScanEdit;

class WSIInvOrderDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kNewOrderTemplate = 25021;
    static constexpr int kExistingOrderTemplate = 25030;
    static constexpr int kApproveRight = 14;
    static constexpr int kListId = 5111;

    // Control and command ids.
    enum : int {
        IdOrderNumber = 101,
        IdOrderedBy = 103, // the ordering location
        IdOrderedFrom = 104,
        IdOrderType = 105,
        IdVendor = 106,
        IdPONumber = 107,
        IdDate = 108,
        IdSpecialOrder = 109,
        IdApprovedBy = 110,
        IdProduct = 111,
        IdQuantity = 112,
        IdUnit = 113,
        IdUnitCost = 114,
        IdNeedBy = 115,
        IdComment = 116,
        IdSpecialVendor = 117, // the vendor of a special order: the same field
        IdDescription = 118,
        IdStoreLine = 120,
        IdDeleteLine = 122,
        IdApprove = 123,
        IdPurchase = 124,
        IdPrint = 125,
        IdPreview = 126,
        IdNewLine = 127,
        IdTotals = 128,
        IdClose = 130,
        IdFindProduct = 131,
        IdOrderingInfo = 132,
        IdVendorHelp = 133,
        IdOrderRequests = 903,
    };
    enum Column : int {
        ColItem = 0,
        ColProduct,
        ColDescription,
        ColQuantity,
        ColUnit,
        ColUnitCost,
        ColTotal,
        ColNeedBy,
        ColComment,
        ColStatus,
        ColFilled,
        kColumnCount
    };

    // invOrder 0 opens a new order; editAnyway lets a user without the approval right
    // change an approved special order.
    WSIInvOrderDialog(QWidget* parent, WSIApplication* module, int templateId, long invOrder,
                      bool editAnyway);
    ~WSIInvOrderDialog() override;

    // The order's id once it is stored (0 before its first line), and its kind.
    long GetInvOrder() const;
    bool GetIsExternal() const;
    BIInvOrder& Order() const { return *order_; }

    // --- Order level.
    bool CanEdit() const;
    bool SaveOrder();
    void CmApprove();
    void CmPurchase();
    void CmPrint(bool preview);
    void CmClose();
    void CmOk() override {} // Enter at the scanner never closes the screen
    void CmCancel() override;
    void EnableFields();
    // Shows the exception's message, then focuses the field it names.
    void HandleBIException(BIException& e);

    // --- Lines.
    // Adds the entry fields as a new line, or changes the current line with them.
    void CmStoreLine();
    void CmDeleteLine();
    void CmFindProduct();
    void CmOrderingInfo();
    void CmVendorHelp();
    // Empties the entry fields; the next stored line is a new one.
    void CmNewLine();
    void LoadLines();
    // Makes the list row's line the current one and shows it in the entry fields.
    void SelectLine(int row);
    // The product of the code in the product field; false (after a message) when none.
    bool EnterProduct();

    // --- Suggestions.
    // Rows of the levels list to turn into lines when the screen is set up (the caller
    // keeps them while the screen lives); null for none.
    void SetLevelData(const std::vector<WSILevelsData>* levelData) { levelData_ = levelData; }
    void AddLevelData();
    void CmAddOrderRequests();
    void AddOrder(const WSIVendorRequestsData& request, bool& added, bool& failed,
                  std::string& message);
    void AddVendorReqest(const WSIVendorRequestsData& request, bool skipQuantityCheck);
    static void CopyVendorRequest(WSIInvOrdIt::WSIData& line, const WSIVendorRequestsData& request);
    void RefreshAfterOrder(bool added, bool failed, const std::string& message);

    WSIListWindow* List() const { return list_; }
    long VendorId() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildHeader(class QVBoxLayout* layout);
    void BuildEntry(class QVBoxLayout* layout);
    void BuildButtons(class QVBoxLayout* layout);
    void FillSelectors();
    void ShowOrder();
    // The header fields as an order record (MoveOrderData).
    WSIInvOrder::WSIData HeaderData() const;
    // The entry fields over the current line (or a cleared one).
    WSIInvOrdIt::WSIData EntryData() const;
    // A new order takes its header from the screen; a stored one stores pending changes.
    bool PrepareHeaderForLine();
    void AfterLineChange();
    void NotifyHost();
    QString UserName(long user) const;
    bool IsExternalType() const;
    void HeaderChanged();
    void ShowTotals();

    std::unique_ptr<BIInvOrder> order_;
    bool existing_ = false;
    bool inProgress_ = false;
    bool purchased_ = false;
    bool mayApprove_ = false;
    bool editAnyway_ = false;
    bool headerChanged_ = false;
    bool modified_ = false;
    bool loading_ = false;
    bool setUp_ = false;
    long product_ = 0; // the product in the entry fields
    const std::vector<WSILevelsData>* levelData_ = nullptr;

    QLineEdit* orderNumber_ = nullptr;
    WSIComboBox* orderedBy_ = nullptr;
    WSIComboBox* orderedFrom_ = nullptr;
    WSIComboBox* orderType_ = nullptr;
    WSIComboBox* vendor_ = nullptr;
    QLineEdit* poNumber_ = nullptr;
    WSIDateEdit* date_ = nullptr;
    QCheckBox* special_ = nullptr;
    QLineEdit* approvedBy_ = nullptr;
    WSIScanEdit* productField_ = nullptr;
    QLineEdit* quantity_ = nullptr;
    QLineEdit* unit_ = nullptr;
    QLineEdit* unitCost_ = nullptr;
    WSIDateEdit* needBy_ = nullptr;
    QLineEdit* description_ = nullptr;
    QLineEdit* comment_ = nullptr;
    QLabel* totals_ = nullptr;
    WSIListWindow* list_ = nullptr;
    std::vector<QWidget*> externalOnly_;
    std::vector<QWidget*> internalOnly_;
    std::vector<QWidget*> vendorRow_;
};

// Where the screen asks for a product by look-up (the catalogue's product search);
// until that screen is wired the code is typed or scanned. Returns the product id, 0
// when none was chosen.
long LookupOrderProduct(WSIDialog* parent, const QString& code);
