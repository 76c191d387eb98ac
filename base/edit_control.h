// The edit control as the editing code sees it.
//
// Everything speaks Shift_JIS bytes: the text, every length and every
// position is a byte count, a double-byte character counts two and a line
// break is always CR LF (two bytes). The main window's editor (RichEdit, on
// Qt) and the in-memory control of the tests implement the same contract, so
// the highlight, find, replace and tag commands are written once against it.
// tests/support/edit_control_contract.h holds the contract as a suite of
// tests that every control runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/color.h"
#include "base/text_codec.h"

namespace korvane {

class EditControl {
  public:
    virtual ~EditControl() = default;

    // --- text ---
    virtual std::string text() const = 0;
    virtual std::size_t textLength() const = 0;
    // Bytes [start, end), clamped to the text.
    virtual std::string textRange(std::size_t start, std::size_t end) const = 0;
    // Replaces everything and empties the undo history. The modified flag is
    // set when the new text is not empty and cleared when it is empty.
    virtual void setText(std::string_view bytes) = 0;

    // A whole new text given in pieces, so that a large file is never held
    // whole beside the control's own copy of it. Nothing changes until
    // commit(): reads meanwhile answer from the old text, and a load dropped
    // before it leaves the control exactly as it was, its text, selection,
    // colours, modified flag and undo included.
    class TextLoad {
      public:
        virtual ~TextLoad() = default;
        // Bytes in the control's codec (Shift_JIS unless set) with CR LF
        // line breaks; every piece but the last ends with a line break.
        virtual void append(std::string_view bytes) = 0;
        // The pieces become the text, as setText would make them.
        virtual void commit() = 0;
    };
    // A control that keeps no second copy collects the pieces for setText.
    virtual std::unique_ptr<TextLoad> beginTextLoad() {
        class Collected final : public TextLoad {
          public:
            explicit Collected(EditControl& edit) : m_edit(edit) {}
            void append(std::string_view bytes) override { m_bytes.append(bytes); }
            void commit() override { m_edit.setText(m_bytes); }

          private:
            EditControl& m_edit;
            std::string m_bytes;
        };
        return std::make_unique<Collected>(*this);
    }
    // The same for a text in `codec`, which the control speaks from the
    // commit on. Until then it speaks its own: a load dropped leaves the
    // codec as it was too, and the old text is never re-encoded.
    virtual std::unique_ptr<TextLoad> beginTextLoadIn(const TextCodec& codec) {
        if (&codec == &this->codec())
            return beginTextLoad();
        class Recoded final : public TextLoad {
          public:
            Recoded(EditControl& edit, const TextCodec& codec) : m_edit(edit), m_codec(codec) {}
            void append(std::string_view bytes) override { m_bytes.append(bytes); }
            void commit() override {
                m_edit.setText({});
                m_edit.setCodec(m_codec);
                m_edit.setText(m_bytes);
            }

          private:
            EditControl& m_edit;
            const TextCodec& m_codec;
            std::string m_bytes;
        };
        return std::make_unique<Recoded>(*this, codec);
    }

    // --- selection ---
    virtual std::size_t selStart() const = 0;
    virtual std::size_t selLength() const = 0;
    // Moves the caret to `start` with nothing selected (positions past the
    // end stand for the end; a position inside a double-byte character or a
    // CR LF moves to the character's start).
    virtual void setSelStart(std::size_t start) = 0;
    // Selects `length` bytes from the selection start and scrolls the caret
    // into view.
    virtual void setSelLength(std::size_t length) = 0;
    // Selects [start, end) without scrolling.
    virtual void setSelection(std::size_t start, std::size_t end) = 0;
    virtual std::string selText() const = 0;
    // Replaces the selection; the caret ends behind the inserted text with
    // nothing selected. Raises the change event (unless the event mask is 0).
    virtual void replaceSelection(std::string_view bytes, bool canUndo = true) = 0;
    virtual void scrollCaret() = 0;

