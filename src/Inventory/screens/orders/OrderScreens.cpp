#include "OrderScreens.h"

#include "WSIInvOrderDialog.h"
#include "WSIInvOrderLineDetails.h"

namespace tavel::orders {

void EditOrder(WSIDialog* parent, long invOrder, bool editAnyway) {
    WSIInvOrderDialog screen(parent, parent->Module(), WSIInvOrderDialog::kExistingOrderTemplate,
                             invOrder, editAnyway);
    screen.Execute();
}

long NewOrder(WSIDialog* parent, const std::vector<WSILevelsData>* levelData, bool* external) {
    WSIInvOrderDialog screen(parent, parent->Module(), WSIInvOrderDialog::kNewOrderTemplate, 0,
                             false);
    screen.SetLevelData(levelData);
    screen.Execute();
    if (external)
        *external = screen.GetIsExternal();
    return screen.GetInvOrder();
}

void ShowFillingDetails(WSIDialog* parent, const WSIInvOrderData& line) {
    WSIInvProductFillingDetailsDialog screen(parent, parent->Module(), line);
    screen.Execute();
}

void ShowBackOrderLocations(WSIDialog* parent, long product, const char* invLoc) {
    WSIShowBackOrdLocsDialog screen(parent, parent->Module(), product, invLoc);
    screen.Execute();
}

} // namespace tavel::orders
