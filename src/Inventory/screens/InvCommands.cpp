#include "InvCommands.h"

#include "BIException.h"
#include "BIInvAdj.h"
#include "BIInventory.h"
#include "BoundedFormat.h"
#include "CatalogueCommands.h"
#include "CommandParameters.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "HostWindow.h"
#include "MessageStyle.h"
#include "ProductLookups.h"
#include "Trace.h"
#include "WSIDatabase.h"
#include "WSIInvCsvImportDialog.h"
#include "WSIInvExpiryWatchDialog.h"
#include "WSIInventoryApp.h"
#include "WSIInventoryDialog.h"
#include "WSIInventoryMDI.h"
#include "WSIProductDialog.h"
#include "WSIProfile.h"
#include "WSIVendorDialog.h"

#include <QMdiArea>

#include <cstring>

namespace {
// The request's codes may fill their field without a terminator; never read past it.
template <std::size_t N> void CopyCode(char (&out)[N], const char (&in)[N]) {
    std::size_t n = strnlen(in, N - 1);
    std::memcpy(out, in, n);
    out[n] = '\0';
}

constexpr unsigned kScreenTooNarrowMessage = 30832;
constexpr int kInventoryTemplate = 25000;
constexpr int kVendorsTemplate = 25009;
constexpr int kProductsTemplate = 25013;

// A screen or command that writes: the lists of an open inventory window, which may still
// be reading on this connection, finish before anything is written.
void CompleteOpenFills(WSIInventoryApp& app) {
    if (WSIInventoryMDI* open = app.InventoryWindow)
        if (WSIInventoryDialog* screen = open->Client())
            screen->CompleteFills();
}
} // namespace

bool CmInventory(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmInventory");
    if (WSIInventoryMDI* open = app.InventoryWindow) {
        open->showNormal();
        open->setFocus();
        return true;
    }
    const int x = app.GetInvXSize();
    const int y = app.GetInvYSize();
    WSIApplication* host = app.GetHostApplication();
    if (x < WSIInventoryApp::kMinInvWidth) {
        char text[512] = "";
        if (host)
            host->LoadString(kScreenTooNarrowMessage, text, sizeof text);
        app.ShowModuleMessage(app.GetHostMainWindow(), text, "", mb::OK | mb::ICONINFORMATION);
        return true;
    }
    WSIWindow* mainWindow = app.GetHostMainWindow();
    if (!host || !mainWindow)
        return false;
    auto* main = static_cast<WSIQtMainWindow*>(mainWindow);
    QMdiArea* client = main->MdiClient();
    if (!client)
        return false;

    auto* screen = new WSIInventoryDialog(main->Widget(), host, kInventoryTemplate);
    screen->SetDefaultResolution(x - host->MdiXOffset(), y - host->MdiYOffset(), 84.0);
    char title[40];
    TVL_FORMAT(title, "%s", "Inventory");
    auto* window = new WSIInventoryMDI(app, cmd::Inventory, title, screen);
    client->addSubWindow(window);
    window->resize(x, y);
    // A window that already fills the screen in one direction gains nothing from maximising.
    if (host->WorkAreaWidth() == x || host->ScreenHeight() == y)
        window->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint);
    window->show();
    window->setFocus();
    return true;
}

bool CmProducts(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmProducts");
    auto* request = static_cast<ProductLookupRequest*>(app.CommandParameter);
    WSIApplication* host = app.GetHostApplication();
    WSIDatabase* db = host ? app.GetHostDb() : nullptr;
    if (request)
        request->Product = 0;
    if (!db)
        return true;
    QWidget* parent = WidgetOf(app.GetHostMainWindow());
    if (!request) {
        DBProduct table(db);
        table.InitRecord();
        WSIProductDialog screen(parent, kProductsTemplate, &table, host, false);
        WSIRunModal(screen);
        return true;
    }
    char code[sizeof request->BarCode];
    CopyCode(code, request->BarCode);
    request->Product =
        static_cast<std::int32_t>(tavel::products::LookUpBarCode(parent, host, code));
    return true;
}

bool CmVendors(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmVendors");
    WSIApplication* host = app.GetHostApplication();
    WSIDatabase* db = host ? app.GetHostDb() : nullptr;
    if (!db)
        return true;
    DBVendor table(db);
    table.InitRecord();
    WSIVendorDialog screen(WidgetOf(app.GetHostMainWindow()), kVendorsTemplate, &table, host,
                           false);
    WSIRunModal(screen);
    return true;
}

bool CmPerformAdjustment(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmPerformAdjustment");
    auto* request = static_cast<const AdjustmentRequest*>(app.CommandParameter);
    WSIDatabase* db = app.GetHostApplication() ? app.GetHostDb() : nullptr;
    if (!request || !db)
        return true;
    char invLoc[7];
    char invAdj[7];
    CopyCode(invLoc, request->InvLoc);
    CopyCode(invAdj, request->InvAdj);
    CompleteOpenFills(app);
    BIInvAdj adjust(db);
    try {
        adjust.Adjust(invLoc, request->Type, static_cast<long>(request->Product), request->Quantity,
                      invAdj, false, true, true, 0, 0, 0, nullptr, 0);
    } catch (...) {
        // The adjustment leaves its unit of work to its caller when it fails: abort it here,
        // so that nothing stays open or half written after a refused request.
        if (db->TransactionLevel() > 0)
            db->TransactionAbort();
    }
    return true;
}

bool CmExpiryWatch(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmExpiryWatch");
    WSIApplication* host = app.GetHostApplication();
    if (!host || !app.GetHostDb())
        return true;
    CompleteOpenFills(app);
    std::string location;
    if (WSIProfile* profile = host->GetProfile())
        location = profile->GetString("Inventory", "Location", "");
    location.erase(location.find_last_not_of(' ') + 1);
    WSIInvExpiryWatchDialog screen(WidgetOf(app.GetHostMainWindow()), host, location);
    WSIRunModal(screen);
    return true;
}

bool CmCsvImport(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmCsvImport");
    WSIApplication* host = app.GetHostApplication();
    if (!host || !app.GetHostDb())
        return true;
    CompleteOpenFills(app);
    WSIInvCsvImportDialog screen(WidgetOf(app.GetHostMainWindow()), host);
    WSIRunModal(screen);
    return true;
}

void RegisterInventoryCommands(WSIInventoryApp& app) {
    TVL_TRACE("RegisterInventoryCommands");
    WSIResponseTable& table = app.GetResponseTable();
    table.AddCommand(cmd::Inventory, [&app] { return CmInventory(app); });
    RegisterCatalogueCommands(app);
    table.AddCommand(cmd::Products, [&app] { return CmProducts(app); });
    table.AddCommand(cmd::Vendors, [&app] { return CmVendors(app); });
    table.AddCommand(cmd::PerformAdjustment, [&app] { return CmPerformAdjustment(app); });
    table.AddCommand(cmd::ExpiryWatch, [&app] { return CmExpiryWatch(app); });
    table.AddCommand(cmd::CsvImport, [&app] { return CmCsvImport(app); });
}