    // --- colour (not part of the text: no undo step, no change event,
    //     no change of the modified flag) ---
    virtual void colorSelection(CharColor color) = 0;
    virtual CharColor colorAt(std::size_t offset) const = 0;
    // Colours each of `ranges` (bytes [start, end), in ascending order) as
    // setSelection(start, end) and colorSelection(color) would, one after
    // the other, and leaves the selection on the last. A control may do
    // them in one sweep: a whole-text pass colours tens of thousands.
    virtual void colorRanges(const std::vector<std::pair<std::size_t, std::size_t>>& ranges,
                             CharColor color) {
        for (const auto& [start, end] : ranges) {
            setSelection(start, end);
            colorSelection(color);
        }
    }

    // --- events and state ---
    // 0 silences the change event; any other value lets it through.
    virtual unsigned eventMask() const = 0;
    virtual void setEventMask(unsigned mask) = 0;
    // The change event, raised synchronously after each change of the text.
    virtual void setChangeHandler(std::function<void()> handler) = 0;
    // The modified flag is sticky: edits set it, only the program clears it.
    virtual bool modified() const = 0;
    virtual void setModified(bool modified) = 0;

    // --- undo and clipboard ---
    virtual bool canUndo() const = 0;
    virtual void undo() = 0;
    // Puts back, one step at a time, what undo took back (an edit block as
    // one step); any new edit forgets what is left to put back.
    virtual bool canRedo() const = 0;
    virtual void redo() = 0;
    virtual void cut() = 0;
    virtual void copy() = 0;
    virtual void paste() = 0;
    virtual bool canPaste() const = 0;
    virtual void clearSelection() = 0;  // deletes the selection, the clipboard untouched
    // Edits between these two are taken back by one undo (a replace-all).
    // Each edit still changes the text at once and raises its change event,
    // so reads and searches inside the block see every edit before it. Blocks
    // may nest; the outermost pair counts.
    virtual void beginEditBlock() = 0;
    virtual void endEditBlock() = 0;

    // --- lines (display lines: with word wrap a wrapped paragraph is several) ---
    virtual std::size_t lineCount() const = 0;
    virtual std::size_t lineFromChar(std::size_t offset) const = 0;
    virtual std::size_t lineIndex(std::size_t line) const = 0;
    // The start of the display line that holds `offset`, the same as
    // lineIndex(lineFromChar(offset)). A control may answer it from the
    // offset's own paragraph without numbering every line before it.
    virtual std::size_t lineStartOf(std::size_t offset) const {
        return lineIndex(lineFromChar(offset));
    }
    // The bytes of one display line, without its line break.
    virtual std::string lineText(std::size_t line) const = 0;

    // --- find ---
    // The first occurrence of `what` that lies wholly inside [min, max) and
    // starts at a character boundary. Without matchCase only single-byte and
    // full-width Latin letters fold.
    virtual std::optional<std::size_t> find(std::string_view what, std::size_t min, std::size_t max,
                                            bool matchCase) const = 0;

    // --- encoding ---
    // The codec of the control's bytes: what a character is, how typed and
    // pasted text becomes bytes, how a search folds case. Shift_JIS (CP932)
    // until set.
    virtual const TextCodec& codec() const { return shiftJisCodec(); }
    // From now on the control speaks `codec`: its characters stay as they
    // are (the undo history included); their bytes become the new codec's,
    // and a character it cannot hold is replaced as a typed one would be.
    // Set on an empty control before a text in that codec is given to it.
    virtual void setCodec(const TextCodec& codec) { static_cast<void>(codec); }

    // --- window ---
    virtual bool setFocus() = 0;  // false when the control cannot take the focus now
    virtual void setRedraw(bool on) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void lockUpdates(bool locked) = 0;  // LockWindowUpdate on this control
    virtual void setHideSelection(bool hide) = 0;
    virtual bool hideSelection() const = 0;
};

}  // namespace korvane
