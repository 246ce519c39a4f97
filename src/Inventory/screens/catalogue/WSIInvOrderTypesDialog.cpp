#include "WSIInvOrderTypesDialog.h"

#include "BICatalogue.h"
#include "DBInvOType.h"
#include "ReportDefinition.h"
#include "ReportTexts.h"
#include "Trace.h"
#include "WSIAddEditDialog.h"
#include "WSIApplication.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

constexpr unsigned kTitle = 38100;
constexpr unsigned kMsgFileFilter = 13098;
constexpr unsigned kMsgCannotOpen = 13837;
constexpr unsigned kMsgNotALayout = 39802;
// Printed orders fill this formula; a layout without it could never print an order.
constexpr const char* kOrderFormula = "InvOrder";

using F = WSIInvOrderTypesDialog::Field;

WSIInvOrderTypesDialog::FileChooser& Chooser() {
    static WSIInvOrderTypesDialog::FileChooser chooser = [](QWidget* parent, const QString& filter,
                                                            const QString& folder) {
        return QFileDialog::getOpenFileName(parent, QString(), folder, filter, nullptr,
                                            QFileDialog::ReadOnly);
    };
    return chooser;
}

bool ReadFile(const QString& path, std::string& bytes) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

class OrderTypesSource : public CatalogueSource {
public:
    using CatalogueSource::CatalogueSource;

    bool Load(const QString& search, const Sink& sink) override {
        withLayout_.clear();
        if (Db())
            for (const std::string& code : BICatalogue(Db()).OrderTypesWithLayout())
                withLayout_.insert(QString::fromStdString(code));
        return CatalogueSource::Load(search, sink);
    }

protected:
    void Loaded(WSIRecord& record) override {
        // Every copy ends with the layout untouched in the screen.
        record.values[F::FLayoutStored] =
            withLayout_.count(record.Value(F::FCode)) ? QStringLiteral("1") : QStringLiteral("0");
        record.values[F::FLayoutPath] = QString();
        record.values[F::FChanged] = QStringLiteral("0");
    }

    bool BeforeSave(CatalogueTable&, const WSIRecord& record, bool isNew, WSIWindow* parent,
                    QString& message, int& failedField) override {
        replace_ = false;
        layout_.clear();
        const bool changed = record.Value(F::FChanged) == QLatin1String("1");
        if (!isNew && !changed)
            return true;
        const QString path = record.Value(F::FLayoutPath);
        if (path.isEmpty()) {
            replace_ = !isNew;
            return true;
        }
        if (!ReadFile(path, layout_)) {
            if (Module()) {
                const QByteArray text = Text(kMsgCannotOpen).toUtf8();
                Module()->MessageBox(parent, text.constData(), "", mb::OK | mb::ICONINFORMATION);
            }
            failedField = F::FLayoutPath;
            return false;
        }
        const auto parsed = tavel::report::ParseReportDefinition(layout_);
        std::string reason;
        if (!parsed.ok())
            reason = tavel::report::FormatParseError(path.toStdString(), parsed.errors.front());
        else if (!parsed.definition.FindFormula(kOrderFormula))
            reason = tavel::report::ReportText(tavel::report::kMsgFormulaNotKnown, {kOrderFormula});
        if (!reason.empty()) {
            message =
                Text(kMsgNotALayout).replace(QStringLiteral("%s"), QString::fromStdString(reason));
            failedField = F::FLayoutPath;
            return false;
        }
        replace_ = true;
        return true;
    }

    bool AfterSave(CatalogueTable& table, WSIRecord&, bool) override {
        if (!replace_)
            return true;
        replace_ = false;
        auto& type = static_cast<CatalogueTableOf<DBInvOType>&>(table).table;
        withLayout_.erase(QString::fromUtf8(type.data.InvOType).trimmed());
        if (!layout_.empty())
            withLayout_.insert(QString::fromUtf8(type.data.InvOType).trimmed());
        return BICatalogue(Db()).StoreOrderTypeLayout(type.data.InvOType, layout_);
    }

private:
    std::set<QString> withLayout_;
    std::string layout_;
    bool replace_ = false;
};

