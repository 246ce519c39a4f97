#include "InventoryModule.h"

#include "Trace.h"
#include "WSIInventoryApp.h"

namespace {
// Attach and detach come from the loader one at a time, so plain globals suffice.
int g_attachCount = 0;
WSIInventoryApp* g_app = nullptr;
} // namespace

namespace tavel {

void ModuleAttach() {
    TVL_TRACE("tavel::ModuleAttach");
    if (g_attachCount++ == 0 && !g_app)
        g_app = new WSIInventoryApp();
}

void ModuleDetach() {
    TVL_TRACE("tavel::ModuleDetach");
    if (g_attachCount > 0)
        --g_attachCount;
    if (g_attachCount == 0 && g_app) {
        delete g_app;
        g_app = nullptr;
    }
}

int ModuleAttachCount() {
    TVL_TRACE("tavel::ModuleAttachCount");
    return g_attachCount;
}

WSIInventoryApp* CurrentInventoryApp() {
    TVL_TRACE("tavel::CurrentInventoryApp");
    return g_app;
}

} // namespace tavel
