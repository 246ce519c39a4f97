#pragma once

// Four of the code-table screens: adjustment codes, product types, units and product
// categories (all, or one product type's).

#include "WSICatalogueCodesDialog.h"

class DBInvAdj;
class DBPrdCat;
class DBPrdType;
class DBPrdUnit;

class WSIInvAdjCodesDialog : public WSICatalogueCodesDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25020;
    WSIInvAdjCodesDialog(QWidget* parent, WSIApplication* module, DBInvAdj* table = nullptr,
                         bool lookup = false);
};

class WSIUnitsDialog : public WSICatalogueCodesDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25008;
    WSIUnitsDialog(QWidget* parent, WSIApplication* module, DBPrdUnit* table = nullptr,
                   bool lookup = false);
};

class WSIProductTypesDialog : public WSICatalogueCodesDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25011;
    static constexpr int CmProductCategories = 24101;
    WSIProductTypesDialog(QWidget* parent, WSIApplication* module, DBPrdType* table = nullptr,
                          bool lookup = false);

    // Opens the categories of the selected product type.
    void CmProductCategoriesList();

protected:
    void UpdateCommands() override;
};

class WSIProductCategoriesDialog : public WSICatalogueCodesDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25012;
    // A table whose "PrdType" is set restricts the list to that product type's categories,
    // and a new category starts in it.
    WSIProductCategoriesDialog(QWidget* parent, WSIApplication* module, DBPrdCat* table = nullptr,
                               bool lookup = false);

    long ProductType() const { return prdType_; }

protected:
    WSIRecord NewRecord() const override;

private:
    long prdType_ = 0;
};
