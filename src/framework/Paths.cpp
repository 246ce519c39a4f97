#include "Paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef TAVEL_RESOURCE_DIR
#define TAVEL_RESOURCE_DIR "resources"
#endif

namespace tavel {

std::string DataDir() {
    std::filesystem::path dir;
    if (const char* env = std::getenv("TAVEL_DATA_DIR"); env && *env)
        dir = env;
    else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        dir = std::filesystem::path(xdg) / "tavel";
    else if (const char* home = std::getenv("HOME"); home && *home)
        dir = std::filesystem::path(home) / ".local" / "share" / "tavel";
    else
        dir = std::filesystem::temp_directory_path() / "tavel";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir.string();
}

std::string ResourceDir() {
    if (const char* env = std::getenv("TAVEL_RESOURCES"); env && *env)
        return env;
    return TAVEL_RESOURCE_DIR;
}

} // namespace tavel
