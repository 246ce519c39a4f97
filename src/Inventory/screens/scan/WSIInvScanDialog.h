#pragma once

// The scan screens: one entry field takes product codes and quantities (an entry shorter
// than the module's minimum product-code length is a quantity), a quantity field, the
// product feedback, the auto-entry after the scan delay and the host's sound feedback.
// WSIInvScanListDialog adds the list of the lines entered so far with add, modify,
// back-order and delete on the selected line. Every stock-moving screen derives from one
// of the two and gives DoScan, DoModify, DoDelete, ... their meaning.

#include "WSIApplication.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDialog.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

class BIInventory;
class QBoxLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class WSIListWindow;
class WSIScanEdit;

// The record of one list line: a derived screen's line record derives from it.
struct WSIScanLine {
    long product = 0;
    short quantity = 0;
    std::string rawBarCode; // the complete scan that made the line, "" when typed
    virtual ~WSIScanLine() = default;
};

class WSIInvScanDialog : public WSIDialog {
    Q_OBJECT

public:
    enum : int {
        CmProductId = 203,
        CmBarCodeId = 219,
    };
    // Messages of the entry.
    static constexpr unsigned kMsgZeroQuantity = 38148;
    static constexpr unsigned kMsgInvalidQuantity = 38512;
    static constexpr unsigned kMsgProductNotFound = 38504;
    static constexpr unsigned kMsgLineProductDeleted = 5010;
    static constexpr unsigned kMsgAddMode = 38573;
    static constexpr unsigned kMsgModifyMode = 28679;
    // Texts of the feedback area (outcome in words beside the sound).
    static constexpr unsigned kMsgStored = 39700;
    static constexpr unsigned kMsgNotStored = 39701;
    static constexpr int kBarCodeTemplate = 4171;
    static constexpr int kMaxRawBarCode = 4000;

    WSIInvScanDialog(QWidget* parent, WSIApplication* module, int templateId);
    ~WSIInvScanDialog() override;

    // Enter, OK and the auto-entry: a product code or a quantity (see the class comment).
    void CmOk() override;
    void CmProduct();
    void CmBarCode();

    // The scan-delay interval in milliseconds (profile "Dialog"/"ScanDelay" by default).
    void SetScanDelay(int ms);
    int ScanDelay() const;

    long CurrentProduct() const { return product_; }
    short Quantity() const { return quantity_; }
    const std::string& RawBarCode() const { return rawBarCode_; }
    const WSIBarCodeFuncs& BarCode() const { return barCode_; }
    WSIScanEdit* Entry() const { return entry_; }

    void SetSoundFeedback(bool on) { soundFeedback_ = on; }
    void SetAllowZeroQuantity(bool on) { allowZero_ = on; }
    bool AllowsZero() const { return allowZero_; }

    // Success, error and notice: the host's sound (message 2193, from a one-shot timer so
    // that the screen answers first) and the same outcome in the feedback area's text.
    void SuccessFeedback(const QString& text = QString());
    void ErrorSignal(const QString& text = QString());
    void NoticeFeedback(const QString& text = QString());

protected:
    // The derived screen stores the current product with Quantity(). handled: a derived
    // HandleInvalidProduct already dealt with the code.
    virtual void DoScan(bool handled, bool, bool, bool) = 0;
    virtual void ClearFeedback();
    // A code that names no product: the base refuses it with 38504.
    virtual bool HandleInvalidProduct(const char* code);
    virtual void RefreshList() {}
    virtual void CmPreview() {}
    virtual void CmPrint() {}
    virtual void ClearBatch() {}
    // The product the scanned code (and the parser's data) names, 0 when none.
    virtual long LookUpProduct(const std::string& code);
    // Whether a list line is selected (the list screens' modify mode).
    virtual bool HasSelectedLine() const { return false; }

    // Quantity, unit and description of the current product in the feedback fields.
    void ShowFeedback();
    void ShowFeedback(const QString& quantity, long product);
    virtual void Reset();
    void ResetInput(bool clearBarCode);
    void PrepareForNextItem();
    void ErrorFeedback();
    void SetNextFocusItem();
    // Shows a business refusal as the user sees every refusal.
    void ShowRefusal(const QString& text);
    void ShowRefusal(unsigned code);
    // Runs a business operation; a refusal (its transaction already aborted) gives the error
    // feedback and its message. False when refused.
    bool RunBusiness(const std::function<void()>& operation);

    // Where derived screens put their header fields (above the entry) and their buttons.
    QBoxLayout* HeaderLayout() const { return header_; }
    QBoxLayout* BodyLayout() const { return body_; }
    QBoxLayout* ButtonRow() const { return buttons_; }

