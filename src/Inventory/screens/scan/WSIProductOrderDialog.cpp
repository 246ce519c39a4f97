#include "WSIProductOrderDialog.h"

#include "BIInvRec.h"
#include "WSIApplication.h"
#include "WSIComboBox.h"
#include "WSIDateEdit.h"

#include <QBoxLayout>
#include <QLineEdit>

namespace tavel::detail {

// External orders found through the receiving business object, one record per order.
class OrderSearchSource : public WSIReadOnlySource {
public:
    explicit OrderSearchSource(WSIApplication* module)
        : module_(module), receive_(module ? module->GetDb() : nullptr) {}

    int kind = 0;
    WSIDate date{};

    std::vector<WSIFieldDef> Fields() const override {
        auto field = [](const char* label, int width) {
            WSIFieldDef f;
            f.label = QString::fromLatin1(label);
            f.width = width;
            return f;
        };
        return {field("Date", 90),       field("Order", 70),     field("PO Number", 120),
                field("Kind", 80),       field("Vendor", 180),   field("From", 70),
                field("Ordered by", 80), field("Order Type", 80)};
    }

    bool Load(const QString& search, const Sink& sink) override {
        bool found = false;
        if (kind == 1) {
            found = receive_.FindFirstOrder(date);
        } else {
            QByteArray prefix = search.toUtf8();
            found = receive_.FindFirstOrder(prefix.data(), kind == 2);
        }
        for (; found; found = receive_.FindNextOrder()) {
            const WSIInvOrder::WSIData& o = *receive_.GetInvOrder();
            char vendor[64] = "";
            receive_.GetOrderVendor(vendor, sizeof vendor);
            char kindText[64] = "";
            if (module_)
                module_->LoadString(o.IsExternal ? 30614 : 30613, kindText, sizeof kindText);
            WSIRecord r;
            r.values = {o.Date.IsNull()
                            ? QString()
                            : WSIDateEdit::Format(QDate(o.Date.year, o.Date.month, o.Date.day)),
                        QString::number(o.InvOrder),
                        QString::fromUtf8(o.PONumber),
                        QString::fromUtf8(kindText),
                        QString::fromUtf8(vendor),
                        QString::fromUtf8(o.InvLocFrom).trimmed(),
                        QString::fromUtf8(o.InvLoc).trimmed(),
                        QString::fromUtf8(o.InvOType).trimmed()};
            r.data = WSIRowData::Make(static_cast<long>(o.InvOrder));
            if (!sink(std::move(r)))
                break;
        }
        return true;
    }

private:
    WSIApplication* module_;
    BIInvReceive receive_;
};

OrderSearchHolder::OrderSearchHolder(WSIApplication* module)
    : source(std::make_unique<OrderSearchSource>(module)) {}
OrderSearchHolder::~OrderSearchHolder() = default;

} // namespace tavel::detail

WSIProductOrderDialog::WSIProductOrderDialog(QWidget* parent, WSIApplication* module)
    : tavel::detail::OrderSearchHolder(module),
      WSISearchDialog(parent, module, kTemplate, source.get(), true) {
    setWindowTitle(tr("Find Purchase Order"));
    kind_ = new WSIComboBox(this);
    kind_->setObjectName("searchKind");
    kind_->AddEntry(tr("Order number"), KindOrderNumber);
    kind_->AddEntry(tr("Order date"), KindOrderDate);
    kind_->AddEntry(tr("PO number"), KindPONumber);
    date_ = new WSIDateEdit(this);
    date_->setObjectName("searchDate");
    SearchEdit()->setObjectName("searchText");
    SearchEdit()->setMaxLength(20);
    SearchEdit()->clear();
    FilterLayout()->insertWidget(0, kind_);
    FilterLayout()->insertWidget(2, date_, 1);
    date_->hide();
    List()->setObjectName("orders");
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { EvSearchOnChange(); });
    resize(820, 420);
}

WSIProductOrderDialog::~WSIProductOrderDialog() = default;

void WSIProductOrderDialog::EvSearchOnChange() {
    List()->Clear();
    const bool byDate = kind_->CurrentValue(0) == KindOrderDate;
    SearchEdit()->setVisible(!byDate);
    SearchEdit()->clear();
    date_->setVisible(byDate);
    date_->clear();
}

int WSIProductOrderDialog::RunSearch() {
    List()->Clear();
    source->kind = static_cast<int>(kind_->CurrentValue(0));
    source->date = {};
    if (source->kind == KindOrderDate) {
        if (!date_->IsEmpty() && !date_->IsValid()) {
            MessageBox(kMsgBadDate, mb::OK | mb::ICONINFORMATION);
            date_->setFocus();
            return 0;
        }
        if (!date_->IsEmpty())
            source->date = date_->GetDate();
    }
    const int listed = WSISearchDialog::RunSearch();
    if (listed == 0)
        MessageBox(kMsgNoOrders, mb::OK | mb::ICONINFORMATION);
    return listed;
}

long WSIProductOrderDialog::ChosenOrder() const {
    const WSIRecord* r = SelectedRecord();
    const long* id = r ? r->data.Get<long>() : nullptr;
    return id ? *id : 0;
}
