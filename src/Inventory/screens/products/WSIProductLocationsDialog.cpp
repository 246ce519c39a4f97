#include "WSIProductLocationsDialog.h"

#include "BoundedFormat.h"
#include "DBPrdLoc.h"
#include "ProductLookups.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIProductLocationDefaultDialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace tavel::products;

WSIProductLocationsDialog::WSIProductLocationsDialog(QWidget* parent, WSIApplication* module,
                                                     long product, const std::string& invLoc,
                                                     bool restricted)
    : WSIProductLocationsDialog(parent, module,
                                new PrdLocSource(module ? module->GetDb() : nullptr, product),
                                invLoc, restricted) {}

// The list's source exists before the base screen asks it for its columns.
WSIProductLocationsDialog::WSIProductLocationsDialog(QWidget* parent, WSIApplication* module,
                                                     PrdLocSource* source,
                                                     const std::string& invLoc, bool restricted)
    : WSICodesDialog(parent, module, 25016, source, false), source_(source), invLoc_(invLoc),
      restricted_(restricted), header_(new QLabel(this)) {
    const long product = source->Product();
    TVL_TRACE("WSIProductLocationsDialog::WSIProductLocationsDialog");
    setObjectName(QStringLiteral("WSIProductLocationsDialog"));
    List()->setObjectName(QStringLiteral("prdLocList"));
    header_->setObjectName(QStringLiteral("prdLocProduct"));
    setWindowTitle(tr("Product locations"));
    static_cast<QBoxLayout*>(layout())->insertWidget(0, header_);
    // The form's labels carry mnemonics; a heading shows the plain words.
    for (int col = 0; col < List()->ColumnCount(); ++col)
        List()->Model()->SetColumnHeading(col, List()->ColumnHeading(col).remove(QLatin1Char('&')));
    SetCommand(IdDefaults, [this] { CmDefaults(); });
    ButtonLayout()->insertWidget(1, AddCommandButton(IdDefaults, tr("De&faults...")));

    WSIDatabase* db = module ? module->GetDb() : nullptr;
    if (db) {
        WSIProduct p(db);
        p.data.Product = product;
        if (p.GetEqual(__FILE__, __LINE__)) {
            productCanOrder_ = p.data.CanOrder == 1;
            char category[129] = "";
            char sql[1024];
            TVL_FORMAT(sql,
                       "SELECT \"Description\" FROM PRDCAT WHERE  \"PrdType\" = %ld AND \"PrdCat\" "
                       "= '%s'",
                       p.data.PrdType, tavel::EscapeQuotes(p.data.PrdCat).c_str());
            tavel::tables::FetchFirst(db, sql, WSIResult(category));
            header_->setText(QStringLiteral("<b>%1</b> &nbsp; %2 &nbsp; (%3, %4)")
                                 .arg(QString::fromUtf8(p.data.ProductCode).toHtmlEscaped(),
                                      QString::fromUtf8(p.data.Description).toHtmlEscaped(),
                                      QString::fromUtf8(category).toHtmlEscaped(),
                                      QString::fromUtf8(p.data.Unit).toHtmlEscaped()));
        }
    }
    resize(1180, 500);
    UpdateCommands();
}

bool WSIProductLocationsDialog::LoadList() {
    const bool ok = WSICodesDialog::LoadList();
    if (!invLoc_.empty()) {
        const std::string wanted = invLoc_;
        invLoc_.clear();
        if (!SelectByValue(LfInvLoc, QString::fromStdString(wanted)) && !restricted_) {
            // No row there yet: open one, started from the defaults, for that location.
            QTimer::singleShot(0, this, [this, wanted] {
                WSIRecord record = NewRecord();
                record.values[LfInvLoc] = QString::fromStdString(wanted);
                if (EditRecord(record, true)) {
                    const int row = List()->AppendRow({}, WSIRowData::Make(std::move(record)));
                    UpdateSpecialColumns(row);
                    List()->SelectRow(row);
                }
            });
        }
    }
    return ok;
}

WSIRecord WSIProductLocationsDialog::NewRecord() const {
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    WSIPrdLoc::WSIData start{};
    if (db) {
        DBPrdLoc defaults(db);
        if (defaults.GetDefaults(Product()))
            start = defaults.data;
    }
    start.Product = Product();
    std::memset(start.InvLoc, 0, sizeof start.InvLoc);
    start.Balance = 0;
    start.LastCount = 0;
    start.LastCountDate = WSIDate{};
    WSIRecord record = source_->ToRecord(start);
    record.values[LfQuantity].clear();
    return record;
}

bool WSIProductLocationsDialog::EditRecord(WSIRecord& record, bool isNew) {
    WSIPrdLocForm form(this, Module(), 25016, source_.get(), record, isNew, productCanOrder_,
                       false);
    form.setWindowTitle(isNew ? tr("New product location") : tr("Change product location"));
    if (WSIRunModal(form) != id::OK)
        return false;
    record = form.Record();
    return true;
}

void WSIProductLocationsDialog::UpdateCommands() {
    WSICodesDialog::UpdateCommands();
    if (restricted_)
        for (int id : {int(CmAdd), int(CmEdit), int(CmDelete)})
            EnableCommand(id, false);
}

void WSIProductLocationsDialog::CmDefaults() {
    EditProductLocationDefaults(this, Module(), Product());
}