    void SetCurrentProduct(long product, short quantity);
    void SetQuantityField(const QString& text);
    QLineEdit* QuantityField() const { return quantityEdit_; }
    QLabel* QuantityLabel() const { return quantityLabel_; }
    QLabel* ModeLabel() const { return modeLabel_; }
    QPushButton* ProductButton() const { return productButton_; }
    QPushButton* BarCodeButton() const { return barCodeButton_; }
    void SetRawBarCode(const std::string& raw) { rawBarCode_ = raw.substr(0, kMaxRawBarCode); }
    BIInventory& Selection() const { return *selection_; }
    WSIDatabase* Db() const;

    // Parses a quantity typed into the entry: shorter than the minimum product length,
    // at most the maximum digits, digits only.
    enum class QtyParse { Ok, Zero, Invalid };
    QtyParse ParseQuantity(const QString& text, short& quantity) const;
    unsigned MinProductLength() const;

private:
    void EvCodeChange(const QString& text);
    void Signal(SoundKind kind, const QString& text, bool error);
    void PlaySound(SoundKind kind);
    void BuildEntryArea();

    std::unique_ptr<BIInventory> selection_;
    WSIBarCodeFuncs barCode_;
    std::string rawBarCode_;
    long product_ = 0;
    short quantity_ = 1;
    bool soundFeedback_ = true;
    bool allowZero_ = false;

    QBoxLayout* header_ = nullptr;
    QBoxLayout* body_ = nullptr;
    QBoxLayout* buttons_ = nullptr;
    WSIScanEdit* entry_ = nullptr;
    QLineEdit* quantityEdit_ = nullptr;
    QLabel* quantityLabel_ = nullptr;
    QLabel* modeLabel_ = nullptr;
    QLabel* feedbackQuantity_ = nullptr;
    QLabel* feedbackUnit_ = nullptr;
    QLabel* feedbackDescription_ = nullptr;
    QLabel* feedbackStatus_ = nullptr;
    QPushButton* productButton_ = nullptr;
    QPushButton* barCodeButton_ = nullptr;
    QTimer* successTimer_ = nullptr;
    QTimer* errorTimer_ = nullptr;
    QTimer* noticeTimer_ = nullptr;
};

class WSIInvScanListDialog : public WSIInvScanDialog {
    Q_OBJECT

public:
    enum : int {
        CmClearId = 5101,
        CmAddId = 5102,
        CmModifyId = 5103,
        CmBackOrderId = 904,
        CmDeleteId = 5104,
        CmAltBackOrderId = 905,
        CmSaveId = 5105,
        CmPreviewId = 5106,
        CmPrintId = 5107,
    };
    static constexpr unsigned kMsgConfirmDelete = 5007;

    WSIInvScanListDialog(QWidget* parent, WSIApplication* module, int templateId);
    ~WSIInvScanListDialog() override;

    void CmOk() override;
    void CmClear();
    void CmAdd();
    void CmModify();
    void CmBackOrder();
    void CmDelete();
    void CmUp();
    void CmDown();

    WSIListWindow* List() const { return list_; }
    // The line record of row (null for a row without one).
    virtual WSIScanLine* LineAt(int row) const;
    int SelectedLine() const;
    // Recomputes which commands are enabled (selection, columns, line count).
    virtual void EvCommandEnable();

protected:
    virtual void DoModify(int line) { (void)line; }
    virtual void DoBackOrder(int line) { (void)line; }
    virtual void DoDelete(int line, long product, short quantity) {
        (void)line;
        (void)product;
        (void)quantity;
    }
    // Locks (or unlocks) the fields other than the entry while a line is selected.
    virtual void LockFields(bool lock) { (void)lock; }
    bool HasSelectedLine() const override;
    void Reset() override;

    // Columns the derived screen sets: quantity shown as feedback, filled and ordered
    // compared for back-ordering; -1 when unused.
    void SetQuantityColumn(int col) { quantityCol_ = col; }
    void SetCompareColumns(int filledCol, int orderedCol) {
        filledCol_ = filledCol;
        orderedCol_ = orderedCol;
    }
    void SetSuppressClear(bool on) { suppressClear_ = on; }
    // Adds the list commands' buttons (those the screen has) to the button row.
    QPushButton* AddListButton(int id, const QString& text, const char* objectName);
    // Numeric value of a cell ("" counts 0).
    int CellNumber(int row, int col) const;

    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EvItemChanged();

    WSIListWindow* list_ = nullptr;
    int quantityCol_ = -1;
    int filledCol_ = -1;
    int orderedCol_ = -1;
    bool suppressClear_ = false;
    int selected_ = -1;
};
