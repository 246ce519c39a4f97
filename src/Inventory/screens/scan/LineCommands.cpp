#include "LineCommands.h"

#include "WSIDialog.h"
#include "WSIListWindow.h"

#include <QBoxLayout>
#include <QMenu>
#include <QPushButton>

namespace tavel::scan {

void InstallLineMenu(WSIDialog* screen, WSIListWindow* list,
                     std::vector<std::pair<int, QString>> commands) {
    QObject::connect(list, &WSIListWindow::contextMenuRequested, screen,
                     [screen, commands = std::move(commands)](const QPoint& pos, int) {
                         QMenu menu(screen);
                         for (const auto& [id, text] : commands) {
                             QAction* action = menu.addAction(text);
                             action->setEnabled(screen->IsCommandEnabled(id));
                             QObject::connect(action, &QAction::triggered, screen,
                                              [screen, id = id] { screen->DoCommand(id); });
                         }
                         menu.exec(pos);
                     });
}

QPushButton* AddCloseButton(WSIDialog* screen, QBoxLayout* row) {
    row->addStretch();
    QPushButton* close = screen->AddCommandButton(cm::Cancel, QObject::tr("Close"));
    close->setObjectName("close");
    row->addWidget(close);
    return close;
}

} // namespace tavel::scan
