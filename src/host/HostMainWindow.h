#pragma once

#include "HostWindow.h"

#include <QMainWindow>

#include <map>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class TavelHost;

// The host's main window: an MDI client for the module's windows, the "Inventory" menu
// whose entries run the module's commands, a Window and a Help menu, and a status bar
// that says who is signed in, on which database, at which location.
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
    // At sign-in: when the workstation's location holds lots that expire within 30 days
    // (or have expired), one status-bar line says how many. Nothing otherwise.
    void ShowExpiryNotice();
    // Reads the user, database and workstation location again into the status bar.
    void RefreshStatus();
    // The About box's text: program, schema and library versions.
    QString AboutText() const;
    // Puts the window where it was when it last closed; false when the profile has no
    // position yet (the caller decides the first size).
    bool RestorePlacement();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildWindowMenu();
    void FillWindowMenu();
    void BuildStatusBar();
    void ShowAbout();
    void LookUpBarCode();

    TavelHost& host_;
    QMdiArea* mdi_;
    std::map<long, QAction*> actions_;
    QIcon inventoryIcon_;
    QMenu* windowMenu_ = nullptr;
    QLabel* userLabel_ = nullptr;
    QLabel* databaseLabel_ = nullptr;
    QLabel* locationLabel_ = nullptr;
};
