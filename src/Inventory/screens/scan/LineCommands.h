#pragma once

// Pieces the list scan screens share around their buttons: the line commands on the
// list's context menu, and the Close button at the end of the button row.

#include <QString>

#include <utility>
#include <vector>

class QBoxLayout;
class QPushButton;
class WSIDialog;
class WSIListWindow;

namespace tavel::scan {

// Right-clicking the list offers these commands (id, text), each enabled as the screen's
// command is at that moment.
void InstallLineMenu(WSIDialog* screen, WSIListWindow* list,
                     std::vector<std::pair<int, QString>> commands);

// The Close button (the screen's Cancel command) after a stretch at the end of row.
QPushButton* AddCloseButton(WSIDialog* screen, QBoxLayout* row);

} // namespace tavel::scan
