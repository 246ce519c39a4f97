#include "WSIInventoryApp.h"

#include "MessageStyle.h"
#include "Trace.h"
#include "WSIApplication.h"

#include <algorithm>
#include <utility>

WSIInventoryApp::WSIInventoryApp() : options_(std::make_unique<SuiteOptions>()) {
    TVL_TRACE("WSIInventoryApp::WSIInventoryApp");
}

WSIInventoryApp::~WSIInventoryApp() {
    TVL_TRACE("WSIInventoryApp::~WSIInventoryApp");
}

void WSIInventoryApp::InitApp(long user) {
    TVL_TRACE("WSIInventoryApp::InitApp");
    currentUser_ = static_cast<std::int32_t>(user);
    SetHostUser(user);
    if (std::optional<int> length = options_->MinProductCodeLength(GetHostDb()))
        SetMinProductLength(static_cast<unsigned>(*length));
}

long WSIInventoryApp::GetCurrentUser() const {
    TVL_TRACE("WSIInventoryApp::GetCurrentUser");
    return currentUser_;
}

unsigned WSIInventoryApp::GetMinProductLength() const {
    TVL_TRACE("WSIInventoryApp::GetMinProductLength");
    return static_cast<std::uint16_t>(minProductLength_);
}

void WSIInventoryApp::SetMinProductLength(unsigned length) {
    TVL_TRACE("WSIInventoryApp::SetMinProductLength");
    // The setting is a 16-bit signed value wherever it is stored.
    const auto n = static_cast<std::int16_t>(length);
    minProductLength_ = n;
    // A quantity may not have as many digits as a product code, so that a scanned code
    // is never taken for a quantity.
    maxQuantityAllowed_ = n >= 5 ? 9999 : n == 4 ? 999 : 99;
    maxDigitForQuantity_ = static_cast<std::int16_t>(std::min(n - 1, 4));
}

unsigned WSIInventoryApp::GetMaxQuantityAllowed() const {
    TVL_TRACE("WSIInventoryApp::GetMaxQuantityAllowed");
    return static_cast<std::uint16_t>(maxQuantityAllowed_);
}

unsigned WSIInventoryApp::GetMaxDigitForQuantity() const {
    TVL_TRACE("WSIInventoryApp::GetMaxDigitForQuantity");
    return static_cast<std::uint16_t>(maxDigitForQuantity_);
}

int WSIInventoryApp::GetInvXSize() {
    TVL_TRACE("WSIInventoryApp::GetInvXSize");
    WSIApplication* host = GetHostApplication();
    if (!host)
        return 0;
    int width = host->DefaultMDIWidth();
    return width < kMinInvWidth && host->WorkAreaWidth() >= kMinInvWidth ? kMinInvWidth : width;
}

int WSIInventoryApp::GetInvYSize() {
    TVL_TRACE("WSIInventoryApp::GetInvYSize");
    WSIApplication* host = GetHostApplication();
    if (!host)
        return 0;
    int height = host->DefaultMDIHeight();
    return height < kMinInvHeight && host->ScreenHeight() >= kMinInvHeight ? kMinInvHeight : height;
}

int WSIInventoryApp::ShowModuleMessage(WSIWindow* parent, const char* text, const char* caption,
                                       unsigned style) {
    TVL_TRACE("WSIInventoryApp::ShowModuleMessage");
    WSIApplication* host = GetHostApplication();
    if (!host)
        return 0;
    // No caption given: the suite's name says where the box comes from. An empty one is
    // a choice (the messages of the inventory command have none).
    const char* title = caption ? caption : "Tavel";
    // The module's messages must not hide behind other windows while the host waits.
    return host->MessageBox(parent, text ? text : "", title,
                            style | mb::TASKMODAL | mb::SETFOREGROUND | mb::TOPMOST);
}

void WSIInventoryApp::SetSuiteOptions(std::unique_ptr<SuiteOptions> options) {
    TVL_TRACE("WSIInventoryApp::SetSuiteOptions");
    options_ = options ? std::move(options) : std::make_unique<SuiteOptions>();
}
