#include "WSIInventoryMDI.h"

#include "HostWindow.h"
#include "Trace.h"
#include "WSIInventoryApp.h"
#include "WSIInventoryDialog.h"

WSIInventoryMDI::WSIInventoryMDI(WSIInventoryApp& app, long commandId, const char* title,
                                 WSIInventoryDialog* client)
    : app_(app), client_(client), commandId_(commandId) {
    TVL_TRACE("WSIInventoryMDI::WSIInventoryMDI");
    // Closing the window destroys it, which frees the handler's slot for a new one.
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("WSIInventoryMDI"));
    setWindowTitle(QString::fromUtf8(title));
    setWidget(client);
    // The host's inventory icon, at whichever size the title bar and the task list ask.
    constexpr int kInventoryIcon = 10142;
    if (WSIWindow* main = app_.GetHostMainWindow())
        setWindowIcon(static_cast<WSIQtMainWindow*>(main)->Icon(kInventoryIcon));
    app_.InventoryWindow = this;
}

WSIInventoryMDI::~WSIInventoryMDI() {
    TVL_TRACE("WSIInventoryMDI::~WSIInventoryMDI");
    if (app_.InventoryWindow == this)
        app_.InventoryWindow = nullptr;
}

bool WSIInventoryMDI::event(QEvent* e) {
    if (e->type() == HostMessageEvent::kType) {
        auto* message = static_cast<HostMessageEvent*>(e);
        if (message->Message() == hostmsg::kUpdateInfo && client_)
            client_->EvUpdateInfo(message->Source(), message->Id());
        return true;
    }
    return QMdiSubWindow::event(e);
}

void WSIInventoryMDI::closeEvent(QCloseEvent* e) {
    TVL_TRACE("WSIInventoryMDI::closeEvent");
    // An embedded screen answers a close with Cancel and stays, since it lives as long as
    // the window around it: hidden first, it lets the window close.
    if (client_)
        client_->hide();
    QMdiSubWindow::closeEvent(e);
}
