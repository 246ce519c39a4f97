#include "WSIInvFillSelectDlg.h"

#include "BIException.h"
#include "BIInvPick.h"
#include "BIInvTransfer.h"
#include "BIInventory.h"
#include "Trace.h"
#include "WSIListWindow.h"
#include "WSIProfile.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdint>
#include <cstring>

namespace {
std::string Trimmed(const std::string& s) {
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

template <std::size_t N> void CopyCode(char (&out)[N], const char* in) {
    const std::string t = Trimmed(in ? in : "");
    const std::size_t n = std::min(t.size(), N - 1);
    std::memcpy(out, t.data(), n);
    out[n] = '\0';
}

QPushButton* AddButton(WSIDialog* d, QBoxLayout* row, int id, const QString& text,
                       const char* name) {
    QPushButton* b = d->AddCommandButton(id, text);
    b->setObjectName(name);
    row->addWidget(b);
    return b;
}
} // namespace

// --- Fill selection ----------------------------------------------------------------------

WSIInvFillSelectDlg::WSIInvFillSelectDlg(QWidget* parent, WSIApplication* module)
    : WSIDialog(parent, module, kTemplate),
      pick_(std::make_unique<BIInvPickList>(module ? module->GetDb() : nullptr)) {
    TVL_TRACE("WSIInvFillSelectDlg::WSIInvFillSelectDlg");
    setWindowTitle(tr("Fill Orders"));
    auto* top = new QVBoxLayout(this);
    fromPickList_ = new QRadioButton(tr("Fill from a &pick list"), this);
    fromPickList_->setObjectName("fromPickList");
    fromOrders_ = new QRadioButton(tr("Fill the &orders selected on the inventory screen"), this);
    fromOrders_->setObjectName("fromOrders");
    top->addWidget(fromPickList_);
    top->addWidget(fromOrders_);
    list_ = new WSIListWindow(this);
    list_->setObjectName("pickLists");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->AddColumn(tr("Pick List"), 80, Qt::AlignRight | Qt::AlignVCenter);
    list_->AddColumn(tr("Location"), 80);
    list_->AddColumn(tr("Ordered By"), 180);
    list_->AddColumn(tr("Picked By"), 180);
    top->addWidget(list_, 1);
    auto* row = new QHBoxLayout;
    top->addLayout(row);
    AddButton(this, row, CmPrintId, tr("P&rint"), "print");
    row->addStretch();
    AddButton(this, row, cm::Ok, tr("OK"), "ok")->setDefault(true);
    AddButton(this, row, cm::Cancel, tr("Cancel"), "cancel");
    resize(600, 360);

    SetCommand(CmBasedOnRadioId, [this] { CmBasedOnRadio(); });
    SetCommand(CmPrintId, [this] { CmPrint(); });
    connect(fromPickList_, &QRadioButton::toggled, this, [this] { DoCommand(CmBasedOnRadioId); });
    connect(list_, &WSIListWindow::rowSelectionChanged, this, [this] { EvItemChanged(); });
    connect(list_, &WSIListWindow::rowActivated, this, [this](int) { DoCommand(cm::Ok); });

    if (module && module->GetProfile())
        filledBy_ =
            Trimmed(module->GetProfile()->GetString("Inventory", "Location", "")).substr(0, 6);
    if (module && module->GetDb()) {
        WSIWaitCursor wait;
        while (WSITable* t = pick_->GetNextRow()) {
            const WSIOpenPickList& r = static_cast<WSIOpenPickListRow*>(t)->Row();
            auto code = std::make_shared<std::string>(Trimmed(r.InvLoc));
            list_->AppendRow({QString::number(r.PickList), QString::fromStdString(*code),
                              QString::fromUtf8(r.InvLocName), QString::fromUtf8(r.UserName)},
                             WSIRowData(code));
        }
    }
    if (list_->RowCount() == 0) {
        fromOrders_->setChecked(true);
        CmBasedOnRadio();
        fromPickList_->setEnabled(false);
    } else {
        fromPickList_->setChecked(true);
        CmBasedOnRadio();
        list_->SelectRow(0);
        list_->setFocus();
    }
}

WSIInvFillSelectDlg::~WSIInvFillSelectDlg() {
    list_->disconnect(this);
}

void WSIInvFillSelectDlg::CmBasedOnRadio() {
    pickList_ = 0;
    orderedBy_.clear();
    usePickList_ = fromPickList_->isChecked();
    if (!usePickList_) {
        list_->ClearRowSelection();
        EnableCommand(CmPrintId, false);
    } else {
        if (list_->FirstSelected() < 0 && list_->RowCount() > 0)
            list_->SelectRow(0);
        EnableCommand(CmPrintId, list_->RowCount() > 0);
        EvItemChanged();
    }
    list_->setEnabled(usePickList_);
}

void WSIInvFillSelectDlg::EvItemChanged() {
    const int row = list_->FirstSelected();
    if (row < 0 || !usePickList_) {
        pickList_ = 0;
        orderedBy_.clear();
        return;
    }
    pickList_ = list_->ItemText(row, ColPickList).toLong();
    const auto* code = list_->RowData<std::string>(row);
    orderedBy_ = code ? *code : std::string();
}

void WSIInvFillSelectDlg::CmOk() {
    TVL_TRACE("WSIInvFillSelectDlg::CmOk");
    if (usePickList_ && pickList_ == 0) {
        MessageBox(kMsgChoosePickList, mb::OK | mb::ICONEXCLAMATION);
        return;
    }
    CloseWindow(id::OK);
}

void WSIInvFillSelectDlg::CmPrint() {
    TVL_TRACE("WSIInvFillSelectDlg::CmPrint");
    if (pickList_ == 0)
        return;
    try {
        pick_->Print(this, false, pickList_, orderedBy_.c_str());
    } catch (BIException& e) {
        MessageBox(QString::fromUtf8(e.GetErrMsg(true)), mb::OK | mb::ICONEXCLAMATION);
    }
}

// --- Discrepancy ---------------------------------------------------------------------------

WSIInvDiscrepencyDialog::WSIInvDiscrepencyDialog(QWidget* parent, WSIApplication* module,
                                                 const char* to, const char* from, long product,
                                                 short quantity)
    : WSIDialog(parent, module, kTemplate), product_(product), quantity_(quantity) {
    TVL_TRACE("WSIInvDiscrepencyDialog::WSIInvDiscrepencyDialog");
    CopyCode(to_, to);
    CopyCode(from_, from);
    setWindowTitle(tr("Stock Discrepancy"));
    char code[64] = "";
    char unit[51] = "";
    char description[51] = "";
    if (WSIDatabase* db = module ? module->GetDb() : nullptr) {
        BIInventory lookup(db);
        if (lookup.FindProduct(product, false) != 0) {
            lookup.GetProductCode(code, sizeof code);
            lookup.GetProductUnit(unit, sizeof unit);
            lookup.GetProductDescription(description, sizeof description);
        }
    }
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    top->addLayout(form);
    const auto field = [this, form](const QString& label, const QString& text, const char* name) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        form->addRow(label, l);
    };
    field(tr("Product:"), QString::fromUtf8(code), "productCode");
    field(tr("Description:"), QString::fromUtf8(description), "description");
    field(tr("Quantity:"), QString::number(quantity), "quantity");
    field(tr("Unit:"), QString::fromUtf8(unit), "unit");
    field(tr("Move from:"), QString::fromUtf8(from_), "from");
    field(tr("Move to:"), QString::fromUtf8(to_), "to");
    auto* row = new QHBoxLayout;
    top->addLayout(row);
    row->addStretch();
    AddButton(this, row, cm::Ok, tr("&Transfer"), "ok")->setDefault(true);
    AddButton(this, row, cm::Cancel, tr("Cancel"), "cancel");
}

WSIInvDiscrepencyDialog::~WSIInvDiscrepencyDialog() = default;

void WSIInvDiscrepencyDialog::CmOk() {
    TVL_TRACE("WSIInvDiscrepencyDialog::CmOk");
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db)
        return;
    try {
        WSIWaitCursor wait;
        BIInvTransfer transfer(db);
        transfer.InitBatch(from_, to_);
        transfer.Transfer(product_, quantity_, createMissing_, allowExpired_, allowNoExpiry_);
        transfer.CloseBatch();
    } catch (BIException& e) {
        MessageBox(QString::fromUtf8(e.GetErrMsg(true)), mb::OK | mb::ICONEXCLAMATION);
        return;
    }
    Sound(SoundKind::Success);
    CloseWindow(id::OK);
}

void WSIInvDiscrepencyDialog::CmCancel() {
    Sound(SoundKind::Error);
    CloseWindow(id::CANCEL);
}

void WSIInvDiscrepencyDialog::Sound(SoundKind kind) {
    if (soundFeedback_ && Module())
        Module()->SendMainWindowMessage(hostmsg::kPlaySound,
                                        reinterpret_cast<void*>(static_cast<std::intptr_t>(kind)));
}
