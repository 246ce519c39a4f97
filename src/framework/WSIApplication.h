#pragma once

// The host application as the module sees it. The host implements it with Qt; tests
// implement it with a scripted fake. Everything the core needs from the host goes
// through here, so that the core never includes a user-interface header.

#include "MessageStyle.h"

#include <map>
#include <string>

class WSIDatabase;
class WSIReportEngine;
class WSIProfile;

// Opaque handle of a host window (a screen, the main window). The core only passes
// it back to the host.
class WSIWindow {
public:
    virtual ~WSIWindow() = default;
};

// Usage statistics of the host: what staff did, appended to the host's log.
class UsageTracker {
public:
    virtual ~UsageTracker() = default;
    virtual void TrackEvent(int a, int b, int c, int d,
                            const std::map<std::string, std::string>& properties) = 0;
};

// Messages a screen sends to the host main window (SendMainWindowMessage).
namespace hostmsg {
inline constexpr unsigned kUpdateInfo = 3025; // update notification to the inventory window
inline constexpr unsigned kPrintList = 2035;  // param: PrintListRequest*
inline constexpr unsigned kCityPicker = 2050; // param: char[] in/out, the chosen city
inline constexpr unsigned kProvincePicker = 2051;
inline constexpr unsigned kPlaySound = 2193;    // param: SoundKind cast to void*
inline constexpr unsigned kLocationLink = 2358; // param: the location code (char*)
} // namespace hostmsg

enum class SoundKind { Success = 0, Error = 1, Notice = 2 };

// Message 2035: the host prints the list a view hands it. view and list are the
// sender's own objects (the host reads the rows through the list window).
struct PrintListRequest {
    void* view = nullptr;
    void* list = nullptr;
    const char* title = nullptr;
};

class WSIApplication {
public:
    virtual ~WSIApplication() = default;

    // String table: copies the text of code into buf (size with terminator), cut to
    // fit; a code without text leaves "". Returns the characters copied.
    virtual int LoadString(unsigned code, char* buf, int size) const = 0;

    // The database connection the host owns; may be null before sign-in.
    virtual WSIDatabase* GetDb() { return nullptr; }
    virtual WSIWindow* GetMainWindow() { return nullptr; }
    // Report engine for printed documents; null when the host cannot print.
    virtual WSIReportEngine* GetCrystalEngine() { return nullptr; }

    // Prompt service: every message box goes through here. style combines mb:: flags;
    // the answer is one of id::OK, id::CANCEL, id::YES, id::NO.
    virtual int MessageBox(WSIWindow* parent, const char* text, const char* caption,
                           unsigned style) = 0;

    // Screen metrics used by the module's size rule.
    virtual int DefaultMDIWidth() const { return 1024; }
    virtual int DefaultMDIHeight() const { return 768; }
    virtual int WorkAreaWidth() const { return 1280; }
    virtual int ScreenHeight() const { return 1024; }

    // Warning screen by resource template id (25139, ...), owned by owner. The answer is
    // id::OK when the user confirms; a host without warning screens declines.
    virtual int WarnDialog(WSIWindow* owner, int templateId) {
        (void)owner;
        (void)templateId;
        return id::CANCEL;
    }

    // Product-refresh notification: a business operation changed stock of product.
    // The host passes it on to the open inventory window as message 3025.
    virtual void ProductRefresh(int sourceId, long product) {
        (void)sourceId;
        (void)product;
    }
    // General update notification (message 3025): sourceId is the template id of the
    // screen that changed data, id a record id or -1 for all records.
    virtual void NotifyUpdate(int sourceId, long id) {
        (void)sourceId;
        (void)id;
    }
    // Messages 2035, 2050, 2051, 2193, 2358 to the host main window; 0 when not handled.
    virtual long SendMainWindowMessage(unsigned msg, void* param) {
        (void)msg;
        (void)param;
        return 0;
    }

    // Per-workstation settings (sections "Inventory", "Dialog", "ListWindow"); null
    // when the host keeps none, and callers then use their defaults.
    virtual WSIProfile* GetProfile() { return nullptr; }
    virtual UsageTracker* GetUsageTracker() { return nullptr; }

    // User rights of the signed-in user. Right 14 approves orders.
    virtual bool CanApprove(int right) const {
        (void)right;
        return true;
    }
    // Whether the right's restricted approval keeps the signed-in user from approving what
    // creatingUser created (an approver may be barred from approving their own orders).
    virtual bool RestrictedApprovalDenied(int right, long creatingUser) const {
        (void)right;
        (void)creatingUser;
        return false;
    }
    // The host may keep a user from a context-menu command of a screen.
    virtual bool IsCommandRestricted(int menuId, int commandId) const {
        (void)menuId;
        (void)commandId;
        return false;
    }
    // How the host writes dates: 1 month first (the suite's own order), any other value
    // day first.
    virtual int DateFormat() const { return 1; }
    // MDI offsets of the host main window, subtracted from the default child size.
    virtual int MdiXOffset() const { return 0; }
    virtual int MdiYOffset() const { return 0; }
};
