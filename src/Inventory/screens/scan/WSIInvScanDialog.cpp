#include "WSIInvScanDialog.h"

#include "BIException.h"
#include "BIInventory.h"
#include "InventoryModule.h"
#include "ScanLookups.h"
#include "Trace.h"
#include "WSIBarCodeView.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "WSIListWindow.h"
#include "WSIProfile.h"
#include "WSIScanEdit.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdint>

// --- WSIInvScanDialog ----------------------------------------------------------------------

WSIInvScanDialog::WSIInvScanDialog(QWidget* parent, WSIApplication* module, int templateId)
    : WSIDialog(parent, module, templateId) {
    selection_ = std::make_unique<BIInventory>(module ? module->GetDb() : nullptr);
    auto* top = new QVBoxLayout(this);
    header_ = new QVBoxLayout;
    top->addLayout(header_);
    BuildEntryArea();
    body_ = new QVBoxLayout;
    top->addLayout(body_, 1);
    buttons_ = new QHBoxLayout;
    top->addLayout(buttons_);

    for (QTimer** t : {&successTimer_, &errorTimer_, &noticeTimer_}) {
        *t = new QTimer(this);
        (*t)->setSingleShot(true);
        (*t)->setInterval(0);
    }
    connect(successTimer_, &QTimer::timeout, this, [this] { PlaySound(SoundKind::Success); });
    connect(errorTimer_, &QTimer::timeout, this, [this] { PlaySound(SoundKind::Error); });
    connect(noticeTimer_, &QTimer::timeout, this, [this] { PlaySound(SoundKind::Notice); });

    SetCommand(CmProductId, [this] { CmProduct(); });
    SetCommand(CmBarCodeId, [this] { CmBarCode(); });
    EnableCommand(CmBarCodeId, false);
    ResetInput(true);
}

WSIInvScanDialog::~WSIInvScanDialog() {
    // Nothing may fire into a half-destroyed screen.
    entry_->StopAutoEntry();
    for (QTimer* t : {successTimer_, errorTimer_, noticeTimer_})
        t->stop();
}

void WSIInvScanDialog::BuildEntryArea() {
    auto* grid = new QGridLayout;
    static_cast<QBoxLayout*>(layout())->addLayout(grid);

    modeLabel_ = new QLabel(this);
    modeLabel_->setObjectName("modeLabel");
    entry_ = new WSIScanEdit(this);
    entry_->setObjectName("entry");
    entry_->setMaxLength(kMaxRawBarCode);
    modeLabel_->setBuddy(entry_);
    entry_->SetScanDelay(
        WSIScanEdit::ScanDelayFromProfile(Module() ? Module()->GetProfile() : nullptr));
    productButton_ = AddCommandButton(CmProductId, tr("Find..."));
    productButton_->setObjectName("productSearch");
    quantityLabel_ = new QLabel(tr("&Quantity"), this);
    quantityLabel_->setObjectName("quantityLabel");
    quantityEdit_ = new QLineEdit(this);
    quantityEdit_->setObjectName("quantity");
    quantityEdit_->setMaximumWidth(80);
    quantityEdit_->setAlignment(Qt::AlignRight);
    quantityLabel_->setBuddy(quantityEdit_);
    barCodeButton_ = AddCommandButton(CmBarCodeId, tr("Bar Code..."));
    barCodeButton_->setObjectName("showBarCode");

    grid->addWidget(modeLabel_, 0, 0);
    grid->addWidget(entry_, 0, 1);
    grid->addWidget(productButton_, 0, 2);
    grid->addWidget(quantityLabel_, 0, 3);
    grid->addWidget(quantityEdit_, 0, 4);
    grid->addWidget(barCodeButton_, 0, 5);
    grid->setColumnStretch(1, 1);

    // The feedback is read from a step away: larger than the body text.
    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    auto makeLabel = [this, &big](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setFont(big);
        return l;
    };
    feedbackQuantity_ = makeLabel("feedbackQuantity");
    feedbackQuantity_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    feedbackQuantity_->setMinimumWidth(60);
    feedbackUnit_ = makeLabel("feedbackUnit");
    feedbackDescription_ = makeLabel("feedbackDescription");
    feedbackStatus_ = new QLabel(this);
    feedbackStatus_->setObjectName("feedbackStatus");
    auto* row = new QHBoxLayout;
    row->addWidget(feedbackQuantity_);
    row->addWidget(feedbackUnit_);
    row->addWidget(feedbackDescription_, 1);
    row->addWidget(feedbackStatus_);
    grid->addLayout(row, 1, 0, 1, 6);

    connect(entry_, &WSIScanEdit::codeChanged, this, [this](const QString& t) { EvCodeChange(t); });
    connect(entry_, &WSIScanEdit::entered, this, [this] { DoCommand(cm::Ok); });
}

