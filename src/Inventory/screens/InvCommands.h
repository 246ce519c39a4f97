#pragma once

class WSIInventoryApp;

// Fills the handler's response table with the commands whose work exists. A command
// without an entry is not handled: the host reports that itself.
void RegisterInventoryCommands(WSIInventoryApp& app);

// Command 36009: runs the adjustment described by the AdjustmentRequest in the handler's
// CommandParameter. Every failure is swallowed (the caller is another module that wants
// no message), but the unit of work is always closed.
bool CmPerformAdjustment(WSIInventoryApp& app);