std::unique_ptr<CatalogueSource> MakeSource(WSIApplication* module) {
    CatalogueSource::Setup s;
    s.make = CatalogueSource::Factory<DBInvOType>();
    CatalogueField stored = ColumnField(nullptr, QObject::tr("Own layout"), 90);
    stored.kind = WSIFieldDef::Kind::Flag;
    stored.hidden = false;
    CatalogueField path = ColumnField(nullptr, QObject::tr("Layout file"), 0);
    CatalogueField changed = ColumnField(nullptr, QString(), 0);
    changed.kind = WSIFieldDef::Kind::Flag;
    changed.hidden = true;
    s.fields = {ColumnField("InvOType", QObject::tr("Code"), 80, true),
                ColumnField("Description", QObject::tr("Description"), 240, true),
                ColumnField("IsExternal", QObject::tr("External"), 70),
                ColumnField("Inactive", QObject::tr("Inactive"), 70),
                stored,
                path,
                changed};
    s.listSql =
        R"sql(SELECT "InvOType", "Description",  "IsExternal", "Inactive" FROM INVOTYPE ORDER BY "InvOType")sql";
    s.reportFile = "InvOType.rpt";
    s.titleMessage = kTitle;
    return std::make_unique<OrderTypesSource>(module, std::move(s));
}

} // namespace

void WSIInvOrderTypesDialog::SetFileChooser(FileChooser chooser) {
    Chooser() = std::move(chooser);
}

WSIInvOrderTypesDialog::WSIInvOrderTypesDialog(QWidget* parent, WSIApplication* module,
                                               DBInvOType* table, bool lookup)
    : WSICatalogueCodesDialog(parent, module, kTemplate, MakeSource(module), kTitle, table,
                              lookup) {
    setObjectName(QStringLiteral("WSIInvOrderTypesDialog"));
}

void WSIInvOrderTypesDialog::PrepareForm(WSIAddEditDialog& form, bool isNew) {
    (void)isNew;
    auto* layoutForm = form.findChild<QFormLayout*>();
    auto* path = qobject_cast<QLineEdit*>(form.FieldWidget(F::FLayoutPath));
    auto* changed = qobject_cast<QCheckBox*>(form.FieldWidget(F::FChanged));
    QWidget* stored = form.FieldWidget(F::FLayoutStored);
    if (!layoutForm || !path || !changed || !stored)
        return;
    // Whether a layout is stored is shown as text; the box itself is the record's.
    layoutForm->setRowVisible(stored, false);
    auto* state = new QLabel(form.FieldText(F::FLayoutStored) == QLatin1String("1")
                                 ? tr("This order type prints with its own layout.")
                                 : tr("This order type prints with the standard layout."),
                             &form);
    state->setObjectName(QStringLiteral("layoutState"));
    layoutForm->addRow(QString(), state);

    form.AddControl(IdLayoutPath, path);
    path->setObjectName(QStringLiteral("layoutPath"));
    path->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(form.AddCommandButton(CmFileHelp, tr("C&hoose file...")));
    buttons->addWidget(form.AddCommandButton(CmFileClear, tr("&Remove layout")));
    buttons->addStretch(1);
    layoutForm->addRow(QString(), buttons);

    WSIAddEditDialog* f = &form;
    form.SetCommand(CmFileHelp, [this, f, path, changed] {
        const QString folder = QDir::currentPath();
        const QString chosen = Chooser()(f, LoadString(kMsgFileFilter), folder);
        QDir::setCurrent(folder);
        if (chosen.isEmpty())
            return;
        path->setText(chosen);
        changed->setChecked(true);
        path->setEnabled(true);
    });
    form.SetCommand(CmFileClear, [path, changed] {
        path->clear();
        changed->setChecked(true);
        path->setEnabled(true);
    });
}
