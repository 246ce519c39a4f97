#pragma once

// Inventory locations: the code list with the bar-code rule (only locations of the types
// that are not ordered from carry one), the links to the practice's own location list,
// and a location's product list.

#include "WSICatalogueCodesDialog.h"

#include <functional>

class DBInvLoc;

class WSIInventoryLocationsDialog : public WSICatalogueCodesDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25007;
    static constexpr int CmPrdLoc = 900;
    static constexpr int CmLink = 19770;

    WSIInventoryLocationsDialog(QWidget* parent, WSIApplication* module, DBInvLoc* table = nullptr,
                                bool lookup = false);

    // Opens the product list of the selected location (not for a location without stock).
    void CmPrdLocList();
    // Asks the host to link the selected location to a location of the practice.
    void CmLinkLocation();

    // Whether a location of type may carry a bar code.
    static bool TypeTakesBarCode(long type);

protected:
    void UpdateCommands() override;
    void PrepareForm(WSIAddEditDialog& form, bool isNew) override;
};
