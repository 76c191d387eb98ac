// RichEdit's text load in pieces.
//
// setText holds the bytes, their decoded text, the toolkit's copy of that
// text, the document and the mirror all at once: 15 times the size of a
// 200 MB file at the peak. A load decodes and inserts one piece at a time
// into a new document and a new mirror, so what is held at the end is about
// what is held at the peak.
//
// The new document is the widget's while it fills (a document put in later
// would have every paragraph laid out again at once, a text layout for each
// of millions of lines); the old one is kept aside with its undo history
// and colours and comes back whole when the load is dropped. The widget
// neither paints nor hands anything to the document meanwhile.
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <string>
#include <utility>

#include "editor/line_groups.h"
#include "editor/qt_sjis.h"
#include "editor/rich_edit.h"

namespace korvane {

class RichEdit::PieceLoad final : public EditControl::TextLoad {
  public:
    PieceLoad(RichEdit& edit, const TextCodec& codec);
    ~PieceLoad() override;
    PieceLoad(const PieceLoad&) = delete;
    PieceLoad& operator=(const PieceLoad&) = delete;

    void append(std::string_view bytes) override;
    void commit() override;

  private:
    // Whole lines into the new document and mirror.
    void appendLines(std::string_view bytes);

    RichEdit& m_edit;
    QTextDocument* m_old;
    QObject* m_oldParent;
    QTextDocument* m_new;
    QTextCursor m_end;
    TextMirror m_mirror;
    // The bytes after the last line break so far: a piece may end inside a
    // line, even inside a character, and the next one goes on from there.
    std::string m_carry;
    // What the editor showed, for a load that is dropped.
    QTextCursor m_cursor;
    std::optional<std::pair<int, int>> m_pendingSelection;
    int m_vertical;
    int m_horizontal;
    bool m_updates;
    bool m_locked;
    bool m_committed = false;
    bool m_holdsLines = false;  // some of its lines are held together
};

RichEdit::PieceLoad::PieceLoad(RichEdit& edit, const TextCodec& codec)
    : m_edit(edit),
      m_old(edit.document()),
      m_oldParent(m_old->parent()),
      m_new(new QTextDocument(&edit)),
      m_cursor(edit.textCursor()),
      m_pendingSelection(edit.m_pending.selection()),
      m_vertical(edit.verticalScrollBar()->value()),
      m_horizontal(edit.horizontalScrollBar()->value()),
      m_updates(edit.updatesEnabled()),
      m_locked(edit.m_showing.locked) {
    // Nothing is handed to the widget while its document is not the one the
    // mirror describes.
    m_edit.m_showing.locked = true;
    // Reads go on answering from the old text until the commit.
    if (!m_pendingSelection)
        m_edit.m_pending.holdSelection(std::make_pair(m_cursor.anchor(), m_cursor.position()));
    m_edit.setUpdatesEnabled(false);
    m_new->setDocumentLayout(new QPlainTextDocumentLayout(m_new));
    m_new->setDefaultFont(m_old->defaultFont());
    m_new->setDefaultTextOption(m_old->defaultTextOption());
    m_new->setDocumentMargin(m_old->documentMargin());
    m_new->setUndoRedoEnabled(false);
    // The load's own mirror speaks the text's codec; the editor takes it
    // (and with it the codec) only at the commit.
    m_mirror.setCodec(codec);
    // The widget deletes a document it owns when another takes its place.
    m_old->setParent(&m_edit);
    const QSignalBlocker quiet(&m_edit);
    m_edit.QPlainTextEdit::setDocument(m_new);
    m_end = QTextCursor(m_new);
}

RichEdit::PieceLoad::~PieceLoad() {
    if (m_committed)
        return;
    const QSignalBlocker quiet(&m_edit);
    m_edit.QPlainTextEdit::setDocument(m_old);
    m_old->setParent(m_oldParent);
    delete m_new;
    QTextCursor c(m_old);
    c.setPosition(m_cursor.anchor());
    c.setPosition(m_cursor.position(), QTextCursor::KeepAnchor);
    m_edit.QPlainTextEdit::setTextCursor(c);
    m_edit.verticalScrollBar()->setValue(m_vertical);
    m_edit.horizontalScrollBar()->setValue(m_horizontal);
    m_edit.m_pending.holdSelection(m_pendingSelection);
    m_edit.m_showing.locked = m_locked;
    m_edit.setUpdatesEnabled(m_updates);
}

void RichEdit::PieceLoad::append(std::string_view bytes) {
    if (m_carry.empty() && (bytes.empty() || bytes.back() == '\n')) {
        appendLines(bytes);
        return;
    }
    m_carry.append(bytes);
    const std::size_t lf = m_carry.rfind('\n');
    if (lf == std::string::npos)
        return;
    appendLines(std::string_view(m_carry).substr(0, lf + 1));
    m_carry.erase(0, lf + 1);
}

void RichEdit::PieceLoad::appendLines(std::string_view bytes) {
    bool cut = false;
    QString text = LongLinePieces::pieceTextOf(bytes, cut, m_mirror.codec());
    const int from = m_end.position();
    const auto start = static_cast<std::size_t>(from);
    m_holdsLines |=
        LineGroups::group(text, m_edit.m_groupFrom > start ? m_edit.m_groupFrom - start : 0);
    const QSignalBlocker quiet(&m_edit);
    m_end.insertText(text);
    // A piece holds whole lines: a long one is cut into pieces here.
    if (cut)
        LongLinePieces::markPieces(*m_new, text, from);
    m_mirror.appendBytes(bytes, viewOf(text), start >= m_edit.m_leanFrom);
}

void RichEdit::PieceLoad::commit() {
    if (!m_carry.empty())
        appendLines(std::exchange(m_carry, std::string()));
    m_committed = true;
    m_edit.m_holdsLines = m_holdsLines;
    m_edit.closeDocumentBlock();
    // A selection asked for meanwhile was in the old text.
    m_edit.m_pending.dropSelection();
    // The old text goes, with its undo history and colours.
    delete m_old;
    m_new->setUndoRedoEnabled(true);
    m_edit.m_mirror = std::move(m_mirror);
    m_edit.followUnits();
    m_edit.followDocument(m_new);
    m_edit.m_unitCache = {};
    // As setText's: should the document hold other paragraphs than the
    // bytes make, the mirror is built from the document.
    m_edit.settleNewText();
    m_edit.m_showing.locked = m_locked;
    m_edit.setUpdatesEnabled(m_updates);
    // The caret stood where the pieces went in and moved along with them;
    // a loaded text starts with the caret before it, as setText's does.
    m_edit.QPlainTextEdit::setTextCursor(QTextCursor(m_new));
    m_edit.ensureCursorVisible();
    // Once for the whole text, as setText's document reports it.
    emit m_edit.textChanged();
}

std::unique_ptr<EditControl::TextLoad> RichEdit::beginTextLoad() {
    return std::make_unique<PieceLoad>(*this, codec());
}

// A file in another encoding than the editor's last one (a UTF-8 page after
// a Shift_JIS one) goes in piece by piece too: gathered whole and set, it
// held the bytes and the decoded text at once, twice the memory at the
// peak of an open.
std::unique_ptr<EditControl::TextLoad> RichEdit::beginTextLoadIn(const TextCodec& codec) {
    return std::make_unique<PieceLoad>(*this, codec);
}

}  // namespace korvane
