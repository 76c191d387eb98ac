#include "app/font_commands.h"

#include <optional>
#include <utility>

#include "base/shift_jis.h"

namespace korvane {

std::string unwritableFontText(const std::string& family) {
    return "フォント " + family + " は名前を Shift_JIS で書けないため使えません";
}

FontCommands::FontCommands(SettingsStore& store, TagHighlighter& highlighter,
                           CommonDialogs& dialogs, Editor editor)
    : m_store(store), m_highlighter(highlighter), m_dialogs(dialogs), m_editor(std::move(editor)) {}

std::optional<EditorFont> FontCommands::choose() {
    FontDialog& dialog = *m_dialogs.FontDialog1;
    if (m_editor.currentFont)
        dialog.setFont(m_editor.currentFont());
    if (!dialog.run())
        return std::nullopt;
    const FontChoice& chosen = dialog.font();
    // The settings file keeps the name in Shift_JIS; a name it cannot hold
    // would come back as another font on the next start.
    SjisEncoded name = encodeShiftJisFromUtf8(chosen.family);
    if (!name.replaced.empty()) {
        if (m_dialogs.messages)
            m_dialogs.messages->showError(unwritableFontText(chosen.family));
        return std::nullopt;
    }
    return EditorFont{std::move(name.bytes), chosen.pointSize};
}

// The font is in effect before it is written: a settings file that cannot
// be written is reported, and the font stays for the run.
void FontCommands::Font1Click() {
    const std::optional<EditorFont> font = choose();
    if (!font)
        return;
    if (m_editor.setFont)
        m_editor.setFont(*font);
    m_store.storeTextModeFont(font->name, font->size);
}

void FontCommands::Font2Click() {
    const std::optional<EditorFont> font = choose();
    if (!font)
        return;
    m_highlighter.changeFont([this, &font] {
        if (m_editor.setFont)
            m_editor.setFont(*font);
    });
    m_store.storeTagModeFont(font->name, font->size);
}

void FontCommands::registerCommands(CommandTable& table) {
    table.add("Font1Click", [this] { Font1Click(); });
    table.add("Font2Click", [this] { Font2Click(); });
}

}  // namespace korvane
