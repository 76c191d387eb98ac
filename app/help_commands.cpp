#include "app/help_commands.h"

#include <utility>

#include "platform/program_folder.h"

namespace korvane {

std::string missingHelpText(const std::string& name) {
    return "ヘルプファイル " + name + " が見つかりません";
}

HelpCommands::HelpCommands(Shell& shell, MessageBoxes& messages, Locator locate)
    : m_shell(shell), m_messages(messages), m_locate(std::move(locate)) {
    if (!m_locate)
        m_locate = [](const std::string& name) { return helpPagePath(name); };
}

// A browser shown a missing file says little that helps; the program knows
// better and says which page it did not find.
void HelpCommands::openHelp(const std::string& name) {
    const std::string path = m_locate(name);
    if (path.empty()) {
        m_messages.showError(missingHelpText(name));
        return;
    }
    if (!m_shell.openWebPage(path))
        m_messages.showError(noBrowserText(path));
}

void HelpCommands::H2Click() {
    openHelp(kTextModeHelpPage);
}

void HelpCommands::H3Click() {
    openHelp(kTagModeHelpPage);
}

void HelpCommands::About1Click() {
    m_messages.showMessage(kTextModeVersion);
}

void HelpCommands::About2Click() {
    m_messages.showMessage(kTagModeVersion);
}

void HelpCommands::registerCommands(CommandTable& table) {
    table.add({"H2Click", "ToolButton25Click"}, [this] { H2Click(); });
    table.add({"H3Click", "ToolButton24Click"}, [this] { H3Click(); });
    table.add("About1Click", [this] { About1Click(); });
    table.add("About2Click", [this] { About2Click(); });
}

}  // namespace korvane
