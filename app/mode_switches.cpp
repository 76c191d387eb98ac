#include "app/mode_switches.h"

#include <memory>
#include <string>

#include "base/text_codec.h"
#include "base/text_pieces.h"
#include "convert/to_html.h"
#include "convert/to_text.h"

namespace korvane {

EditorFont modeFont(const StartupSettings& settings, bool tagMode) {
    return tagMode ? EditorFont{settings.mvxName, settings.mvxSize}
                   : EditorFont{settings.kvnName, settings.kvnSize};
}

ModeSwitches::ModeSwitches(EditControl& edit, TagHighlighter& highlighter, Documents& documents,
                           const StartupSettings& settings, ModeWindow& window)
    : m_edit(edit),
      m_highlighter(highlighter),
      m_documents(documents),
      m_settings(settings),
      m_window(window) {}

void ModeSwitches::enterTagMode() {
    m_window.setEditorFont(modeFont(m_settings, true));
    m_window.showTagLayout();
}

void ModeSwitches::enterTextMode() {
    m_window.setEditorFont(modeFont(m_settings, false));
    m_window.showTextLayout();
}

void ModeSwitches::applyModeFont() {
    m_window.setEditorFont(modeFont(m_settings, m_window.isTagMode()));
}

void ModeSwitches::showConverted(std::string_view bytes, Progress& conversion) {
    ProgressPart loading(conversion, kConversionShare, 1.0);
    setTextInPieces(m_edit, bytes, loading);
}

void ModeSwitches::morvixS1Click() {
    m_documents.forgetFile();
    m_edit.setText({});
    enterTagMode();
    m_window.showCaption();
    m_highlighter.highlightOnEntry();
}

void ModeSwitches::htmlmorvixH1Click() {
    m_documents.forgetFile();
    m_window.setEditorFont(modeFont(m_settings, true));
    const std::unique_ptr<Progress> progress = startProgress(m_progress, kConvertingCaption, false);
    std::string page;
    {
        const std::string text = m_edit.text();
        ProgressPart converting(*progress, 0.0, kConversionShare);
        // The page is in the text's encoding, and its META says which; the
        // title box is Shift_JIS.
        const TextCodec& codec = m_edit.codec();
        page = ToHtml(text, recodeFromShiftJis(m_window.titleBytes(), codec), m_settings.page,
                      m_settings.options.tab, codec, &converting);
    }
    showConverted(page, *progress);
    m_window.showTagLayout();
    m_window.showCaption();
    m_highlighter.highlightOnEntry();
}

void ModeSwitches::korvaneS1Click() {
    m_highlighter.turnOff();
    m_documents.forgetFile();
    m_edit.setText({});
    enterTextMode();
    m_window.showCaption();
}

void ModeSwitches::htmlkorvaneH1Click() {
    m_highlighter.turnOff();
    // The whole window stops painting, so the HTML never flashes before the
    // stripped text replaces it.
    m_window.freezePainting(true);
    const std::unique_ptr<Progress> progress = startProgress(m_progress, kConvertingCaption, false);
    TextAndTitle stripped;
    {
        const std::string page = m_edit.text();
        ProgressPart converting(*progress, 0.0, kConversionShare);
        stripped = ToText(page, &converting);
    }
    if (stripped.title)
        m_window.setTitleBytes(recodeToShiftJis(*stripped.title, m_edit.codec()));
    m_edit.setText({});
    m_window.setEditorFont(modeFont(m_settings, false));
    showConverted(stripped.text, *progress);
    m_window.freezePainting(false);
    m_documents.forgetFile();
    m_window.showTextLayout();
    m_window.showCaption();
}

void ModeSwitches::registerCommands(CommandTable& table) {
    table.add("morvixS1Click", [this] { morvixS1Click(); });
    table.add("htmlmorvixH1Click", [this] { htmlmorvixH1Click(); });
    table.add("korvaneS1Click", [this] { korvaneS1Click(); });
    table.add("htmlkorvaneH1Click", [this] { htmlkorvaneH1Click(); });
}

}  // namespace korvane
