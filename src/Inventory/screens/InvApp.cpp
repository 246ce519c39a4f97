// Entry points of libInventory.so: the exported handler look-up and the load/unload
// notifications that create and destroy the module's single handler.

#include "InvCommands.h"
#include "InventoryModule.h"
#include "Records.h"
#include "TavelOptSource.h"
#include "Trace.h"
#include "WSIInventoryApp.h"

#include <memory>

#define TVL_MODULE_EXPORT __attribute__((visibility("default")))

// The host's only way in: the module's handler, or null while the module is not attached.
extern "C" TVL_MODULE_EXPORT WSIDllHandler* GetDllHandler() {
    TVL_TRACE("GetDllHandler");
    return tavel::CurrentInventoryApp();
}

namespace {

__attribute__((constructor)) void InventoryModuleAttach() {
    TVL_TRACE("InventoryModuleAttach");
    tavel::ModuleAttach();
    // InitApp reads the suite options record from the host's database.
    if (tavel::ModuleAttachCount() == 1) {
        // The module carries its own copy of the framework, with its own table registry.
        RegisterRecords();
        WSIInventoryApp* app = tavel::CurrentInventoryApp();
        app->SetSuiteOptions(std::make_unique<TavelOptSource>());
        RegisterInventoryCommands(*app);
    }
}

__attribute__((destructor)) void InventoryModuleDetach() {
    TVL_TRACE("InventoryModuleDetach");
    tavel::ModuleDetach();
}

} // namespace