WSIDatabase* WSIInvScanDialog::Db() const {
    return Module() ? Module()->GetDb() : nullptr;
}

void WSIInvScanDialog::SetScanDelay(int ms) {
    entry_->SetScanDelay(ms);
}

int WSIInvScanDialog::ScanDelay() const {
    return entry_->ScanDelay();
}

unsigned WSIInvScanDialog::MinProductLength() const {
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    return app ? app->GetMinProductLength() : 1;
}

WSIInvScanDialog::QtyParse WSIInvScanDialog::ParseQuantity(const QString& text,
                                                           short& quantity) const {
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    const unsigned maxDigits = app ? app->GetMaxDigitForQuantity() : 4;
    const auto length = static_cast<unsigned>(text.size());
    if (text.isEmpty() || length >= MinProductLength() || length > std::min(maxDigits, 4u))
        return QtyParse::Invalid;
    for (QChar c : text)
        if (!c.isDigit() || c.unicode() > '9')
            return QtyParse::Invalid;
    quantity = static_cast<short>(text.toInt());
    return quantity == 0 ? QtyParse::Zero : QtyParse::Ok;
}

void WSIInvScanDialog::SetCurrentProduct(long product, short quantity) {
    product_ = product;
    quantity_ = quantity;
}

void WSIInvScanDialog::SetQuantityField(const QString& text) {
    quantityEdit_->setText(text);
}

void WSIInvScanDialog::CmOk() {
    TVL_TRACE("WSIInvScanDialog::CmOk");
    rawBarCode_.clear();
    entry_->StopAutoEntry();
    if (entry_->text().isEmpty())
        return;
    QString text = entry_->text().left(kMaxRawBarCode);
    while (!text.isEmpty() && text.front().isSpace())
        text.remove(0, 1);

    bool handled = false;
    if (product_ != 0) {
        // A product is current: the entry is its quantity.
        short q = 0;
        const QtyParse r = ParseQuantity(text, q);
        if (r != QtyParse::Ok && !(r == QtyParse::Zero && allowZero_)) {
            ErrorSignal();
            ShowRefusal(r == QtyParse::Zero ? kMsgZeroQuantity : kMsgInvalidQuantity);
            quantityEdit_->clear();
            ClearFeedback();
            return;
        }
        quantity_ = q;
    } else if (static_cast<unsigned>(text.size()) >= MinProductLength()) {
        std::string code;
        if (entry_->HasScannerData()) {
            SetRawBarCode(entry_->ScannerData().toStdString());
            code = entry_->ScannedProductCode().toStdString();
        } else {
            const QByteArray utf8 = text.toUtf8();
            const bool recognised = barCode_.ScanBarCode(utf8.constData(), 3);
            if (barCode_.Fields().errorCode != 0) {
                // Malformed scanner data is said as what it is, never taken as a code.
                SetRawBarCode(utf8.toStdString());
                ErrorSignal();
                ShowRefusal(barCode_.Fields().errorCode);
                entry_->SetTextQuietly(QString());
                ClearFeedback();
                return;
            }
            if (recognised) {
                SetRawBarCode(utf8.toStdString());
                code = barCode_.GetProduct();
            }
        }
        if (code.empty()) {
            ErrorSignal();
            entry_->SetTextQuietly(QString());
            ClearFeedback();
            return;
        }
        entry_->SetTextQuietly(QString::fromStdString(code));
        code = entry_->text().toStdString();
        // A quantity typed into its own field goes with the product.
        short typed = 0;
        if (ParseQuantity(quantityEdit_->text(), typed) == QtyParse::Ok)
            quantity_ = typed;
        product_ = LookUpProduct(code);
        if (product_ == 0) {
            handled = HandleInvalidProduct(code.c_str());
            if (product_ == 0)
                return;
        }
    } else {
        // A quantity entered ahead of its product.
        entry_->SetTextQuietly(QString());
        short q = 0;
        const QtyParse r = ParseQuantity(text, q);
        if (r == QtyParse::Zero && !allowZero_) {
            ErrorSignal();
            ShowRefusal(kMsgZeroQuantity);
            quantityEdit_->clear();
            ClearFeedback();
            return;
        }
        if (r == QtyParse::Invalid) {
            ErrorSignal();
            ShowRefusal(kMsgInvalidQuantity);
            quantity_ = 1;
            quantityEdit_->setText("1");
            ClearFeedback();
            return;
        }
        quantity_ = q;
        quantityEdit_->setText(QString::number(q));
        return;
    }
    DoScan(handled, false, false, false);
    if (Module())
        if (UsageTracker* tracker = Module()->GetUsageTracker())
            tracker->TrackEvent(TemplateId(), 0, 0, 0, {});
}

