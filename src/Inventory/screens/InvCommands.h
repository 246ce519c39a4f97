#pragma once

class WSIInventoryApp;

// Fills the handler's response table with the module's menu commands 36001-36010. A
// command without an entry is not handled: the host reports that itself.
void RegisterInventoryCommands(WSIInventoryApp& app);

// Command 36001: opens the inventory window, or brings the open one forward. When the
// screen cannot be at least 1024 pixels wide, message 30832 says so and nothing opens.
bool CmInventory(WSIInventoryApp& app);

// Command 36006: product maintenance. With a ProductLookupRequest as CommandParameter, a
// bar code that is one product's code or UPC code is answered at once; one that begins
// several products' UPC codes opens the product search on it for the user to pick. The
// product id (0 when none) is written back into the request.
bool CmProducts(WSIInventoryApp& app);

// Command 36004: vendor maintenance.
bool CmVendors(WSIInventoryApp& app);

// Command 36009: runs the adjustment described by the AdjustmentRequest in the handler's
// CommandParameter. Every failure is swallowed (the caller is another module that wants
// no message), but the unit of work is always closed.
bool CmPerformAdjustment(WSIInventoryApp& app);

// Command 36020: the expiry watch, on the workstation's location (profile "Inventory",
// "Location") when it has one.
bool CmExpiryWatch(WSIInventoryApp& app);

// Command 36021: import of a catalogue list or counts from a CSV file.
bool CmCsvImport(WSIInventoryApp& app);
