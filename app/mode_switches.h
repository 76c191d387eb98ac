// The two modes: the four switch commands, the layout steps with the mode's
// editor font, and tag mode's highlighting on entry.
//
// Plain C++ over the editor, the highlighter, the documents and the window's
// own steps (ModeWindow), so that every switch runs in a test without a main
// window.
#pragma once

#include <string>
#include <string_view>

#include "app/documents.h"
#include "app/settings.h"
#include "base/command_table.h"
#include "base/edit_control.h"
#include "base/progress.h"
#include "edit/tag_highlighter.h"

namespace korvane {

// An editor font as the settings file keeps it: a family name (Shift_JIS)
// and a size in points.
struct EditorFont {
    std::string name;
    int size = 0;

    friend bool operator==(const EditorFont&, const EditorFont&) = default;
};

// The font of a mode: kvnName/kvnSize in text mode, mvxName/mvxSize in tag
// mode.
EditorFont modeFont(const StartupSettings& settings, bool tagMode);

// What the mode switches ask of the window.
class ModeWindow {
  public:
    virtual ~ModeWindow() = default;

    virtual bool isTagMode() const = 0;
    virtual void setEditorFont(const EditorFont& font) = 0;
    // The layouts: menus, tool bar, status line and title box of a mode.
    virtual void showTagLayout() = 0;
    virtual void showTextLayout() = 0;
    virtual std::string titleBytes() const = 0;
    virtual void setTitleBytes(std::string_view bytes) = 0;
    virtual void showCaption() = 0;
    // The whole window stops painting (true) and starts again (false).
    virtual void freezePainting(bool frozen) = 0;
};

class ModeSwitches {
  public:
    // `settings` is read when a command runs: a font or option changed in
    // the run counts from the next switch on.
    ModeSwitches(EditControl& edit, TagHighlighter& highlighter, Documents& documents,
                 const StartupSettings& settings, ModeWindow& window);
    ModeSwitches(const ModeSwitches&) = delete;
    ModeSwitches& operator=(const ModeSwitches&) = delete;

    // Text mode to tag mode: an empty document, or the page made of the text.
    void morvixS1Click();
    void htmlmorvixH1Click();
    // Tag mode to text mode: an empty document, or the text of the page.
    void korvaneS1Click();
    void htmlkorvaneH1Click();

    // The layout steps, each with its mode's font (the documents' loads take
    // these too).
    void enterTagMode();
    void enterTextMode();
    // The shown mode's font, at once.
    void applyModeFont();

    void registerCommands(CommandTable& table);

    // Where a conversion's text going into the editor shows its progress.
    void setProgressDisplay(ProgressDisplay* display) { m_progress = display; }

  private:
    // The converted text becomes the editor's; its load shows as the rest
    // of the conversion's progress.
    void showConverted(std::string_view bytes, Progress& conversion);

    EditControl& m_edit;
    TagHighlighter& m_highlighter;
    Documents& m_documents;
    const StartupSettings& m_settings;
    ModeWindow& m_window;
    ProgressDisplay* m_progress = nullptr;
};

}  // namespace korvane
