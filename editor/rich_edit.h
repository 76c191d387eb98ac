// The main window's editor: the EditControl contract on a QPlainTextEdit.
//
// The toolkit holds the text as UTF-16 paragraphs; the program speaks
// Shift_JIS bytes with CR LF. A TextMirror beside the document keeps the bytes
// and the position index up to date paragraph by paragraph, so offsets, reads
// and searches never re-encode the document. Colour lives in the mirror too
// and reaches the screen through the text layout of each paragraph, never as
// character formats of the document: colouring adds no undo step, changes no
// modified flag and raises no change event. Lines of more than a few
// thousand characters are held cut into pieces the toolkit can lay out on
// every keystroke; the mirror sees them whole.
//
// The editor is made of parts, each with the state it owns:
//   TextMirror      the bytes, the position index and the colours (text_mirror.h)
//   LongLinePieces  the pieces long lines are cut into (long_line_pieces.h)
//   ColorFlusher    the mirror's colours handed to the paragraphs' layouts
//   DisplayLines    the numbering of display lines over wrapped paragraphs
//   EditBatch       EditControl's edit blocks as document edit blocks
//   PendingView     the selection and the scroll owed to the widget
//   TextFixups      characters put right after the edit that brought them
//   ChangeEvents    the change event, held back while an operation runs
// How the document's reports of edits are followed is in rich_edit_mirror.cpp;
// keys, input methods, drops and painting are in rich_edit_input.cpp; the
// text load in pieces is in rich_edit_load.cpp.
//
// Use it through EditControl. Reading or setting textCursor() directly sees
// a selection that was set through EditControl only once the editor has had
// its next event (the selection is handed to the widget lazily, so that a
// pass over 45,000 tags does not lay out the text 45,000 times).
#pragma once

#include <QPalette>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/edit_control.h"
#include "editor/change_events.h"
#include "editor/color_flusher.h"
#include "editor/display_lines.h"
#include "editor/edit_batch.h"
#include "editor/line_groups.h"
#include "editor/long_line_pieces.h"
#include "editor/pending_view.h"
#include "editor/text_fixups.h"
#include "editor/text_mirror.h"

class QKeyEvent;

namespace korvane {

class RichEdit : public QPlainTextEdit, public EditControl {
    Q_OBJECT

  public:
    explicit RichEdit(QWidget* parent = nullptr);
    ~RichEdit() override;

    // --- EditControl ---
    std::string text() const override { return m_mirror.text(); }
    std::size_t textLength() const override { return m_mirror.byteLength(); }
    std::string textRange(std::size_t start, std::size_t end) const override;
    // Raises no change event.
    void setText(std::string_view bytes) override;
    // Fills a new document and mirror piece by piece (rich_edit_load.cpp);
    // the old ones stay aside, whole, until the load is committed.
    std::unique_ptr<TextLoad> beginTextLoad() override;
    std::unique_ptr<TextLoad> beginTextLoadIn(const TextCodec& codec) override;

    std::size_t selStart() const override;
    std::size_t selLength() const override;
    void setSelStart(std::size_t start) override;
    void setSelLength(std::size_t length) override;
    void setSelection(std::size_t start, std::size_t end) override;
    std::string selText() const override;
    void replaceSelection(std::string_view bytes, bool canUndo = true) override;
    void scrollCaret() override;

    void colorSelection(CharColor color) override;
    void colorRanges(const std::vector<std::pair<std::size_t, std::size_t>>& ranges,
                     CharColor color) override;
    CharColor colorAt(std::size_t offset) const override;

    unsigned eventMask() const override { return m_events.mask(); }
    void setEventMask(unsigned mask) override { m_events.setMask(mask); }
    void setChangeHandler(std::function<void()> handler) override;
    bool modified() const override { return m_modified; }
    void setModified(bool modified) override { m_modified = modified; }

    bool canUndo() const override;
    // Takes back the last step and selects the text it brought back.
    void undo() override;
    bool canRedo() const override;
    // Puts back what the last undo took back; the caret ends behind it.
    void redo() override;
    void cut() override;
    void copy() override;
    void paste() override;
    bool canPaste() const override;
    void clearSelection() override;
    // Each edit inside the block is a document edit block of its own, so the
    // document reports it (and the mirror follows) at once; the edits after
    // the first join the first one's undo step.
    void beginEditBlock() override { m_batch.begin(); }
    void endEditBlock() override;

    std::size_t lineCount() const override;
    std::size_t lineFromChar(std::size_t offset) const override;
    std::size_t lineIndex(std::size_t line) const override;
    // Lays out only the offset's paragraph.
    std::size_t lineStartOf(std::size_t offset) const override;
    std::string lineText(std::size_t line) const override;

    std::optional<std::size_t> find(std::string_view what, std::size_t min, std::size_t max,
                                    bool matchCase) const override;