long WSIInvScanDialog::LookUpProduct(const std::string& code) {
    return LookUpScannedProduct(*selection_, barCode_, code);
}

bool WSIInvScanDialog::HandleInvalidProduct(const char*) {
    ErrorSignal();
    ShowRefusal(kMsgProductNotFound);
    rawBarCode_.clear();
    entry_->SetTextQuietly(QString());
    ClearFeedback();
    return false;
}

void WSIInvScanDialog::CmProduct() {
    std::string code;
    long product = 0;
    if (OpenProductSearch(this, code, product) && !code.empty()) {
        entry_->SetTextQuietly(QString::fromStdString(code));
        ShowFeedback(QString(), product);
    }
    entry_->setFocus();
}

void WSIInvScanDialog::CmBarCode() {
    WSIBarCodeView view(this, Module(), kBarCodeTemplate, rawBarCode_);
    WSIRunModal(view);
}

void WSIInvScanDialog::EvCodeChange(const QString& text) {
    // The scan field restarts its own delay; the last scan's data is no longer shown.
    if (!text.isEmpty())
        EnableCommand(CmBarCodeId, false);
}

void WSIInvScanDialog::ShowFeedback() {
    ShowFeedback(QString::number(quantity_), product_);
}

void WSIInvScanDialog::ShowFeedback(const QString& quantity, long product) {
    feedbackQuantity_->setText(quantity);
    char unit[51] = "";
    char description[51] = "";
    if (product != 0 && selection_->FindProduct(product, false) != 0) {
        selection_->GetProductUnit(unit, sizeof unit);
        selection_->GetProductDescription(description, sizeof description);
    }
    feedbackUnit_->setText(QString::fromUtf8(unit));
    feedbackDescription_->setText(QString::fromUtf8(description));
}

void WSIInvScanDialog::ClearFeedback() {
    feedbackQuantity_->clear();
    feedbackUnit_->clear();
    feedbackDescription_->clear();
}

void WSIInvScanDialog::Reset() {
    ResetInput(true);
}

void WSIInvScanDialog::ResetInput(bool clearBarCode) {
    if (clearBarCode)
        rawBarCode_.clear();
    entry_->SetTextQuietly(QString());
    entry_->StopAutoEntry();
    if (!HasSelectedLine()) {
        product_ = 0;
        quantity_ = 1;
        quantityEdit_->setText("1");
        ClearFeedback();
    } else {
        quantity_ = 0;
        quantityEdit_->clear();
    }
}

