#include "InventoryWindowDriver.h"

#include "HostMainWindow.h"

#include <QAbstractItemModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace tavelhost {

namespace {
// The tab widget of the inventory screen (the only one in the window).
QTabWidget* Tabs(QWidget* inventory) {
    return inventory ? inventory->findChild<QTabWidget*>() : nullptr;
}
} // namespace

QMdiSubWindow* FindInventoryWindow(HostMainWindow& window) {
    for (QMdiSubWindow* child : window.MdiClient()->subWindowList())
        if (child->objectName() == QStringLiteral("WSIInventoryMDI"))
            return child;
    return nullptr;
}

bool ClickCommand(QWidget* inventory, const QString& label) {
    if (!inventory)
        return false;
    // The list views are screens of their own with buttons of their own: only the
    // window's command row counts, which lies outside the tabs.
    QTabWidget* tabs = Tabs(inventory);
    for (QPushButton* button : inventory->findChildren<QPushButton*>()) {
        if (tabs && tabs->isAncestorOf(button))
            continue;
        if (QString(button->text()).remove(QLatin1Char('&')) != label)
            continue;
        if (!button->isEnabled())
            return false;
        button->click();
        return true;
    }
    return false;
}

bool SelectTab(QWidget* inventory, int tab) {
    QTabWidget* tabs = Tabs(inventory);
    if (!tabs || tab < 0 || tab >= tabs->count())
        return false;
    tabs->setCurrentIndex(tab);
    return true;
}

QAbstractItemModel* TabRows(QWidget* inventory, int tab) {
    QTabWidget* tabs = Tabs(inventory);
    QWidget* page = tabs ? tabs->widget(tab) : nullptr;
    auto* view = page ? page->findChild<QTableView*>() : nullptr;
    return view ? view->model() : nullptr;
}

int ColumnOf(const QAbstractItemModel& rows, const QString& heading) {
    for (int c = 0; c < rows.columnCount(); ++c)
        if (rows.headerData(c, Qt::Horizontal).toString() == heading)
            return c;
    return -1;
}

int RowOf(const QAbstractItemModel& rows, int column, const QString& text) {
    for (int r = 0; r < rows.rowCount(); ++r)
        if (Cell(rows, r, column).trimmed() == text)
            return r;
    return -1;
}

QString Cell(const QAbstractItemModel& rows, int row, int column) {
    return rows.index(row, column).data().toString();
}

} // namespace tavelhost