    const TextCodec& codec() const override { return m_mirror.codec(); }
    // Re-encodes the document's characters (rich_edit_mirror.cpp); the
    // toolkit's undo history and the colours stay.
    void setCodec(const TextCodec& codec) override;

    using QWidget::setFocus;
    bool setFocus() override;
    void setRedraw(bool on) override;
    // Also QWidget's: show(), hide() and setHidden() come here.
    void setVisible(bool visible) override;
    // Holds back colour and selection changes until unlocked. The toolkit
    // paints only after the running handler anyway, so unlike a window
    // update lock this never forces a repaint of the whole editor.
    void lockUpdates(bool locked) override;
    void setHideSelection(bool hide) override;
    bool hideSelection() const override { return m_hideSelection; }

    // --- keys ---
    // Called before the editor's own handling; returning true swallows the
    // key. The key-down handler sees every key press first; the key-press
    // handler then sees the keys that type a character (Enter included).
    using KeyHandler = std::function<bool(QKeyEvent*)>;
    void setKeyDownHandler(KeyHandler handler) { m_keyDown = std::move(handler); }
    void setKeyPressHandler(KeyHandler handler) { m_keyPress = std::move(handler); }
    // The Windows virtual-key code of a key (Left 0x25, Right 0x27, ...), 0
    // for keys without one.
    static int virtualKey(const QKeyEvent& event);
    // The character a key types as Windows reports it: 13 for Enter and
    // Shift+Enter, 10 for Ctrl+Enter, else the first unit of the key's text,
    // 0 for a key that types nothing.
    static int typedCharacter(const QKeyEvent& event);

    // The text of the document positions [from, to), the pieces of long
    // lines joined, with "\n" for each line break.
    QString plainTextBetween(int from, int to) const;
    // The editor's own lines, each ended by a line break, a soft break
    // (long_line_pieces.h) or a separator of lines held together
    // (line_groups.h): the one that holds a document position, and the
    // position where it starts.
    std::size_t heldLineOf(int position) const {
        return m_mirror.lineOfUnit(static_cast<std::size_t>(std::max(position, 0)));
    }
    int heldLineStart(int position) const {
        return static_cast<int>(m_mirror.lineStartUnit(heldLineOf(position)));
    }
    // The selection as anchor and position in the document, one set through
    // EditControl and not yet handed to the widget included.
    std::pair<int, int> selectionUnits() const;

    // Lines of a loaded text that start this many units or more into it are
    // held several to a paragraph (line_groups.h); tests hold small texts so.
    void setGroupLinesFrom(std::size_t units) { m_groupFrom = units; }
    // Lines of a text loaded in pieces that start this many units or more
    // into it, and whose bytes are the codec's own encoding of their
    // characters, keep no bytes in the mirror: a large text is not held
    // twice. Tests hold small texts so.
    static constexpr std::size_t kLeanFrom = std::size_t{1} << 25;
    void setLeanLinesFrom(std::size_t units) { m_leanFrom = units; }
    // How many of the editor's lines keep no bytes of their own.
    std::size_t leanLineCount() const;

    // How the user is told that typed, pasted or dropped characters were
    // replaced; a tool tip at the caret unless set.
    void setReplacementNotifier(std::function<void(const QString& message)> notifier) {
        m_notify = std::move(notifier);
    }

  signals:
    // A selection was set through EditControl; the widget shows it at its
    // next event, and cursorPositionChanged may come only then.
    void selectionRequested();

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // The selection's text with the pieces of long lines joined again.
    QMimeData* createMimeDataFromSelection() const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A triple-click selects the line under it, also where a paragraph
    // holds several (line_groups.h).
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Paints bytes without a glyph as placeholders (editor/byte_placeholder.h).
    void paintEvent(QPaintEvent* event) override;

  private:
    class PieceLoad;
    // The gutter lays itself out beside the text, in the editor's margins.
    friend class LineNumberGutter;

    // How the document's change reports are taken at the moment.
    enum class Reports {
        Mirror,    // the mirror follows each edit; what needs putting right follows it
        FollowUp,  // our own edits that put things right: mirrored, nothing follows them
        Ignore,    // the mirror is made afresh afterwards, or holds the edits already
    };
    // Reports are taken at least as sparingly as `mode` says until the end
    // of the scope.
    class ReportsScope {
      public:
        ReportsScope(RichEdit& edit, Reports mode) : m_edit(edit), m_before(edit.m_reports) {
            m_edit.m_reports = std::max(m_before, mode);
        }
        ~ReportsScope() { m_edit.m_reports = m_before; }
        ReportsScope(const ReportsScope&) = delete;
        ReportsScope& operator=(const ReportsScope&) = delete;