void WSIInvScanDialog::PrepareForNextItem() {
    entry_->SetTextQuietly(QString());
    if (!HasSelectedLine()) {
        product_ = 0;
        quantity_ = 1;
        quantityEdit_->setText("1");
    } else {
        quantity_ = 0;
        quantityEdit_->clear();
    }
    EnableCommand(CmBarCodeId, !rawBarCode_.empty());
}

void WSIInvScanDialog::ErrorFeedback() {
    if (!HasSelectedLine()) {
        product_ = 0;
        ClearFeedback();
    } else {
        quantity_ = 0;
        quantityEdit_->clear();
    }
}

void WSIInvScanDialog::SetNextFocusItem() {
    if (entry_->isEnabled())
        entry_->setFocus();
}

void WSIInvScanDialog::ShowRefusal(const QString& text) {
    feedbackStatus_->setText(text);
    MessageBox(text, mb::OK | mb::ICONEXCLAMATION);
    SetNextFocusItem();
}

void WSIInvScanDialog::ShowRefusal(unsigned code) {
    ShowRefusal(LoadString(code));
}

bool WSIInvScanDialog::RunBusiness(const std::function<void()>& operation) {
    try {
        operation();
        return true;
    } catch (BIException& e) {
        ErrorSignal();
        ShowRefusal(QString::fromUtf8(e.GetErrMsg(true)));
        ErrorFeedback();
        return false;
    }
}

void WSIInvScanDialog::SuccessFeedback(const QString& text) {
    Signal(SoundKind::Success, text.isEmpty() ? LoadString(kMsgStored) : text, false);
}

void WSIInvScanDialog::ErrorSignal(const QString& text) {
    Signal(SoundKind::Error, text.isEmpty() ? LoadString(kMsgNotStored) : text, true);
}

void WSIInvScanDialog::NoticeFeedback(const QString& text) {
    Signal(SoundKind::Notice, text, false);
}

void WSIInvScanDialog::Signal(SoundKind kind, const QString& text, bool error) {
    feedbackStatus_->setText(text);
    // Red-green safe: the text says it, the colour only repeats it.
    feedbackStatus_->setStyleSheet(error ? "color: #b00020; font-weight: bold" : "");
    QTimer* timer = kind == SoundKind::Success ? successTimer_
                    : kind == SoundKind::Error ? errorTimer_
                                               : noticeTimer_;
    timer->start();
}

void WSIInvScanDialog::PlaySound(SoundKind kind) {
    if (!soundFeedback_ || !Module())
        return;
    Module()->SendMainWindowMessage(hostmsg::kPlaySound,
                                    reinterpret_cast<void*>(static_cast<std::intptr_t>(kind)));
}

// --- WSIInvScanListDialog ----------------------------------------------------------------

WSIInvScanListDialog::WSIInvScanListDialog(QWidget* parent, WSIApplication* module, int templateId)
    : WSIInvScanDialog(parent, module, templateId) {
    list_ = new WSIListWindow(this);
    list_->setObjectName("list");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->installEventFilter(this);
    BodyLayout()->addWidget(list_, 1);

    SetCommand(CmClearId, [this] { CmClear(); });
    SetCommand(CmAddId, [this] { CmAdd(); });
    SetCommand(CmModifyId, [this] { CmModify(); });
    SetCommand(CmBackOrderId, [this] { CmBackOrder(); });
    SetCommand(CmDeleteId, [this] { CmDelete(); });
    SetCommand(CmPreviewId, [this] { CmPreview(); });
    SetCommand(CmPrintId, [this] { CmPrint(); });
    connect(list_, &WSIListWindow::rowSelectionChanged, this, [this] { EvItemChanged(); });
    connect(list_->Model(), &QAbstractItemModel::rowsInserted, this, [this] { EvCommandEnable(); });
    connect(list_->Model(), &QAbstractItemModel::rowsRemoved, this, [this] { EvCommandEnable(); });
    connect(list_->Model(), &QAbstractItemModel::modelReset, this, [this] { EvCommandEnable(); });
    connect(list_->Model(), &QAbstractItemModel::dataChanged, this, [this] { EvCommandEnable(); });
    connect(Entry(), &WSIScanEdit::upPressed, this, [this] { CmUp(); });
    connect(Entry(), &WSIScanEdit::downPressed, this, [this] { CmDown(); });
    Reset();
    EvCommandEnable();
}

