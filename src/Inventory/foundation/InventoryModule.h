#pragma once

class WSIInventoryApp;

// Lifetime of the module's single handler. The library's load and unload notifications
// call ModuleAttach and ModuleDetach; the first attach creates the handler, the last
// detach destroys it. Core code reaches the handler through CurrentInventoryApp.
namespace tavel {

void ModuleAttach();
void ModuleDetach();
int ModuleAttachCount();

// The module's handler, or null while the module is not attached.
WSIInventoryApp* CurrentInventoryApp();

} // namespace tavel
