// The help and version commands of both modes: the mode's help page opened
// with the desktop's default browser, and the version line in a plain box.
#pragma once

#include <functional>
#include <string>

#include "base/command_table.h"
#include "platform/common_dialogs.h"
#include "platform/shell.h"

namespace korvane {

inline constexpr const char* kTextModeHelpPage = "vanthelp.htm";
inline constexpr const char* kTagModeHelpPage = "morvhelp.htm";
inline constexpr const char* kTextModeVersion = "korvane Ver1.31";
inline constexpr const char* kTagModeVersion = "morvix Ver1.31";

// The message for a help page that is not where the program looks.
std::string missingHelpText(const std::string& name);

class HelpCommands {
  public:
    // Finds a help page by its file name; empty when there is none.
    using Locator = std::function<std::string(const std::string& name)>;

    // Pages are found with helpPagePath() unless `locate` is given.
    HelpCommands(Shell& shell, MessageBoxes& messages, Locator locate = {});

    void H2Click();
    void H3Click();
    void About1Click();
    void About2Click();

    // The menu items and the two help tool buttons.
    void registerCommands(CommandTable& table);

  private:
    void openHelp(const std::string& name);

    Shell& m_shell;
    MessageBoxes& m_messages;
    Locator m_locate;
};

}  // namespace korvane
