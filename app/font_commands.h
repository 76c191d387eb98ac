// The editor font commands of both modes: each mode's font is chosen with
// the one font dialog, applied to the editor at once and kept in the
// settings file. In tag mode with the tags coloured the colouring is redone
// around the change, keeping the selection.
#pragma once

#include <functional>

#include "app/mode_switches.h"
#include "app/settings_store.h"
#include "base/command_table.h"
#include "edit/tag_highlighter.h"
#include "platform/common_dialogs.h"

namespace korvane {

class FontCommands {
  public:
    struct Editor {
        // The font the editor shows now (the family actually used, UTF-8).
        std::function<FontChoice()> currentFont;
        // Gives the editor a font (its name in Shift_JIS, as stored).
        std::function<void(const EditorFont&)> setFont;
    };

    FontCommands(SettingsStore& store, TagHighlighter& highlighter, CommonDialogs& dialogs,
                 Editor editor);
    FontCommands(const FontCommands&) = delete;
    FontCommands& operator=(const FontCommands&) = delete;

    void Font1Click();
    void Font2Click();

    void registerCommands(CommandTable& table);

  private:
    // The chosen font, or nothing when the user cancelled or the name
    // cannot be stored (reported).
    std::optional<EditorFont> choose();

    SettingsStore& m_store;
    TagHighlighter& m_highlighter;
    CommonDialogs& m_dialogs;
    Editor m_editor;
};

// The message for a font whose name the settings file (Shift_JIS) cannot hold.
std::string unwritableFontText(const std::string& family);

}  // namespace korvane
