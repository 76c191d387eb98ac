// The main window as the mode switches and the documents see it, with its
// steps recorded in order, and the parts of a window around it, for tests
// without a window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/documents.h"
#include "app/mode_switches.h"
#include "edit/tag_highlighter.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"

namespace korvane::test {

// The window as the switches see it, with its steps recorded in order.
class FakeModeWindow : public ModeWindow, public DocumentWindow {
  public:
    bool isTagMode() const override { return tag; }
    void setEditorFont(const EditorFont& font) override { steps.push_back("font " + font.name); }
    void showTagLayout() override {
        tag = true;
        title.clear();
        steps.push_back("tag layout");
    }
    void showTextLayout() override {
        tag = false;
        steps.push_back("text layout");
    }
    std::string titleBytes() const override { return title; }
    void setTitleBytes(std::string_view bytes) override { title = std::string(bytes); }
    void showCaption() override { steps.push_back("caption"); }
    void freezePainting(bool frozen) override { steps.push_back(frozen ? "freeze" : "thaw"); }
    void enterTagMode() override {}
    void enterTextMode() override {}
    void documentRenamed() override {}

    bool tag = false;
    std::string title;
    std::vector<std::string> steps;
};

// The documents and the mode switches of a window, on the in-memory editor
// with scripted dialogs and a recording shell.
struct WindowParts {
    WindowParts() {
        edit.setChangeHandler([this] { highlighter.reMainChange(); });
    }

    MemoryEditControl edit;
    TagHighlighter highlighter{edit};
    StartupSettings settings;
    ScriptedDialogs scripted;
    CommonDialogs dialogs = scripted.release();
    RecordingShell shell;
    FakeModeWindow window;
    Documents documents{edit, highlighter, settings, dialogs, shell, window};
    ModeSwitches modes{edit, highlighter, documents, settings, window};
};

}  // namespace korvane::test
