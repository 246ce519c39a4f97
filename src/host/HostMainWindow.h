#pragma once

#include "HostWindow.h"

#include <QMainWindow>

#include <map>

class QAction;
class QMdiArea;
class TavelHost;

// The host's main window: an MDI client for the module's windows and the "Inventory" menu
// whose entries run the module's commands.
class HostMainWindow : public QMainWindow, public WSIQtMainWindow {
    Q_OBJECT
public:
    explicit HostMainWindow(TavelHost& host);
    ~HostMainWindow() override;

    QWidget* Widget() override { return this; }
    QMdiArea* MdiClient() override { return mdi_; }
    // Icon 10142 is the inventory window's; other ids have none.
    QIcon Icon(int resourceId) override;

    // The menu entry of a command id; null when the menu has none.
    QAction* CommandAction(long commandId) const;
    // Shows a line in the status bar.
    void Say(const QString& text);

private:
    void BuildMenus();
    void LookUpBarCode();

    TavelHost& host_;
    QMdiArea* mdi_;
    std::map<long, QAction*> actions_;
    QIcon inventoryIcon_;
};
