#pragma once

// A location's product list: every product the location has a row for, with its bin,
// stock and the minimum, reorder and maximum counts, sortable by any column and printed
// through the host. Changing one row opens the product-locations screen.

#include "WSIDialog.h"

class WSIListWindow;

// Opens the product-locations screen of product at invLoc (a new row there when the
// product has none); true, since rows may have changed.
bool OpenProductLocationScreen(WSIDialog* parent, long product, const QString& invLoc);

class WSIMultiPrdLocDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25034;
    static constexpr int CmEditPrdLoc = 24201;
    static constexpr int CmPrintList = 24202;
    enum Column {
        ColCode,
        ColDescription,
        ColBin,
        ColBalance,
        ColUnit,
        ColMin,
        ColReorder,
        ColMax
    };

    WSIMultiPrdLocDialog(QWidget* parent, WSIApplication* module, const QString& invLoc,
                         const QString& name);

    WSIListWindow* List() const { return list_; }
    // Reads the location's products again.
    void LoadList();
    void EditPrdLoc();
    void PrintList();
    void SortBy(int column);

private:
    void UpdateCommands();

    QString invLoc_;
    WSIListWindow* list_;
};
