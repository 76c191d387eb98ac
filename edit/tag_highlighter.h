// Tag highlighting in the tag-mode editor: the highlight state and the three
// passes over the edit control (colour every tag, clear all colour, re-colour
// around a change), and the two sequences that change the text or the font
// with highlighting on.
//
// One object per main window. The main window, the tag commands, the tag
// dialogs, the options dialog and the font command all go through it, so the
// flags below have a single owner.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "base/edit_control.h"
#include "base/progress.h"

namespace korvane {

class TagHighlighter {
  public:
    static constexpr ColorValue kDefaultHighlightColor = 0xFF0000;  // blue (0x00BBGGRR)
    // The live re-colouring reads the text around a change in chunks of
    // this size first, growing further away.
    static constexpr std::size_t kFirstChunk = 4096;

    explicit TagHighlighter(EditControl& edit) : m_edit(edit) {}
    TagHighlighter(const TagHighlighter&) = delete;
    TagHighlighter& operator=(const TagHighlighter&) = delete;

    // Tags are shown in the highlight colour.
    bool TagsHighlighted() const { return m_tagsHighlighted; }
    // The program itself is changing colours or inserting tag text; the live
    // re-colouring stays out of the way meanwhile.
    bool RecolourBusy() const { return m_recolourBusy; }
    ColorValue HighlightColor() const { return m_highlightColor; }
    void setHighlightColor(ColorValue color) { m_highlightColor = color; }
    // Highlight automatically whenever a document enters tag mode.
    bool HighlightByDefault() const { return m_highlightByDefault; }
    void setHighlightByDefault(bool on) { m_highlightByDefault = on; }

    // What the clearing pass gives the focus to (the main window). Without
    // it the focus is left where it is.
    void setFocusMainWindow(std::function<void()> focus) { m_focusMainWindow = std::move(focus); }
    // Where the whole-text pass shows its progress (a long page takes
    // seconds). None: nothing is shown.
    void setProgressDisplay(ProgressDisplay* display) { m_progress = display; }

    // The menu toggle: the clearing pass when tags are highlighted, else the
    // whole-text pass. Both keep the selection and the modified flag.
    void html1Click();
    // The edit control's change event: while tags are highlighted, returns
    // the range from the last "<" before the selection to the first ">"
    // after it to the normal colour and colours the tags in it. Releases the
    // window-update lock.
    void reMainChange();

    // Colours every tag again whatever the flag says (new colour, new text).
    void forceWholeTextPass();
    // Removes the colouring if there is any.
    void turnOff();
    // Entering tag mode: a whole-text pass when HighlightByDefault is on.
    void highlightOnEntry();
    // The text was thrown away with its colours (emptied for a new
    // document): the flag goes without a clearing pass.
    void clearTagsHighlighted() { m_tagsHighlighted = false; }
    // Start-up state: nothing highlighted, no pass running.
    void reset();

    // The tag insertion sequence: replaces the selection with `text` and,
    // with highlighting on, colours the tags in and around it before the
    // editor repaints. The caret ends behind the text with nothing selected.
    void insertTagText(std::string_view text);

    // Changes the editor font through `applyFont`; with highlighting on the
    // colouring is cleared and redone around it, and the selection kept.
    void changeFont(const std::function<void()>& applyFont);

  private:
    void wholeTextPass();
    void clearingPass();
    // Every character in the automatic colour. The whole text is left
    // selected: the callers put the user's selection back.
    void uncolourWholeText();

    EditControl& m_edit;
    bool m_tagsHighlighted = false;
    bool m_recolourBusy = false;
    ColorValue m_highlightColor = kDefaultHighlightColor;
    bool m_highlightByDefault = true;
    std::function<void()> m_focusMainWindow;
    ProgressDisplay* m_progress = nullptr;
};

}  // namespace korvane
