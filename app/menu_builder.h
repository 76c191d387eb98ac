// Turns the rows of menu_rows.h into Qt menus and tool bars.
#pragma once

#include <functional>
#include <vector>

#include "app/menu_rows.h"
#include "base/command_table.h"

class QMenu;
class QPlainTextEdit;
class QObject;
class QMainWindow;
class QToolBar;
class QWidget;

namespace korvane {

// The top-level menus of one menu bar, each a child of `owner` so that it
// lives while the other mode's menus are attached. Items run their command
// from `commands` (which must outlive the menus); an item whose command is
// not registered is disabled. A menu's open command runs before it opens.
std::vector<QMenu*> buildMenus(QWidget* owner, const std::vector<MenuRow>& rows,
                               const CommandTable& commands);

// Fills a menu (the context menu) with rows of items and separators.
void fillMenu(QMenu* menu, const std::vector<MenuRow>& rows, const CommandTable& commands);

// Fills a tool bar. Buttons carry their own actions, without short-cuts, so
// that a hidden tool bar never takes a key from the mode that is shown; a
// button whose command is not registered is disabled and stays so (see
// hasCommand).
void fillToolBar(QToolBar* bar, const std::vector<ToolRow>& rows, const CommandTable& commands);

// Whether a tool button was given a command: a rule that enables a button
// must not enable one that would do nothing.
bool hasCommand(const QObject* button);

// The context menu of `editor` (a text edit) from `rows`: opened by a right
// click, and from the keyboard by Shift+F10 and the Menu key at the caret,
// as on Windows; `beforeShow` runs each time before it opens.
QMenu* attachContextMenu(QPlainTextEdit& editor, const std::vector<MenuRow>& rows,
                         const CommandTable& commands, std::function<void()> beforeShow);

// A mode's tool bar on `window`, its buttons as tight as a Windows tool bar
// of 16-pixel pictures.
QToolBar* addModeToolBar(QMainWindow* window, const char* name);

}  // namespace korvane
