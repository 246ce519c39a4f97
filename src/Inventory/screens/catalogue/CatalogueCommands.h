#pragma once

// The module commands that open the catalogue maintenance screens modally over the
// host's main window, and the product report's opener.

class WSIInventoryApp;
class WSIWindow;

// Binds commands 36002, 36003, 36005, 36007, 36008 and 36010 in the handler's response
// table.
void RegisterCatalogueCommands(WSIInventoryApp& app);

bool CmLocations(WSIInventoryApp& app);
bool CmUnits(WSIInventoryApp& app);
bool CmProdTypes(WSIInventoryApp& app);
bool CmOrderTypes(WSIInventoryApp& app);
bool CmAdjustments(WSIInventoryApp& app);
bool CmSetup(WSIInventoryApp& app);

// Runs the product report screen over parent (the host's main window when null); preview
// decides what its OK does. False without a host.
bool RunProductReport(WSIInventoryApp& app, WSIWindow* parent, bool preview);
