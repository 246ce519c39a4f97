#pragma once

#include <string>

namespace tavel {

// Folder for per-workstation files (warning log, profile, default database).
// TAVEL_DATA_DIR wins; otherwise $XDG_DATA_HOME/tavel or ~/.local/share/tavel.
// The folder is created on first use.
std::string DataDir();

// Folder holding the installed resources (strings/, reports/). TAVEL_RESOURCES wins;
// otherwise the resources folder of the source tree the program was built from.
std::string ResourceDir();

} // namespace tavel
