// Entry points of libInventory.so: the exported handler look-up and the load/unload
// notifications that create and destroy the module's single handler.

#include "CatalogueCommands.h"
#include "DBProduct.h"
#include "InvCommands.h"
#include "InventoryModule.h"
#include "ProductLookups.h"
#include "Records.h"
#include "TavelOptSource.h"
#include "Trace.h"
#include "WSIAddEditProduct.h"
#include "WSIInventoryApp.h"
#include "WSIListWindow.h"

#include <memory>

#define TVL_MODULE_EXPORT __attribute__((visibility("default")))

// The host's only way in: the module's handler, or null while the module is not attached.
extern "C" TVL_MODULE_EXPORT WSIDllHandler* GetDllHandler() {
    TVL_TRACE("GetDllHandler");
    return tavel::CurrentInventoryApp();
}

// Other suite modules edit one product through here and have a row of their list
// refreshed: after Ok the row's data object becomes the product as stored. False when
// the product has no record.
extern "C" TVL_MODULE_EXPORT bool RunWSIAddEditProduct(long product, WSIListWindow* list, int row) {
    TVL_TRACE("RunWSIAddEditProduct");
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    WSIDatabase* db = app && app->GetHostApplication() ? app->GetHostDb() : nullptr;
    if (!db)
        return false;
    DBProduct table(db);
    table.InitRecord();
    table.data.Product = product;
    if (!table.GetEqual(__FILE__, __LINE__))
        return false;
    WSIAddEditProduct screen(list ? static_cast<QWidget*>(list) : nullptr, 25014, &table,
                             app->GetHostApplication());
    if (WSIRunModal(screen) == id::OK && list && row != -1)
        list->RefreshRow(row, [&](int r) {
            // Not make_shared: its type tag would be a unique symbol that keeps the module
            // loaded after the host closes it.
            list->Model()->SetRowData(r, WSIRowData(std::shared_ptr<WSIProduct::WSIData>(
                                             new WSIProduct::WSIData(table.data))));
            return true;
        });
    return true;
}

// The host's "Product report..." menu entry: the product report screen over parent (the
// host's main window when null). False while no host is attached.
extern "C" TVL_MODULE_EXPORT bool RunWSIProductReport(WSIWindow* parent, bool preview) {
    TVL_TRACE("RunWSIProductReport");
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    return app && RunProductReport(*app, parent, preview);
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
