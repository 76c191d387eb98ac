// The main window as the mode switches and the documents see it, with its
// steps recorded in order, for tests without a window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/documents.h"
#include "app/mode_switches.h"

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
    void enableImageButton() override {}

    bool tag = false;
    std::string title;
    std::vector<std::string> steps;
};

}  // namespace korvane::test
