// The main window's editor: the EditControl contract on a QPlainTextEdit.
//
// The toolkit holds the text as UTF-16 paragraphs; the program speaks
// Shift_JIS bytes with CR LF. A TextMirror beside the document keeps the bytes
// and the position index up to date paragraph by paragraph, so offsets, reads
// and searches never re-encode the document. Colour lives in the mirror too
// and reaches the screen through the text layout of each paragraph, never as
// character formats of the document: colouring adds no undo step, changes no
// modified flag and raises no change event.
//
// A paragraph of hundreds of kilobytes (a generated page on one line) is
// more than the toolkit can lay out on every keystroke, so lines longer than
// a few thousand characters are cut into pieces, each a paragraph of the
// document that starts with a soft break (a property of its block format, so
// undo brings it back with the text). The mirror counts no bytes for a soft
// break: offsets, reads, searches, copies and saves see the line whole.
//
// Use it through EditControl. Reading or setting textCursor() directly sees
// a selection that was set through EditControl only once the editor has had
// its next event (the selection is handed to the widget lazily, so that a
// pass over 45,000 tags does not lay out the text 45,000 times).
#pragma once

#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/edit_control.h"
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

    unsigned eventMask() const override { return m_eventMask; }
    void setEventMask(unsigned mask) override { m_eventMask = mask; }
    void setChangeHandler(std::function<void()> handler) override;
    bool modified() const override { return m_modified; }
    void setModified(bool modified) override { m_modified = modified; }

    bool canUndo() const override;
    // Takes back the last step and selects the text it brought back.
    void undo() override;
    void cut() override;
    void copy() override;
    void paste() override;
    bool canPaste() const override;
    void clearSelection() override;
    // Each edit inside the block is a document edit block of its own, so the
    // document reports it (and the mirror follows) at once; the edits after
    // the first join the first one's undo step.
    void beginEditBlock() override { ++m_blockDepth; }
    void endEditBlock() override;

    std::size_t lineCount() const override;
    std::size_t lineFromChar(std::size_t offset) const override;
    std::size_t lineIndex(std::size_t line) const override;
    // Lays out only the offset's paragraph.
    std::size_t lineStartOf(std::size_t offset) const override;
    std::string lineText(std::size_t line) const override;

    std::optional<std::size_t> find(std::string_view what, std::size_t min, std::size_t max,
                                    bool matchCase) const override;

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

    // How the user is told that typed, pasted or dropped characters were
    // replaced; a tool tip at the caret unless set.
    void setReplacementNotifier(std::function<void(const QString& message)> notifier) {
        m_notify = std::move(notifier);
    }

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
    // Paints bytes without a glyph as placeholders (platform/byte_placeholder.h).
    void paintEvent(QPaintEvent* event) override;

  private:
    // Holds the change event back until an operation of ours has finished,
    // so that the handler sees the caret where the operation leaves it.
    class EditScope;
    class PieceLoad;
    struct Fixup {
        int position = 0;
        int length = 0;
        QString replacement;
    };

    // Lines of more characters than this are cut into pieces of about
    // kPieceUnits: a piece lays out in a millisecond or two.
    static constexpr std::size_t kPieceUnits = 4096;
    static constexpr std::size_t kMaxPieceUnits = 2 * kPieceUnits;

    // The document's text of Shift_JIS bytes with CR LF line breaks,
    // decoded in one pass, lines longer than kMaxPieceUnits cut into pieces
    // by soft break units (`cut` tells whether any was).
    static QString pieceTextOf(std::string_view crlfBytes, bool& cut);
    // Gives the blocks that `text`, inserted at `from`, starts with a soft
    // break unit the format of a piece.
    static void markPieces(QTextDocument& doc, const QString& text, int from);
    static bool blockStartsSoft(const QTextBlock& block);

    void onContentsChange(int position, int removed, int added);
    // Inserts text at the cursor (inside an edit block of the caller's),
    // cutting lines longer than kMaxPieceUnits into pieces. Returns whether
    // it made soft breaks; the caller then keeps m_softEdit set until the
    // document has reported the edit.
    bool insertPieces(QTextCursor& cursor, const QString& text);
    // The mirror's soft breaks of lines [first, last] from the document.
    void syncSoftBreaks(std::size_t first, std::size_t last);
    // Soft breaks inherited by paragraphs the user made, and pieces grown
    // too long, put right after an edit as part of its undo step.
    void applySoftEdits();
    // Arrow keys step over a soft break as over nothing.
    void stepOverSoftBreak(int key, int before, bool select);
    void onContentsChanged();
    // Starts the mirror afresh from the document; clearFormats also drops the
    // colours shown on blocks that outlive the rebuild.
    void rebuildMirror(bool clearFormats = false);
    bool isUnchanged(int position, int removed, int added) const;
    void applyFixups();
    void raiseChange();
    // Opens the document edit block of one of our edits: a new undo step,
    // or inside an edit block of ours the step of its first edit.
    void openEdit(QTextCursor& cursor);
    void replaceInBatch(const QString& inserted);
    // Ends the document edit block that batched edits share.
    void closeDocumentBlock();
    void notify(const QString& message);

    // Selection: units [anchor, position) not yet handed to the widget.
    std::pair<int, int> selectionUnits() const;
    void setPendingSelection(int anchor, int position);
    void flushPending();
    void flushSelection();
    void flushColors();
    // Lines [first, last] need their colours handed to the layout.
    void markDirty(std::size_t first, std::size_t last);
    bool loading() const { return m_document != document(); }
    bool live() const { return !m_redrawOff && !m_locked && !m_hiddenByCall; }
    // Inside an edit block with nothing shown (a replace-all): the widget's
    // cursor, the colours and the scrolling are handed over once at the end.
    bool batching() const { return m_blockDepth > 0 && !live(); }
    void applyFormats(const QTextBlock& block, std::size_t line);
    const QTextCharFormat& formatOf(ColorValue color);

    // Display lines.
    void ensureLineCache(std::size_t blocks) const;
    std::size_t displayLinesOf(const QTextBlock& block) const;
    // The display line within its block that holds a position of the document.
    int lineInBlock(const QTextBlock& block, int unit) const;
    // The block and the line in it of a display line; nothing past the last.
    std::optional<std::pair<QTextBlock, int>> displayLine(std::size_t line) const;

    TextMirror m_mirror;
    // The document the mirror describes: the widget's, except while a text
    // load fills a new one, when reads still answer from the old text.
    QTextDocument* m_document;
    unsigned m_eventMask = 1;
    std::function<void()> m_onChange;
    bool m_modified = false;
    bool m_hideSelection = false;
    std::optional<QPalette> m_shownSelectionPalette;

    bool m_redrawOff = false;
    bool m_locked = false;
    bool m_hiddenByCall = false;

    bool m_rebuilding = false;  // setText: the mirror is rebuilt afterwards
    bool m_fixing = false;      // replacing characters that must not stay
    bool m_inUndo = false;
    int m_blockDepth = 0;
    bool m_blockHasStep = false;
    bool m_scrollOwed = false;
    bool m_documentBlockOpen = false;
    bool m_ownReports = false;  // the document reports edits the mirror has
    QTextCursor m_blockCursor;
    std::optional<std::pair<int, int>> m_undoRange;
    bool m_textChanged = false;
    int m_scopeDepth = 0;
    bool m_changeOwed = false;
    std::vector<Fixup> m_fixups;
    bool m_softEdit = false;      // our edit sets the pieces' soft breaks itself
    std::vector<int> m_hardenAt;  // blocks that must not start with a soft break
    std::vector<int> m_splitAt;   // blocks to cut into pieces
    QString m_pendingNotice;

    std::optional<std::pair<int, int>> m_pendingSelection;
    bool m_flushPosted = false;
    std::vector<std::size_t> m_dirtyLines;
    std::optional<std::pair<std::size_t, std::size_t>> m_dirtySpan;  // while batching
    std::map<ColorValue, QTextCharFormat> m_formatCache;

    // Display lines before each block, valid for the first blocks; reset
    // when the wrap width or the font change.
    mutable std::vector<std::size_t> m_linesBefore{0};
    mutable QString m_lineCacheKey;

    KeyHandler m_keyDown;
    KeyHandler m_keyPress;
    std::function<void(const QString&)> m_notify;
};

}  // namespace korvane
