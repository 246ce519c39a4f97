#pragma once

// The product edit screen: every product field grouped as a clinic thinks of them
// (identity and codes; type, category and units; ordering; stock and cost). The table
// rules check it on Ok with the focus on the field they name; the defaults and
// locations commands open the product's location screens.

#include "CatalogueSources.h"
#include "WSIAddEditDialog.h"

class DBProduct;

#include <memory>

class WSIAddEditProduct : public WSIAddEditDialog {
    Q_OBJECT

public:
    enum : int { IdDefaults = 25140, IdLocations = 25141 };

    // table: the product to change (read by key), or a cleared record to add one. After
    // Ok the table holds the product as stored.
    WSIAddEditProduct(QWidget* parent, int templateId, DBProduct* table, WSIApplication* module);

    void CmOk() override;
    void CmDefaults();
    void CmLocations();

private:
    WSIAddEditProduct(QWidget* parent, int templateId, DBProduct* table, WSIApplication* module,
                      tavel::products::ProductSource* source);
    static WSIRecord StartRecord(tavel::products::ProductSource& source, DBProduct* table);
    void UpdateCommands();

    std::unique_ptr<tavel::products::ProductSource> source_;
    DBProduct* table_;
};
