#include "WSICatalogueCodesDialog.h"

#include "BICsvImport.h"
#include "ListCsvExport.h"
#include "Trace.h"
#include "WSIAddEditDialog.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QPushButton>

WSICatalogueCodesDialog::WSICatalogueCodesDialog(QWidget* parent, WSIApplication* module,
                                                 int templateId,
                                                 std::unique_ptr<CatalogueSource> source,
                                                 unsigned titleMessage, WSITable* target,
                                                 bool lookup)
    : WSICodesDialog(parent, module, templateId, source.get(), lookup),
      catalogue_(std::move(source)), target_(target) {
    TVL_TRACE("WSICatalogueCodesDialog::WSICatalogueCodesDialog");
    setWindowTitle(LoadString(titleMessage));
    List()->setObjectName(QStringLiteral("codesList"));
    if (!lookup && catalogue_->Table()) {
        ButtonLayout()->insertWidget(0, AddCommandButton(CmExportCsv, tr("E&xport")));
        SetCommand(CmExportCsv, [this] { ExportCsv(); });
    }
    resize(640, 420);
}

void WSICatalogueCodesDialog::ExportCsv() {
    TVL_TRACE("WSICatalogueCodesDialog::ExportCsv");
    WSIDatabase* db = catalogue_->Db();
    if (!db)
        return;
    const QString name = windowTitle().simplified();
    tavel::csvexport::SaveCsv(*this, tavel::csv::ExportTable(*db, *catalogue_->Table()),
                              (name.isEmpty() ? QStringLiteral("codes") : name) +
                                  QStringLiteral(".csv"));
}

WSICatalogueCodesDialog::~WSICatalogueCodesDialog() = default;

void WSICatalogueCodesDialog::CmOk() {
    TVL_TRACE("WSICatalogueCodesDialog::CmOk");
    WSICodesDialog::CmOk();
    if (IsLookup() && target_ && Chosen())
        catalogue_->ReadByKey(*Chosen(), *target_);
}

bool WSICatalogueCodesDialog::EditRecord(WSIRecord& record, bool isNew) {
    TVL_TRACE("WSICatalogueCodesDialog::EditRecord");
    WSIAddEditDialog form(this, Module(), TemplateId(), catalogue_.get(), record, isNew);
    form.setObjectName(QStringLiteral("recordForm"));
    form.setWindowTitle(windowTitle());
    if (auto* layout = form.findChild<QFormLayout*>())
        for (int i = 0; i < form.FieldCount(); ++i)
            if (catalogue_->IsHidden(i))
                layout->setRowVisible(form.FieldWidget(i), false);
    PrepareForm(form, isNew);
    if (form.Execute() != id::OK)
        return false;
    record = form.Record();
    return true;
}