WSIInvScanListDialog::~WSIInvScanListDialog() {
    // The list goes with the widget's children, after this class: its model must not call
    // back into a screen that is no longer whole.
    list_->Model()->disconnect(this);
    list_->disconnect(this);
}

QPushButton* WSIInvScanListDialog::AddListButton(int id, const QString& text,
                                                 const char* objectName) {
    QPushButton* b = AddCommandButton(id, text);
    b->setObjectName(objectName);
    ButtonRow()->addWidget(b);
    EvCommandEnable();
    return b;
}

WSIScanLine* WSIInvScanListDialog::LineAt(int row) const {
    return list_->RowData<WSIScanLine>(row);
}

int WSIInvScanListDialog::SelectedLine() const {
    return list_->FirstSelected();
}

bool WSIInvScanListDialog::HasSelectedLine() const {
    return list_ && list_->FirstSelected() >= 0;
}

int WSIInvScanListDialog::CellNumber(int row, int col) const {
    return col < 0 ? 0 : list_->ItemText(row, col).trimmed().toInt();
}

void WSIInvScanListDialog::CmOk() {
    if (HasSelectedLine() && IsCommandEnabled(CmModifyId))
        CmModify();
    else
        WSIInvScanDialog::CmOk();
}

void WSIInvScanListDialog::CmAdd() {
    WSIInvScanDialog::CmOk();
}

void WSIInvScanListDialog::CmModify() {
    TVL_TRACE("WSIInvScanListDialog::CmModify");
    Entry()->StopAutoEntry();
    const int row = SelectedLine();
    if (row < 0)
        return;
    if (const WSIScanLine* line = LineAt(row))
        SetCurrentProduct(line->product, 0);
    short q = 0;
    const QtyParse r = ParseQuantity(Entry()->text().trimmed(), q);
    if (r == QtyParse::Invalid || (r == QtyParse::Zero && !AllowsZero())) {
        ErrorSignal();
        ShowRefusal(r == QtyParse::Zero ? kMsgZeroQuantity : kMsgInvalidQuantity);
        ResetInput(true);
        return;
    }
    SetCurrentProduct(CurrentProduct(), q);
    DoModify(row);
}

void WSIInvScanListDialog::CmBackOrder() {
    const int row = SelectedLine();
    if (row < 0)
        return;
    if (const WSIScanLine* line = LineAt(row))
        SetCurrentProduct(line->product, Quantity());
    DoBackOrder(row);
}

void WSIInvScanListDialog::CmDelete() {
    const int row = SelectedLine();
    if (row < 0)
        return;
    const WSIScanLine* line = LineAt(row);
    if (!line)
        return;
    if (MessageBox(kMsgConfirmDelete, mb::YESNO | mb::ICONQUESTION) != id::YES)
        return;
    DoDelete(row, line->product, line->quantity);
}

void WSIInvScanListDialog::CmUp() {
    if (!Entry()->hasFocus() || !HasSelectedLine())
        return;
    if (!Entry()->text().isEmpty())
        CmOk();
    const int row = SelectedLine();
    if (row > 0)
        list_->SelectRow(row - 1);
    Entry()->setFocus();
}

void WSIInvScanListDialog::CmDown() {
    if (!Entry()->hasFocus() || !HasSelectedLine())
        return;
    if (!Entry()->text().isEmpty())
        CmOk();
    const int row = SelectedLine();
    if (row >= 0 && row + 1 < list_->RowCount())
        list_->SelectRow(row + 1);
    Entry()->setFocus();
}

