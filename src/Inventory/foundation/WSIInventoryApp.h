#pragma once

#include "SuiteOptions.h"
#include "WSIDllHandler.h"

#include <cstdint>
#include <memory>

class WSIInventoryMDI;
class WSIWindow;

// The inventory module's handler: what the host initialises and runs commands through,
// and the holder of the module-wide settings that table rules, business operations and
// screens read (minimum product-code length and the quantity limits derived from it).
class WSIInventoryApp : public WSIDllHandler {
public:
    static constexpr int kMinInvWidth = 1024;
    static constexpr int kMinInvHeight = 768;

    WSIInventoryApp();
    ~WSIInventoryApp() override;

    // Stores the user and applies the suite options' product-code length when a record exists.
    void InitApp(long user) override;

    long GetCurrentUser() const;
    unsigned GetMinProductLength() const;
    // Sets the minimum product-code length and derives the quantity limits from it.
    void SetMinProductLength(unsigned length);
    unsigned GetMaxQuantityAllowed() const;
    unsigned GetMaxDigitForQuantity() const;

    // Size of the inventory window: at least 1024 by 768 when the screen allows.
    int GetInvXSize();
    int GetInvYSize();

    // The module's message box through the host's prompt service; returns the answer
    // (0 without a host).
    int ShowModuleMessage(WSIWindow* parent, const char* text, const char* caption, unsigned style);

    // Replaces the source of the suite options (the default finds no record).
    void SetSuiteOptions(std::unique_ptr<SuiteOptions> options);

    // The open inventory window; set and cleared by the window itself.
    WSIInventoryMDI* InventoryWindow = nullptr;

private:
    std::int32_t currentUser_ = 0;
    std::int16_t minProductLength_ = 6;
    std::int16_t maxQuantityAllowed_ = 9999;
    std::int16_t maxDigitForQuantity_ = 5;
    std::unique_ptr<SuiteOptions> options_;
};
