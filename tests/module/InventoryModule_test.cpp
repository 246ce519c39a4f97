#include "WSIDllHandler.h"
#include "WSIInventoryApp.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

using GetDllHandlerFn = WSIDllHandler* (*)();

// One dlopen of the built module; closed by the test or at the end of scope.
class LoadedModule {
public:
    LoadedModule() : handle_(dlopen(TAVEL_INVENTORY_MODULE, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedModule() { Close(); }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    void* Handle() const { return handle_; }
    void Close() {
        if (handle_)
            dlclose(handle_);
        handle_ = nullptr;
    }
    // The handler as the host sees it; the module's handler is a WSIInventoryApp.
    WSIInventoryApp* Handler() const {
        auto fn = reinterpret_cast<GetDllHandlerFn>(dlsym(handle_, "GetDllHandler"));
        return fn ? static_cast<WSIInventoryApp*>(fn()) : nullptr;
    }

private:
    void* handle_;
};

bool StillLoaded() {
    void* h = dlopen(TAVEL_INVENTORY_MODULE, RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

TEST(InventoryModule, OnlyEntryPointsAreExported) {
    LoadedModule module;
    ASSERT_NE(module.Handle(), nullptr) << dlerror();
    EXPECT_NE(dlsym(module.Handle(), "GetDllHandler"), nullptr);
    // The module's copy of the framework and core must not bind to the host's.
    for (const char* hidden : {"_Z23ExceptionHelperFunctionPKciS0_i", "_ZN5tavel12ModuleAttachEv",
                               "_ZN5tavel19CurrentInventoryAppEv", "_ZN13WSIDllHandler7InitAppEl"})
        EXPECT_EQ(dlsym(module.Handle(), hidden), nullptr) << hidden;
}

// The first load and a load after the last close both start from the initial settings.
TEST(InventoryModule, Reload_AfterLastClose_GivesFreshHandler) {
    {
        LoadedModule module;
        ASSERT_NE(module.Handle(), nullptr) << dlerror();
        ASSERT_NE(module.Handler(), nullptr);
        EXPECT_EQ(module.Handler()->GetMaxQuantityAllowed(), 9999u);
        module.Handler()->SetMinProductLength(3);
        EXPECT_EQ(module.Handler()->GetMaxQuantityAllowed(), 99u);
        module.Close();
        EXPECT_FALSE(StillLoaded());
    }
    LoadedModule again;
    WSIInventoryApp* app = again.Handler();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->GetMinProductLength(), 6u);
    EXPECT_EQ(app->GetMaxQuantityAllowed(), 9999u);
    EXPECT_EQ(app->GetMaxDigitForQuantity(), 5u);
}

TEST(InventoryModule, SecondOpen_KeepsHandlerUntilLastClose) {
    LoadedModule first;
    LoadedModule second;
    WSIInventoryApp* app = first.Handler();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(second.Handler(), app);
    app->SetMinProductLength(4);
    first.Close();
    ASSERT_TRUE(StillLoaded());
    EXPECT_EQ(second.Handler(), app);
    EXPECT_EQ(second.Handler()->GetMaxQuantityAllowed(), 999u);
}

} // namespace
