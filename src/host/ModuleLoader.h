#pragma once

#include <string>

class WSIDllHandler;

// The inventory module loaded with dlopen. The library stays loaded while this object
// lives; windows the module created must be gone before it is destroyed.
class ModuleLoader {
public:
    ModuleLoader() = default;
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Loads the library and asks it for its handler; false with problem set (the loader's
    // own words) when the file is missing, is not a module or gives no handler.
    bool Load(const std::string& path, std::string& problem);
    void Unload();
    WSIDllHandler* Handler() const { return handler_; }
    // An exported entry point of the loaded module; null when it has none.
    void* Symbol(const char* name) const;

    // libInventory.so beside the program: TAVEL_MODULE, else ../lib of the program's folder.
    static std::string DefaultPath(const std::string& programDir);

private:
    void* handle_ = nullptr;
    WSIDllHandler* handler_ = nullptr;
};
