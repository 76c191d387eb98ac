// The menus, tool bars and context menu of the main window, as data.
//
// Each row names its item (the object name), its caption and short-cut as
// the menu shows them, the hint for the status line, and the command it runs
// by name (see CommandTable). One builder turns the rows into Qt menus and
// tool bars; adding an item is adding a row.
#pragma once

#include <vector>

namespace korvane {

struct MenuRow {
    enum class Kind {
        Menu,     // a top-level menu; `command` runs each time it opens
        Submenu,  // opens a submenu of the menu above; rows up to its End go in it
        End,      // ends the innermost Menu or Submenu
        Item,     // `command` runs when it is chosen
        Separator,
    };
    Kind kind = Kind::Item;
    const char* name = "";     // object name
    const char* caption = "";  // with its access key, as the menu shows it
    const char* keys = "";     // short-cut in QKeySequence's portable form ("Ctrl+N", "Shift+F3")
    const char* command = "";  // the handler's name; "" for none
    const char* hint = "";     // status-line hint
    bool checkable = false;
};

struct ToolRow {
    const char* name = "";  // object name; "" for a separator
    const char* hint = "";  // short text, optionally "|" and the long text
    const char* command = "";
};

// Text mode's menu bar (MainMenu1), tag mode's (mmAd), the editor's context
// menu (PopupMenu1), and the two tool bars (tbMain, ToolBar1).
const std::vector<MenuRow>& textModeMenus();
const std::vector<MenuRow>& tagModeMenus();
const std::vector<MenuRow>& contextMenu();
const std::vector<ToolRow>& textModeTools();
const std::vector<ToolRow>& tagModeTools();

}  // namespace korvane
