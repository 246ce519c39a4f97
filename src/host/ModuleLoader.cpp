#include "ModuleLoader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

ModuleLoader::~ModuleLoader() {
    Unload();
}

bool ModuleLoader::Load(const std::string& path, std::string& problem) {
    Unload();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        problem = "no file " + path;
        return false;
    }
    // Local binding: the module's own copy of the framework must not mix with the host's.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = dlerror();
        problem = why ? why : path;
        return false;
    }
    using GetDllHandlerFn = WSIDllHandler* (*)();
    auto fn = reinterpret_cast<GetDllHandlerFn>(dlsym(handle_, "GetDllHandler"));
    handler_ = fn ? fn() : nullptr;
    if (!handler_) {
        problem = path + " is not the inventory module (no GetDllHandler)";
        Unload();
        return false;
    }
    return true;
}

void* ModuleLoader::Symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

void ModuleLoader::Unload() {
    handler_ = nullptr;
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
}

std::string ModuleLoader::DefaultPath(const std::string& programDir) {
    if (const char* env = std::getenv("TAVEL_MODULE"); env && *env)
        return env;
    return (std::filesystem::path(programDir) / ".." / "lib" / "libInventory.so")
        .lexically_normal()
        .string();
}