      private:
        RichEdit& m_edit;
        Reports m_before;
    };
    // An edit as the document reports it: positions [position, position +
    // removed) of the old text replaced by `added` positions.
    struct DocumentEdit {
        int position = 0;
        int removed = 0;
        int added = 0;
    };
    // What the editor shows: nothing is handed to the widget while it does
    // not.
    struct Showing {
        bool redrawOff = false;
        bool locked = false;
        bool hiddenByCall = false;
        bool live() const { return !redrawOff && !locked && !hiddenByCall; }
    };
    // The text an undo or a redo brings back, selected (undo) or with the
    // caret behind it (redo) once it has finished.
    struct UndoSpan {
        bool running = false;
        std::optional<std::pair<int, int>> range;
        void cover(int from, int to);
    };

    // --- following the document (rich_edit_mirror.cpp) ---
    // The document's report of an edit: the mirror takes it in.
    void mirrorDocumentEdit(int position, int removed, int added);
    // The document has finished an edit: what it brought that must not
    // stay is put right, colours are shown, the change event raised.
    void finishDocumentEdit();
    // Connects a document's reports; it becomes the one the mirror describes.
    void followDocument(QTextDocument* doc);
    // The report as an edit of the text the mirror holds; nothing when it
    // does not fit that text.
    std::optional<DocumentEdit> fitReport(int position, int removed, int added) const;
    // Whether the edit leaves the text as it was (a format change reported
    // as a replacement): then nothing moves, colours included.
    bool isUnchanged(const DocumentEdit& edit) const;

    // Splices the edit into the mirror and follows it with everything kept
    // by line; false when the mirror would not take it.
    bool spliceMirror(const DocumentEdit& edit);
    void followSplice(const DocumentEdit& edit, const std::vector<TextMirror::Problem>& problems,
                      std::size_t firstLine);
    // Starts the mirror afresh from the document; clearFormats also drops the
    // colours shown on blocks that outlive the rebuild.
    void rebuildMirror(bool clearFormats = false);
    // After a whole new text went into the document and the mirror: the
    // state of a text just set.
    void settleNewText();
    // The mirror reads the characters of its lines without bytes from the
    // document it describes.
    void followUnits();

    // A key at or across the separator of lines held together, done as at a
    // paragraph's break; false for a key that is not one.
    bool keyAtSeparator(const QKeyEvent& e);
    // Before an edit of positions [from, to]: the held lines it touches are
    // parted from the lines around them (see PartingSteps), unless that
    // would cost the user a redo.
    void partHeldLines(int from, int to);
    // Whether a key is one that edits the text at the caret.
    bool keyEdits(const QKeyEvent& e) const;
    // A line break turned into one of the other kind, the text unchanged.
    bool isSeparatorSwap(const DocumentEdit& edit) const;

    // --- edits of ours ---
    void replaceInBatch(const QString& inserted);
    // Undo or redo through the document's history; the text it brought
    // back is left selected, and where it ends comes back.
    std::optional<int> replayHistory(bool redo);
    // Ends the document edit block that batched edits share.
    void closeDocumentBlock();
    void notify(const QString& message);

    // --- handing over to the widget ---
    void setPendingSelection(int anchor, int position);
    void flushPending();
    void flushSelection();
    void flushColors();
    void markDirty(std::size_t first, std::size_t last);
    bool loading() const { return m_document != document(); }
    bool live() const { return m_showing.live(); }
    // Inside an edit block with nothing shown (a replace-all): the widget's
    // cursor, the colours and the scrolling are handed over once at the end.
    bool batching() const { return m_batch.inBlock() && !live(); }

    TextMirror m_mirror;
    // The document the mirror describes: the widget's, except while a text
    // load fills a new one, when reads still answer from the old text.
    QTextDocument* m_document = nullptr;
    Reports m_reports = Reports::Mirror;
    ChangeEvents m_events;
    bool m_modified = false;
    Showing m_showing;
    bool m_hideSelection = false;
    std::optional<QPalette> m_shownSelectionPalette;

    UndoSpan m_undo;
    PartingSteps m_partings;
    bool m_parting = false;  // a parting step is being made
    // Whether the text holds lines together at all: an edit of a text that
    // does not has nothing to part, and looks no further.
    bool m_holdsLines = false;
    // The paragraph edited without a parting while a redo waited, or -1.
    int m_unparted = -1;
    EditBatch m_batch;
    LongLinePieces m_pieces;
    TextFixups m_fixups;
    PendingView m_pending;
    ColorFlusher m_colors{m_mirror};
    DisplayLines m_lines{*this};

    // Where and until when a press is the third click of a triple-click.
    struct TripleClick {
        QPoint at;
        qint64 until = 0;
    };
    TripleClick m_triple;
    std::size_t m_groupFrom = LineGroups::kGroupFrom;
    std::size_t m_leanFrom = kLeanFrom;
    // The paragraph the mirror last read the characters of a line without
    // bytes from; any edit forgets it.
    struct UnitCache {
        const QTextDocument* document = nullptr;
        int position = -1;
        QString text;
    };
    mutable UnitCache m_unitCache;

    KeyHandler m_keyDown;
    KeyHandler m_keyPress;
    std::function<void(const QString&)> m_notify;
};

}  // namespace korvane
