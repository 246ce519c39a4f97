#pragma once

// How the module reaches the host's Qt windows. The host's main window and screens
// derive from these, and the module turns the WSIWindow* the host hands it back with a
// static_cast: the module and the host each link their own copy of uikit, so type
// information is not shared between them and only virtual calls cross the boundary.

#include "WSIApplication.h"

#include <QEvent>
#include <QIcon>

class QMdiArea;
class QWidget;

class WSIQtWindow : public WSIWindow {
public:
    virtual QWidget* Widget() = 0;
};

class WSIQtMainWindow : public WSIQtWindow {
public:
    // The MDI client that holds the inventory window.
    virtual QMdiArea* MdiClient() = 0;
    // The host's icon resource of that id; a null icon when the host has none.
    virtual QIcon Icon(int resourceId) {
        (void)resourceId;
        return QIcon();
    }
};

inline QWidget* WidgetOf(WSIWindow* window) {
    return window ? static_cast<WSIQtWindow*>(window)->Widget() : nullptr;
}

// A host message delivered to a window as a Qt event (message 3025 to the inventory
// window). The event type is fixed so both copies of uikit agree on it.
class HostMessageEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 3025);
    HostMessageEvent(unsigned msg, long source, long id)
        : QEvent(kType), msg_(msg), source_(source), id_(id) {}
    unsigned Message() const { return msg_; }
    long Source() const { return source_; }
    long Id() const { return id_; }

private:
    unsigned msg_;
    long source_;
    long id_;
};
