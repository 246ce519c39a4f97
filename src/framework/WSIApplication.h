#pragma once

// The host application as the module sees it. The host implements it with Qt; tests
// implement it with a scripted fake. Everything the core needs from the host goes
// through here, so that the core never includes a user-interface header.

#include "MessageStyle.h"

class WSIDatabase;
class WSIReportEngine;

// Opaque handle of a host window (a screen, the main window). The core only passes
// it back to the host.
class WSIWindow {
public:
    virtual ~WSIWindow() = default;
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
    virtual void ProductRefresh(int sourceId, long product) {
        (void)sourceId;
        (void)product;
    }
};
