#include "tags/tag_commands.h"

#include <optional>

#include "convert/uthtml.h"

namespace korvane {

TagCommands::TagCommands(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
                         CurrentFileSource currentFile, PathStyle pathStyle)
    : m_edit(edit),
      m_highlighter(highlighter),
      m_dialogs(dialogs),
      m_currentFile(std::move(currentFile)),
      m_pathStyle(pathStyle) {}

void TagCommands::insert(std::string_view text) {
    m_highlighter.insertTagText(text);
}

void TagCommands::WrapSelection(std::string_view name) {
    insert(WrapTag(m_edit.selText(), name));
}

void TagCommands::WrapSelectionWith(std::string_view name, std::string_view attributes) {
    insert(WrapTagWith(m_edit.selText(), name, attributes));
}

void TagCommands::B2Click() {
    WrapSelection("B");
}
void TagCommands::I1Click() {
    WrapSelection("I");
}
void TagCommands::N17Click() {
    WrapSelection("U");
}
void TagCommands::S3Click() {
    WrapSelection("S");
}
void TagCommands::T3Click() {
    WrapSelection("TT");
}

void TagCommands::H1Click() {
    const std::string s = m_edit.selText();
    insert(WrapTagWith(s, "A", "href=\"" + s + "\""));
}

void TagCommands::M1Click() {
    const std::string s = m_edit.selText();
    insert(WrapTagWith(s, "A", "href=\"mailto:" + s + "\""));
}

void TagCommands::B3Click() {
    // The tag and the line break in one replacement: one undo step takes
    // both back, and the caret still ends at the start of the new line.
    insert(OpenTag(m_edit.selText(), "BR") + "\r\n");
}

void TagCommands::R1Click() {
    insert(OpenTag(m_edit.selText(), "HR"));
}

void TagCommands::H1F1Click() {
    WrapSelection("H1");
}
void TagCommands::H2S1Click() {
    WrapSelection("H2");
}
void TagCommands::H3T1Click() {
    WrapSelection("H3");
}
void TagCommands::H4O1Click() {
    WrapSelection("H4");
}
void TagCommands::H5I1Click() {
    WrapSelection("H5");
}
void TagCommands::H6X1Click() {
    WrapSelection("H6");
}
void TagCommands::P6Click() {
    WrapSelection("P");
}
void TagCommands::txtE1Click() {
    WrapSelection("PRE");
}

void TagCommands::U2Click() {
    insert(listText(m_edit.selText(), "UL"));
}

void TagCommands::O1Click() {
    insert(listText(m_edit.selText(), "OL"));
}

void TagCommands::L1Click() {
    WrapSelectionWith("DIV", "align=\"left\"");
}
void TagCommands::C1Click() {
    WrapSelection("CENTER");
}
void TagCommands::R2Click() {
    WrapSelectionWith("DIV", "align=\"right\"");
}

void TagCommands::show(const std::function<void()>& dialog) {
    if (dialog)
        dialog();
}

void TagCommands::F2Click() {
    show(m_showers.TfFont);
}
void TagCommands::N19Click() {
    show(m_showers.TfNrLink);
}
void TagCommands::P7Click() {
    show(m_showers.TfLink);
}
void TagCommands::I2Click() {
    show(m_showers.TfImage);
}

std::optional<PickedLocation> pickTagLocation(FileDialog& dialog, MessageBoxes& messages,
                                              std::string_view document, PathStyle style) {
    std::optional<std::string> picked = dialog.run();
    if (!picked)
        return std::nullopt;
    std::optional<std::string> location = tagLocation(document, *picked, style);
    if (!location) {
        messages.showError(unwritableNameText(*picked));
        return std::nullopt;
    }
    return PickedLocation{std::move(*picked), std::move(*location)};
}

void TagCommands::E1Click() {
    FileDialog& dialog = *m_dialogs.odBackPicture;
    dialog.clearRememberedName();
    dialog.setFilter(kPictureFilter);
    if (const auto picked =
            pickTagLocation(dialog, *m_dialogs.messages, m_currentFile(), m_pathStyle))
        // A location is Shift_JIS, as every dialog's; the page may not be.
        insert(simpleImageText(m_edit.selText(),
                               recodeFromShiftJis(picked->location, m_edit.codec())));
}

void TagCommands::html2T1Click() {
    followDocumentName();
}

void TagCommands::followDocumentName() {
    const bool named = documentHasName(m_currentFile());
    m_e1Enabled = named;
    m_toolButton29Enabled = named;
    setEnabled("E1", named);
    setEnabled("ToolButton29", named);
}

void TagCommands::setEnabled(const std::string& name, bool enabled) {
    if (m_enabler)
        m_enabler(name, enabled);
}

std::vector<std::pair<std::string, std::function<void()>>> TagCommands::commands() {
    using Handler = void (TagCommands::*)();
    static constexpr std::pair<const char*, Handler> kHandlers[] = {
        {"B2Click", &TagCommands::B2Click},       {"I1Click", &TagCommands::I1Click},
        {"N17Click", &TagCommands::N17Click},     {"S3Click", &TagCommands::S3Click},
        {"T3Click", &TagCommands::T3Click},       {"H1Click", &TagCommands::H1Click},
        {"M1Click", &TagCommands::M1Click},       {"B3Click", &TagCommands::B3Click},
        {"R1Click", &TagCommands::R1Click},       {"H1F1Click", &TagCommands::H1F1Click},
        {"H2S1Click", &TagCommands::H2S1Click},   {"H3T1Click", &TagCommands::H3T1Click},
        {"H4O1Click", &TagCommands::H4O1Click},   {"H5I1Click", &TagCommands::H5I1Click},
        {"H6X1Click", &TagCommands::H6X1Click},   {"P6Click", &TagCommands::P6Click},
        {"txtE1Click", &TagCommands::txtE1Click}, {"U2Click", &TagCommands::U2Click},
        {"O1Click", &TagCommands::O1Click},       {"L1Click", &TagCommands::L1Click},
        {"C1Click", &TagCommands::C1Click},       {"R2Click", &TagCommands::R2Click},
        {"F2Click", &TagCommands::F2Click},       {"N19Click", &TagCommands::N19Click},
        {"P7Click", &TagCommands::P7Click},       {"E1Click", &TagCommands::E1Click},
        {"I2Click", &TagCommands::I2Click},       {"html2T1Click", &TagCommands::html2T1Click},
    };
    std::vector<std::pair<std::string, std::function<void()>>> table;
    table.reserve(std::size(kHandlers));
    for (const auto& entry : kHandlers) {
        const auto handler =
            entry.second;  // a lambda may not capture a structured binding in clang 14
        table.emplace_back(entry.first, [this, handler] { (this->*handler)(); });
    }
    return table;
}

void TagCommands::registerCommands(CommandTable& table) {
    for (auto& [name, handler] : commands())
        table.add(name, std::move(handler));
}

}  // namespace korvane
