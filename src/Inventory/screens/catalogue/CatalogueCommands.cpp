#include "CatalogueCommands.h"

#include "CommandParameters.h"
#include "DBInvAdj.h"
#include "DBInvLoc.h"
#include "DBInvOType.h"
#include "DBPrdType.h"
#include "DBPrdUnit.h"
#include "HostWindow.h"
#include "Trace.h"
#include "WSICodeTableDialogs.h"
#include "WSIInvOrderTypesDialog.h"
#include "WSIInvSetupDialog.h"
#include "WSIInventoryApp.h"
#include "WSIInventoryLocationsDialog.h"
#include "WSIProductReportDialog.h"

namespace {

// A maintenance screen over its own table object on the host's connection, run modally
// and destroyed with its table when it closes.
template <class Screen, class Table> bool RunMaintenance(WSIInventoryApp& app) {
    WSIApplication* host = app.GetHostApplication();
    WSIDatabase* db = host ? app.GetHostDb() : nullptr;
    if (!db)
        return false;
    Table table(db);
    table.InitRecord();
    Screen screen(WidgetOf(app.GetHostMainWindow()), host, &table);
    screen.Execute();
    return true;
}

} // namespace

bool CmLocations(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmLocations");
    return RunMaintenance<WSIInventoryLocationsDialog, DBInvLoc>(app);
}

bool CmUnits(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmUnits");
    return RunMaintenance<WSIUnitsDialog, DBPrdUnit>(app);
}

bool CmProdTypes(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmProdTypes");
    return RunMaintenance<WSIProductTypesDialog, DBPrdType>(app);
}

bool CmOrderTypes(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmOrderTypes");
    return RunMaintenance<WSIInvOrderTypesDialog, DBInvOType>(app);
}

bool CmAdjustments(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmAdjustments");
    return RunMaintenance<WSIInvAdjCodesDialog, DBInvAdj>(app);
}

bool CmSetup(WSIInventoryApp& app) {
    TVL_TRACE("WSIInventoryApp::CmSetup");
    WSIApplication* host = app.GetHostApplication();
    if (!host)
        return false;
    WSIInvSetupDialog screen(WidgetOf(app.GetHostMainWindow()), host);
    screen.Execute();
    return true;
}

bool RunProductReport(WSIInventoryApp& app, WSIWindow* parent, bool preview) {
    TVL_TRACE("RunProductReport");
    WSIApplication* host = app.GetHostApplication();
    if (!host)
        return false;
    WSIProductReportDialog screen(WidgetOf(parent ? parent : app.GetHostMainWindow()),
                                  WSIProductReportDialog::kTemplate, preview, host);
    screen.Execute();
    return true;
}

void RegisterCatalogueCommands(WSIInventoryApp& app) {
    TVL_TRACE("RegisterCatalogueCommands");
    WSIResponseTable& table = app.GetResponseTable();
    table.AddCommand(cmd::Locations, [&app] { return CmLocations(app); });
    table.AddCommand(cmd::Units, [&app] { return CmUnits(app); });
    table.AddCommand(cmd::ProdTypes, [&app] { return CmProdTypes(app); });
    table.AddCommand(cmd::OrderTypes, [&app] { return CmOrderTypes(app); });
    table.AddCommand(cmd::Adjustments, [&app] { return CmAdjustments(app); });
    table.AddCommand(cmd::Setup, [&app] { return CmSetup(app); });
}
