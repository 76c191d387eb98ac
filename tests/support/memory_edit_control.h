// An edit control that lives in memory, for tests of everything written
// against EditControl.
//
// It behaves as the contract says the main window's editor does: bytes,
// character colours that follow the text (inserted text takes the colour of
// the byte before it, deleted text takes its colour with it), a sticky
// modified flag, undo of replacements, a clipboard of its own, display lines
// split at CR LF and optionally wrapped at a fixed number of bytes, and find
// with the editor's case folding. Line breaks are CR LF whatever is inserted.
// Its bytes are in the codec set on it, Shift_JIS until then.
// It also records what was asked of it (colour requests in order, calls to
// the window switches) so tests can check how a result was reached.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/edit_control.h"

namespace korvane::test {

class MemoryEditControl final : public EditControl {
  public:
    // One colorSelection() call: the selection it applied to, and the colour.
    struct ColorRequest {
        std::size_t start = 0;
        std::size_t end = 0;
        CharColor color;
        friend bool operator==(const ColorRequest&, const ColorRequest&) = default;
    };

    // How often each window switch was thrown.
    struct WindowCalls {
        int redrawOff = 0;
        int redrawOn = 0;
        int hide = 0;
        int show = 0;
        int lock = 0;
        int unlock = 0;
        int focus = 0;
        int scrollCaret = 0;
    };

    MemoryEditControl() = default;
    explicit MemoryEditControl(std::string_view bytes) { setText(bytes); }

    // --- EditControl ---
    std::string text() const override { return m_text; }
    std::size_t textLength() const override { return m_text.size(); }
    std::string textRange(std::size_t start, std::size_t end) const override;
    // Raises no change event: only edits and replacements do.
    void setText(std::string_view bytes) override;

    std::size_t selStart() const override { return m_selStart; }
    std::size_t selLength() const override { return m_selEnd - m_selStart; }
    void setSelStart(std::size_t start) override;
    void setSelLength(std::size_t length) override;
    void setSelection(std::size_t start, std::size_t end) override;
    std::string selText() const override;
    void replaceSelection(std::string_view bytes, bool canUndo = true) override;
    void scrollCaret() override { ++m_calls.scrollCaret; }

    void colorSelection(CharColor color) override;
    CharColor colorAt(std::size_t offset) const override;

    unsigned eventMask() const override { return m_eventMask; }
    void setEventMask(unsigned mask) override { m_eventMask = mask; }
    void setChangeHandler(std::function<void()> handler) override {
        m_onChange = std::move(handler);
    }
    bool modified() const override { return m_modified; }
    void setModified(bool modified) override { m_modified = modified; }

    bool canUndo() const override { return !m_undo.empty(); }
    // Takes back the last undoable replacement (or edit block) and selects
    // the text it had removed.
    void undo() override;
    bool canRedo() const override { return !m_redo.empty(); }
    // Puts back the last group undo took back; the caret ends behind it.
    void redo() override;
    void cut() override;
    void copy() override;
    void paste() override;
    bool canPaste() const override { return m_clipboard.has_value(); }
    void clearSelection() override;
    void beginEditBlock() override { ++m_blockDepth; }
    void endEditBlock() override;

    std::size_t lineCount() const override;
    std::size_t lineFromChar(std::size_t offset) const override;
    // The start of `line`; the text length for a line past the last.
    std::size_t lineIndex(std::size_t line) const override;
    std::string lineText(std::size_t line) const override;

    std::optional<std::size_t> find(std::string_view what, std::size_t min, std::size_t max,
                                    bool matchCase) const override;

    const TextCodec& codec() const override { return *m_codec; }
    // Converts the text, the colours, the selection and every undo step.
    void setCodec(const TextCodec& codec) override;

    bool setFocus() override;
    void setRedraw(bool on) override;
    void setVisible(bool visible) override;
    void lockUpdates(bool locked) override;
    void setHideSelection(bool hide) override { m_hideSelection = hide; }
    bool hideSelection() const override { return m_hideSelection; }

    // --- for tests ---
    // Wraps display lines after at most `bytes` bytes (0: no wrap). A
    // double-byte character that would not fit goes to the next line whole.
    void setWrapWidth(std::size_t bytes);
    // Whether setFocus() succeeds, as it does not while the window is hidden.
    void setFocusAvailable(bool available) { m_focusAvailable = available; }
    bool hasFocus() const { return m_hasFocus; }

    const std::vector<ColorRequest>& colorRequests() const { return m_colorRequests; }
    void clearColorRequests() { m_colorRequests.clear(); }
    const WindowCalls& windowCalls() const { return m_calls; }
    void clearWindowCalls() { m_calls = {}; }
    bool redrawOn() const { return m_redraw; }
    bool visible() const { return m_visible; }
    bool updatesLocked() const { return m_locked; }
    // Change events that reached the handler.
    int changeEvents() const { return m_changeEvents; }
    std::size_t undoDepth() const { return m_undo.size(); }

    const std::optional<std::string>& clipboard() const { return m_clipboard; }
    void setClipboard(std::optional<std::string> bytes) { m_clipboard = std::move(bytes); }

  private:
    struct UndoStep {
        std::size_t start = 0;
        std::string removed;
        std::vector<CharColor> removedColors;
        std::size_t insertedLength = 0;
        bool joinsPrevious = false;  // undone together with the step before it
    };

    // The character start at or before `pos` (the text end for positions past it).
    std::size_t snap(std::size_t pos) const;
    std::size_t charLength(std::size_t pos) const;
    // Replaces [start, end) by `bytes` (already CR LF), keeping the colours
    // the contract promises; returns what was removed as an undo step.
    UndoStep replaceRange(std::size_t start, std::size_t end, std::string_view bytes,
                          const std::vector<CharColor>* colors);
    void raiseChange();
    const std::vector<std::size_t>& lineStarts() const;

    // `bytes` in the new codec, character by character (what it cannot hold
    // replaced), with each character's colour on every byte it becomes.
    std::string convertChars(std::string_view bytes, const TextCodec& to,
                             const std::vector<CharColor>* colors = nullptr,
                             std::vector<CharColor>* converted = nullptr) const;

    const TextCodec* m_codec = &shiftJisCodec();
    std::string m_text;
    std::vector<CharColor> m_colors;  // one per byte of m_text
    std::size_t m_selStart = 0;
    std::size_t m_selEnd = 0;
    unsigned m_eventMask = 1;
    std::function<void()> m_onChange;
    bool m_modified = false;
    std::vector<UndoStep> m_undo;
    // Each undo's steps as it reversed them (last first), to be replayed.
    std::vector<std::vector<UndoStep>> m_redo;
    int m_blockDepth = 0;
    bool m_blockHasStep = false;  // the open block has its first step already
    std::optional<std::string> m_clipboard;

    std::size_t m_wrapWidth = 0;
    mutable std::vector<std::size_t> m_lineStarts;
    mutable bool m_linesValid = false;

    bool m_focusAvailable = true;
    bool m_hasFocus = false;
    bool m_redraw = true;
    bool m_visible = true;
    bool m_locked = false;
    bool m_hideSelection = false;
    std::vector<ColorRequest> m_colorRequests;
    WindowCalls m_calls;
    int m_changeEvents = 0;
};

// Whether some byte of the text shows a colour other than the automatic one.
inline bool hasColour(const EditControl& edit) {
    for (std::size_t i = 0; i < edit.textLength(); ++i) {
        if (!edit.colorAt(i).automatic)
            return true;
    }
    return false;
}

}  // namespace korvane::test
