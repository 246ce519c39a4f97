#include "WSIProductLocationDefaultDialog.h"

#include "ProductQueries.h"
#include "TableLookup.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include <cstring>

using namespace tavel::products;

namespace {
constexpr int kStockLevels[] = {LfMinCount, LfReorderCount, LfMaxCount};
constexpr const char* kNames[LfCount] = {"invLoc",       "bin",        "stocked",      "trackUsage",
                                         "canOrderFrom", "minCount",   "reorderCount", "maxCount",
                                         "minToOrder",   "stdToOrder", "inactive",     "quantity"};
} // namespace

WSIPrdLocForm::WSIPrdLocForm(QWidget* parent, WSIApplication* module, int templateId,
                             PrdLocSource* source, WSIRecord record, bool isNew,
                             bool productCanOrder, bool defaultsRow)
    : WSIAddEditDialog(parent, module, templateId, source, std::move(record), isNew),
      db_(module ? module->GetDb() : nullptr), productCanOrder_(productCanOrder) {
    TVL_TRACE("WSIPrdLocForm::WSIPrdLocForm");
    setObjectName(QStringLiteral("WSIPrdLocForm"));
    for (int f = 0; f < LfCount; ++f)
        if (QWidget* w = FieldWidget(f))
            w->setObjectName(QString::fromLatin1(kNames[f]));
    // The quantity is kept by stock movements; it is shown, never typed.
    if (auto* quantity = qobject_cast<QLineEdit*>(FieldWidget(LfQuantity)))
        quantity->setReadOnly(true);

    auto* code = qobject_cast<QLineEdit*>(FieldWidget(LfInvLoc));
    if (defaultsRow) {
        Form()->setRowVisible(LfInvLoc, false);
        Form()->setRowVisible(LfQuantity, false);
    } else if (code && isNew && db_) {
        // A new row picks its location from a list: every location that can hold stock.
        location_ = new QComboBox(this);
        location_->setObjectName(QStringLiteral("locationChoice"));
        location_->addItem(QString());
        WSIInvLoc loc(db_);
        auto cursor = db_->Query(__FILE__, __LINE__,
                                 "SELECT %s FROM INVLOC WHERE \"Type\" != %d ORDER BY \"Type\", "
                                 "\"InvLoc\" ",
                                 WSIResult(loc), db_->GetTableColumns(__LINE__, __FILE__, "INVLOC"),
                                 int(tavel::LocationType::NoStock));
        for (bool found = cursor->GetFirst(); found; found = cursor->GetNext())
            location_->addItem(QString::fromUtf8(loc.data.InvLoc).trimmed());
        cursor.reset();
        Form()->setRowVisible(LfInvLoc, false);
        Form()->insertRow(LfInvLoc + 1, tr("&Location"), location_);
        const int at = location_->findText(code->text().trimmed());
        location_->setCurrentIndex(at < 0 ? 0 : at);
        connect(location_, &QComboBox::currentTextChanged, this, [this, code](const QString& t) {
            code->setText(t);
            EvLocationChange();
        });
    }
    if (auto* stocked = qobject_cast<QCheckBox*>(FieldWidget(LfStocked)))
        connect(stocked, &QCheckBox::toggled, this, [this] { CmStocked(); });
    if (auto* tracked = qobject_cast<QCheckBox*>(FieldWidget(LfTrackUsage)))
        connect(tracked, &QCheckBox::toggled, this, [this] { CmTracked(); });
    CmStocked();
    ApplyLocationRule(FieldText(LfInvLoc));
}

void WSIPrdLocForm::CmStocked() {
    const bool stocked = FieldText(LfStocked) == QLatin1String("1");
    for (int f : kStockLevels) {
        if (!stocked)
            SetFieldText(f, QStringLiteral("0"));
        if (QWidget* w = FieldWidget(f))
            w->setEnabled(stocked);
    }
}

void WSIPrdLocForm::CmTracked() {
    if (IsNew())
        return;
    const auto* row = PrdLocSource::RowOf(Record());
    if (!row)
        return;
    const short tracked = FieldText(LfTrackUsage) == QLatin1String("1") ? 1 : 0;
    SetFieldText(LfQuantity,
                 QString::fromStdString(QuantityText(tracked, row->Balance, row->LastCount)));
}

void WSIPrdLocForm::EvLocationChange() {
    ApplyLocationRule(FieldText(LfInvLoc));
}

void WSIPrdLocForm::ApplyLocationRule(const QString& invLoc) {
    bool orderable = productCanOrder_;
    if (orderable && db_ && !invLoc.isEmpty()) {
        WSIInvLoc loc(db_);
        tavel::tables::CopyText(loc.data.InvLoc, invLoc.toUtf8().constData());
        if (loc.GetEqual(__FILE__, __LINE__) && loc.data.Type == tavel::LocationType::UsePoint)
            orderable = false;
    }
    if (!orderable)
        SetFieldText(LfCanOrderFrom, QStringLiteral("0"));
    if (QWidget* w = FieldWidget(LfCanOrderFrom))
        w->setEnabled(orderable);
}

WSIProductLocationDefaultDialog::WSIProductLocationDefaultDialog(QWidget* parent,
                                                                 WSIApplication* module,
                                                                 PrdLocSource* source,
                                                                 WSIRecord defaults,
                                                                 bool productCanOrder)
    : WSIPrdLocForm(parent, module, 25017, source, std::move(defaults), false, productCanOrder,
                    true) {
    setObjectName(QStringLiteral("WSIProductLocationDefaultDialog"));
    setWindowTitle(tr("Defaults for new locations"));
}
