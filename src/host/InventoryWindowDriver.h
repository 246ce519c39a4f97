#pragma once

// The host's way to drive and read the module's inventory window. The module's classes
// are hidden in libInventory.so, so everything goes through what Qt shows of any widget:
// the object tree, button texts, the tab widget and the list models (virtual calls only).

#include <QString>

class HostMainWindow;
class QAbstractItemModel;
class QMdiSubWindow;
class QWidget;

namespace tavelhost {

// The inventory tabs in the order the window shows them.
enum InventoryTab : int { PendingTab = 0, LevelsTab = 3 };

// The open inventory window, or null.
QMdiSubWindow* FindInventoryWindow(HostMainWindow& window);

// Clicks the enabled command button whose text (shortcut marks aside) is label, so that
// the screen runs the command bound to it (Search runs command 111). False when the
// window has no such button or it is disabled.
bool ClickCommand(QWidget* inventory, const QString& label);

// Makes tab the current one, as a click on its title does; false when there is no such tab.
bool SelectTab(QWidget* inventory, int tab);

// The rows of the list on tab, or null.
QAbstractItemModel* TabRows(QWidget* inventory, int tab);

// The column headed heading, -1 when none.
int ColumnOf(const QAbstractItemModel& rows, const QString& heading);
// The first row whose cell in column reads text, -1 when none.
int RowOf(const QAbstractItemModel& rows, int column, const QString& text);
// The text of a cell.
QString Cell(const QAbstractItemModel& rows, int row, int column);

} // namespace tavelhost