void WSIInvScanListDialog::CmClear() {
    if (!suppressClear_)
        ClearBatch();
    Reset();
    list_->ClearRowSelection();
    SetNextFocusItem();
}

void WSIInvScanListDialog::Reset() {
    if (Entry()->isEnabled()) {
        ProductButton()->show();
        EnableCommand(CmProductId, true);
        QuantityLabel()->show();
        QuantityField()->show();
        QuantityField()->setEnabled(true);
        ModeLabel()->setText(LoadString(kMsgAddMode));
    }
    ResetInput(true);
}

void WSIInvScanListDialog::EvItemChanged() {
    const int row = SelectedLine();
    if (row == selected_)
        return;
    selected_ = row;
    if (row < 0) {
        Reset();
        LockFields(false);
        EnableCommand(CmBarCodeId, true);
        EvCommandEnable();
        return;
    }
    const WSIScanLine* line = LineAt(row);
    SetRawBarCode(line ? line->rawBarCode : std::string());
    EnableCommand(CmBarCodeId, !RawBarCode().empty());
    if (!line || line->product == 0) {
        ClearFeedback();
        EvCommandEnable();
        return;
    }
    if (Selection().FindProduct(line->product, false) == 0) {
        ShowRefusal(kMsgLineProductDeleted);
        Reset();
        RefreshList();
        LockFields(false);
        EvCommandEnable();
        return;
    }
    // Modify mode: the entry field takes the line's new quantity.
    EnableCommand(CmProductId, false);
    ProductButton()->hide();
    QuantityLabel()->hide();
    QuantityField()->hide();
    ModeLabel()->setText(LoadString(kMsgModifyMode));
    ShowFeedback(quantityCol_ >= 0 ? list_->ItemText(row, quantityCol_) : QString(), line->product);
    SetCurrentProduct(line->product, 0);
    QuantityField()->clear();
    Entry()->SetTextQuietly(QString());
    Entry()->StopAutoEntry();
    LockFields(true);
    EvCommandEnable();
}

void WSIInvScanListDialog::EvCommandEnable() {
    if (!list_)
        return;
    const int row = list_->FirstSelected();
    const bool selected = row >= 0;
    EnableCommand(CmModifyId, selected);
    const bool short_ = selected && filledCol_ >= 0 && orderedCol_ >= 0 &&
                        CellNumber(row, filledCol_) < CellNumber(row, orderedCol_);
    EnableCommand(CmBackOrderId, short_);
    EnableCommand(CmAltBackOrderId, short_);
    EnableCommand(CmDeleteId, selected && quantityCol_ >= 0 && CellNumber(row, quantityCol_) > 0);
    const bool any = list_->RowCount() > 0;
    EnableCommand(CmPreviewId, any);
    EnableCommand(CmPrintId, any);
}

void WSIInvScanListDialog::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::AltModifier) {
        int id = 0;
        switch (event->key()) {
        case Qt::Key_A:
            id = CmAddId;
            break;
        case Qt::Key_B:
            id = CmBackOrderId;
            break;
        case Qt::Key_D:
            id = CmDeleteId;
            break;
        case Qt::Key_M:
            id = CmModifyId;
            break;
        case Qt::Key_N:
            id = CmClearId;
            break;
        case Qt::Key_P:
            id = CmPrintId;
            break;
        case Qt::Key_S:
            id = ControlWidget(CmSaveId) ? CmSaveId : CmAltBackOrderId;
            break;
        case Qt::Key_V:
            id = CmPreviewId;
            break;
        default:
            break;
        }
        // Only the commands that have an enabled button on this screen.
        QWidget* button = id ? ControlWidget(id) : nullptr;
        if (button && button->isEnabled() && IsCommandEnabled(id)) {
            DoCommand(id);
            event->accept();
            return;
        }
    }
    WSIInvScanDialog::keyPressEvent(event);
}

bool WSIInvScanListDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        SetNextFocusItem();
        return true;
    }
    return WSIInvScanDialog::eventFilter(watched, event);
}
