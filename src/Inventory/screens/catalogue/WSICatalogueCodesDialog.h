#pragma once

// The module's code-table screens: the framework's code list over a CatalogueSource,
// titled from the string table. In look-up mode the chosen record is read into the table
// object the caller passed, so that the caller finds it there as after a search.

#include "CatalogueSource.h"
#include "WSICodesDialog.h"

#include <memory>

class WSIAddEditDialog;

class WSICatalogueCodesDialog : public WSICodesDialog {
    Q_OBJECT

public:
    // Saves every row of the table as a CSV file.
    static constexpr int CmExportCsv = 24160;

    // target: the caller's table object, filled with the chosen record in look-up mode
    // (may be null).
    WSICatalogueCodesDialog(QWidget* parent, WSIApplication* module, int templateId,
                            std::unique_ptr<CatalogueSource> source, unsigned titleMessage,
                            WSITable* target, bool lookup);
    ~WSICatalogueCodesDialog() override;

    CatalogueSource* Catalogue() const { return catalogue_.get(); }
    void CmOk() override;
    void ExportCsv();

protected:
    // Runs the add/change form; PrepareForm adds a screen's own controls first.
    bool EditRecord(WSIRecord& record, bool isNew) override;
    virtual void PrepareForm(WSIAddEditDialog& form, bool isNew) { (void)form, (void)isNew; }
    // Field index of column in the list's records.
    int Field(const char* column) const { return catalogue_->FieldOf(column); }

private:
    // Declared after the code list that reads it: the constructor's argument keeps the
    // source alive while the list is built, then hands it over.
    std::unique_ptr<CatalogueSource> catalogue_;
    WSITable* target_;
};
