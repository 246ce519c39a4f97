#pragma once

#include <QMdiSubWindow>

class WSIInventoryApp;
class WSIInventoryDialog;

// The MDI child that holds the main inventory screen. There is at most one: it records
// itself in the handler's InventoryWindow while it exists, so that a second inventory
// command brings it forward instead of opening another.
class WSIInventoryMDI : public QMdiSubWindow {
    Q_OBJECT
public:
    WSIInventoryMDI(WSIInventoryApp& app, long commandId, const char* title,
                    WSIInventoryDialog* client);
    ~WSIInventoryMDI() override;

    WSIInventoryDialog* Client() const { return client_; }
    long CommandId() const { return commandId_; }

protected:
    // Message 3025 from the host reaches the screen's update handler.
    bool event(QEvent* e) override;
    // Closing the window ends the screen in it.
    void closeEvent(QCloseEvent* e) override;

private:
    WSIInventoryApp& app_;
    WSIInventoryDialog* client_;
    long commandId_;
};
