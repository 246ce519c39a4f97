#pragma once

// The locations of one product (template 25016): a row per real location with its
// stocking and ordering settings and its quantity, added, changed and deleted one at
// a time; new rows start from the product's defaults, which the defaults command edits.

#include "CatalogueSources.h"
#include "WSICodesDialog.h"

#include <string>

class QLabel;

#include <memory>

class WSIProductLocationsDialog : public WSICodesDialog {
    Q_OBJECT

public:
    enum : int { IdDefaults = 25150 };

    // product: the product's id; invLoc: the row to select at opening ("" for none, and a
    // location without a row opens a new row for it); restricted: rows are only shown.
    WSIProductLocationsDialog(QWidget* parent, WSIApplication* module, long product,
                              const std::string& invLoc = std::string(), bool restricted = false);

    bool LoadList() override;
    void CmDefaults();
    long Product() const { return source_->Product(); }

protected:
    bool EditRecord(WSIRecord& record, bool isNew) override;
    WSIRecord NewRecord() const override;
    void UpdateCommands() override;

private:
    WSIProductLocationsDialog(QWidget* parent, WSIApplication* module,
                              tavel::products::PrdLocSource* source, const std::string& invLoc,
                              bool restricted);

    std::unique_ptr<tavel::products::PrdLocSource> source_;
    bool productCanOrder_ = false;
    std::string invLoc_;
    bool restricted_;
    QLabel* header_;
};
