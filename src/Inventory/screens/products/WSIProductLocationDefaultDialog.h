#pragma once

// The form of one product location row: the product's default row (template 25017) or a
// row at a real location (the product-locations screen). It keeps the stocking rules in
// view while the user types: an unstocked row has no stock levels, a location that
// is never ordered from and a product that cannot be ordered offer no ordering, and
// the quantity shown follows the track-usage box.

#include "CatalogueSources.h"
#include "WSIAddEditDialog.h"

class QComboBox;
class QLineEdit;

class WSIPrdLocForm : public WSIAddEditDialog {
    Q_OBJECT

public:
    // source: the product's rows; record: the row to change, or a new row's defaults.
    // productCanOrder: the product's "CanOrder".
    WSIPrdLocForm(QWidget* parent, WSIApplication* module, int templateId,
                  tavel::products::PrdLocSource* source, WSIRecord record, bool isNew,
                  bool productCanOrder, bool defaultsRow);

    // The stocked rule: without stock kept here the three stock levels are 0 and closed.
    void CmStocked();
    // The tracked rule: the quantity shown is the balance or the last count.
    void CmTracked();
    // The location rule: may the row be offered for ordering at all?
    void EvLocationChange();
    // The location choice (null for the default row).
    QComboBox* LocationChoice() const { return location_; }

private:
    void ApplyLocationRule(const QString& invLoc);

    WSIDatabase* db_;
    bool productCanOrder_;
    QComboBox* location_ = nullptr;
};

class WSIProductLocationDefaultDialog : public WSIPrdLocForm {
    Q_OBJECT

public:
    WSIProductLocationDefaultDialog(QWidget* parent, WSIApplication* module,
                                    tavel::products::PrdLocSource* source, WSIRecord defaults,
                                    bool productCanOrder);
};
