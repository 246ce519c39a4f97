// The main screen's command that opens the expiry watch.

#include "WSIInventoryDialog.h"

#include "Trace.h"
#include "WSIInvExpiryWatchDialog.h"

void WSIInventoryDialog::CmExpiry() {
    TVL_TRACE("WSIInventoryDialog::CmExpiry");
    std::string location = GetSearchParams().location;
    location.erase(location.find_last_not_of(' ') + 1);
    WSIInvExpiryWatchDialog expiry(this, Module(), location);
    WSIRunModal(expiry);
}
