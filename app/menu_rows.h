// The menus, tool bars and context menu of the main window, as data.
//
// Each row names its item (the object name), its caption and short-cut as
// the menu shows them (a tool button: its picture), the hint for the status
// line, and the command it runs by name (see CommandTable). One builder
// turns the rows into Qt menus and tool bars; adding an item is adding a row.
#pragma once

#include <vector>

namespace korvane {

struct MenuRow {
    enum class Kind {
        Menu,     // a top-level menu; `command` runs each time it opens
        Submenu,  // opens a submenu of the menu above; rows up to its End go in it
                  // (a named one without rows is filled by the window as it opens)
        End,      // ends the innermost Menu or Submenu
        Item,     // `command` runs when it is chosen
        Separator,
    };
    Kind kind = Kind::Item;
    const char* name = "";     // object name
    const char* caption = "";  // with its access key, as the menu shows it
    // Short-cut in QKeySequence's portable form ("Ctrl+N", "Shift+F3");
    // several are separated by "; ", the first is the one the menu shows.
    const char* keys = "";
    const char* command = "";  // the handler's name; "" for none
    const char* hint = "";     // status-line hint
    bool checkable = false;
};

// A tool button's picture: the desktop's icon theme's where it has one,
// else the style's, else a small one drawn by the program, so that every
// button shows something on any desktop.
struct ToolIcon {
    enum class Standard { None, File, Open, Save, Preview, Back, Up, Down };
    enum class Drawn { None, Glyph, AlignLeft, AlignCenter, AlignRight };
    static constexpr unsigned kBold = 1, kItalic = 2, kUnderline = 4, kStrike = 8;

    const char* theme = "";        // "" for none
    const char* secondTheme = "";  // tried when the first is missing
    Standard standard = Standard::None;
    Drawn drawn = Drawn::None;
    const char* glyph = "";  // Drawn::Glyph: a letter or two (UTF-8)
    unsigned face = 0;       // Drawn::Glyph: kBold | kItalic | ...
};

struct ToolRow {
    const char* name = "";  // object name; "" for a separator
    const char* hint = "";  // short text, optionally "|" and the long text
    const char* command = "";
    ToolIcon icon;
};

// Text mode's menu bar (MainMenu1), tag mode's (mmAd), the editor's context
// menu (PopupMenu1), and the two tool bars (tbMain, ToolBar1).
const std::vector<MenuRow>& textModeMenus();
const std::vector<MenuRow>& tagModeMenus();
const std::vector<MenuRow>& contextMenu();
const std::vector<ToolRow>& textModeTools();
const std::vector<ToolRow>& tagModeTools();

}  // namespace korvane
