#include "editor/rich_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QMetaObject>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

#include "base/line_breaks.h"
#include "editor/line_groups.h"
#include "editor/qt_sjis.h"

namespace korvane {

namespace {

// The document's text of bytes in `codec`: every kind of line break becomes
// its paragraph break.
QString decodeForDocument(std::string_view bytes, const TextCodec& codec) {
    return documentTextOf(normalizeLineBreaks(bytes), codec);
}

}  // namespace

RichEdit::RichEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(false);
    setUndoRedoEnabled(true);
    followDocument(document());
    rebuildMirror();
    followUnits();
}

std::size_t RichEdit::leanLineCount() const {
    std::size_t lean = 0;
    for (std::size_t line = 0; line < m_mirror.lineCount(); ++line)
        lean += m_mirror.keepsBytes(line) ? 0 : 1;
    return lean;
}

void RichEdit::followUnits() {
    m_mirror.setUnitSource([this](std::size_t start, std::size_t count, std::u16string& out) {
        // A line of the mirror lies in one paragraph; the lines asked for
        // come one after the other, mostly from the same paragraph.
        const auto at = static_cast<int>(start);
        if (m_unitCache.document != m_document || at < m_unitCache.position ||
            at >= m_unitCache.position + static_cast<int>(m_unitCache.text.size()) + 1) {
            const QTextBlock block = m_document->findBlock(at);
            m_unitCache = {m_document, block.position(), block.text()};
        }
        out.append(viewOf(m_unitCache.text)
                       .substr(std::min(start - static_cast<std::size_t>(m_unitCache.position),
                                        static_cast<std::size_t>(m_unitCache.text.size())),
                               count));
    });
}

RichEdit::~RichEdit() = default;

// --- text ---

std::string RichEdit::textRange(std::size_t start, std::size_t end) const {
    return m_mirror.textRange(start, end);
}

void RichEdit::setText(std::string_view bytes) {
    closeDocumentBlock();
    m_pending.dropSelection();
    // A document read from a file comes with its line breaks made CR LF
    // already: no second copy of it then.
    std::string copy;
    if (!hasOnlyCrLf(bytes))
        copy = normalizeLineBreaks(bytes);
    const std::string_view normalized = copy.empty() ? bytes : std::string_view(copy);
    bool cut = false;
    QString text = LongLinePieces::pieceTextOf(normalized, cut, codec());
    m_holdsLines = LineGroups::group(text, m_groupFrom);
    {
        // The mirror is made from the bytes afterwards.
        const ReportsScope rebuilding(*this, Reports::Ignore);
        QPlainTextEdit::setPlainText(text);
        if (cut) {
            document()->setUndoRedoEnabled(false);
            LongLinePieces::markPieces(*document(), text, 0);
            document()->setUndoRedoEnabled(true);
        }
    }
    m_mirror.assignBytes(normalized, viewOf(text));
    settleNewText();
}

QString RichEdit::plainTextBetween(int from, int to) const {
    return LongLinePieces::plainTextBetween(*document(), from, to);
}

void RichEdit::setChangeHandler(std::function<void()> handler) {
    m_events.setHandler(std::move(handler));
}

void RichEdit::notify(const QString& message) {
    if (m_notify) {
        m_notify(message);
        return;
    }
    const QPoint at = viewport()->mapToGlobal(cursorRect().bottomLeft());
    QToolTip::showText(at, message, this);
}

// --- selection ---

std::pair<int, int> RichEdit::selectionUnits() const {
    if (m_pending.selection())
        return *m_pending.selection();
    const QTextCursor c = textCursor();
    return {c.anchor(), c.position()};
}

void RichEdit::setPendingSelection(int anchor, int position) {
    emit selectionRequested();
    if (!m_pending.select(anchor, position))
        return;
    // Without a later call that needs it, the widget still gets the
    // selection before the next paint.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_pending.handOverArrived();
            if (live())
                flushPending();
        },
        Qt::QueuedConnection);
}

void RichEdit::flushSelection() {
    const std::optional<std::pair<int, int>> selection = m_pending.takeSelection();
    if (!selection)
        return;
    QTextCursor c(document());
    c.setPosition(selection->first);
    c.setPosition(selection->second, QTextCursor::KeepAnchor);
    QPlainTextEdit::setTextCursor(c);
}

void RichEdit::flushPending() {
    // The widget's document is not the one the mirror describes yet.
    if (loading())
        return;
    closeDocumentBlock();
    flushSelection();
    flushColors();
    if (m_pending.takeScroll())
        ensureCursorVisible();
}

std::size_t RichEdit::selStart() const {
    const auto [a, p] = selectionUnits();
    return m_mirror.unitToByte(static_cast<std::size_t>(std::min(a, p)));
}

std::size_t RichEdit::selLength() const {
    const auto [a, p] = selectionUnits();
    return m_mirror.unitToByte(static_cast<std::size_t>(std::max(a, p))) -
           m_mirror.unitToByte(static_cast<std::size_t>(std::min(a, p)));
}

void RichEdit::setSelStart(std::size_t start) {
    const auto unit = static_cast<int>(m_mirror.byteToUnit(start));
    setPendingSelection(unit, unit);
}

void RichEdit::setSelLength(std::size_t length) {
    const auto [a, p] = selectionUnits();
    const int startUnit = std::min(a, p);
    const std::size_t startByte = m_mirror.unitToByte(static_cast<std::size_t>(startUnit));
    const std::size_t room = m_mirror.byteLength() - startByte;
    const auto endUnit = static_cast<int>(m_mirror.byteToUnit(startByte + std::min(length, room)));
    setPendingSelection(startUnit, endUnit);
    scrollCaret();
}

void RichEdit::setSelection(std::size_t start, std::size_t end) {
    if (end < start)
        std::swap(start, end);
    setPendingSelection(static_cast<int>(m_mirror.byteToUnit(start)),
                        static_cast<int>(m_mirror.byteToUnit(end)));
}

std::string RichEdit::selText() const {
    const std::size_t start = selStart();
    return m_mirror.textRange(start, start + selLength());
}

void RichEdit::replaceSelection(std::string_view bytes, bool canUndo) {
    const ChangeEvents::Scope scope(m_events);
    const QString inserted = decodeForDocument(bytes, codec());
    if (batching() && canUndo) {
        replaceInBatch(inserted);
        return;
    }
    flushPending();
    QTextCursor c = textCursor();
    if (inserted.isEmpty() && !c.hasSelection())
        return;
    if (canUndo) {
        partHeldLines(c.selectionStart(), c.selectionEnd());
        c = textCursor();
    } else {
        document()->setUndoRedoEnabled(false);
        m_partings.clear();
    }
    // One undo step per replacement, never merged with the one before
    // (unless an edit block of ours asks for it).
    if (canUndo)
        m_batch.openEdit(*document(), c);
    else
        c.beginEditBlock();
    m_pieces.insert(c, inserted);
    c.endEditBlock();
    m_pieces.endInsert();
    if (!canUndo)
        document()->setUndoRedoEnabled(true);
    QPlainTextEdit::setTextCursor(c);
}

// An edit of a block that does not show (a replace-all). Every edit of the
// toolkit's own lays its paragraph out again and places the cursor by its
// glyphs, which costs more than the rest of a replacement together; inside
// one open document edit block it does neither. The document then reports
// the edits only at the end, so the mirror takes each one from here, and the
// widget's cursor, the colours and the scrolling follow at the end.
void RichEdit::replaceInBatch(const QString& inserted) {
    const auto [anchor, position] = selectionUnits();
    const int start = std::min(anchor, position);
    const int removed = std::max(anchor, position) - start;
    if (inserted.isEmpty() && removed == 0)
        return;
    m_batch.openSharedBlock(*document());
    QTextCursor c(document());
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    m_pieces.insert(c, inserted);
    m_batch.sharedEditMade();
    mirrorDocumentEdit(start, removed, c.position() - start);
    m_pieces.endInsert();
    // Characters put right after the edit are edits of their own, which the
    // document must report as they happen.
    if (m_fixups.due() || m_pieces.repairsDue())
        closeDocumentBlock();
    finishDocumentEdit();
    setPendingSelection(c.position(), c.position());
}

void RichEdit::closeDocumentBlock() {
    if (!m_batch.sharedBlockOpen())
        return;
    // What the document now reports at once, the mirror already holds.
    const ReportsScope ownReports(*this, Reports::Ignore);
    m_batch.closeSharedBlock();
}

void RichEdit::endEditBlock() {
    if (!m_batch.end())
        return;
    closeDocumentBlock();
    if (live())
        flushPending();
}

void RichEdit::scrollCaret() {
    // Only the last scroll before the editor shows again can be seen: a
    // hidden or locked editor scrolls when it shows, once.
    if (batching() || !live()) {
        m_pending.oweScroll();
        return;
    }
    flushPending();
    ensureCursorVisible();
}

// --- colour ---

void RichEdit::markDirty(std::size_t first, std::size_t last) {
    m_colors.markDirty(first, last, batching());
}

void RichEdit::flushColors() {
    m_colors.flush(*m_document, palette(), [this](const QTextBlock& changed) {
        QRectF area = blockBoundingGeometry(changed).translated(contentOffset());
        area.setLeft(0);
        area.setRight(viewport()->width());
        viewport()->update(area.toAlignedRect());
    });
}

void RichEdit::colorSelection(CharColor color) {
    const auto [a, p] = selectionUnits();
    const auto changed = m_mirror.setColor(static_cast<std::size_t>(std::min(a, p)),
                                           static_cast<std::size_t>(std::max(a, p)), color);
    if (!changed)
        return;
    markDirty(changed->first, changed->second);
    if (live())
        flushColors();
}

void RichEdit::colorRanges(const std::vector<std::pair<std::size_t, std::size_t>>& ranges,
                           CharColor color) {
    if (ranges.empty())
        return;
    if (const auto changed = m_mirror.setColors(ranges, color))
        markDirty(changed->first, changed->second);
    setSelection(ranges.back().first, ranges.back().second);
    if (live())
        flushColors();
}

CharColor RichEdit::colorAt(std::size_t offset) const {
    if (offset >= m_mirror.byteLength())
        return CharColor::autoColor();
    return m_mirror.colorAtUnit(m_mirror.byteToUnit(offset));
}

// --- undo and clipboard ---

// The steps that only parted held lines count for nothing of their own.
bool RichEdit::canUndo() const {
    if (!m_document->isUndoAvailable())
        return false;
    int top = m_document->availableUndoSteps();
    while (const std::optional<int> start = m_partings.partingEndingAt(top))
        top = *start;
    return top > 0;
}

void RichEdit::undo() {
    replayHistory(false);
}

bool RichEdit::canRedo() const {
    if (!m_document->isRedoAvailable())
        return false;
    // The toolkit counts the commands above the top one short.
    const int end = m_document->availableUndoSteps() + m_document->availableRedoSteps() + 1;
    int next = m_document->availableUndoSteps();
    while (const std::optional<int> parted = m_partings.partingStartingAt(next))
        next = *parted;
    return next < end;
}

// The change event comes with the text the redo brought back selected, as
// an undo's: a handler that looks at the selection (the tag highlighter
// colours the tags it touches) sees all of it. The caret then goes behind it.
void RichEdit::redo() {
    if (const std::optional<int> behind = replayHistory(true)) {
        // Over what the handler asked for: it put back the selection it saw.
        m_pending.dropSelection();
        QTextCursor c(document());
        c.setPosition(*behind);
        QPlainTextEdit::setTextCursor(c);
    }
}

// Undo and redo restore text exactly as it was: nothing of what follows a
// typed edit (fixups, new pieces) may run on it, or it would redo itself.
std::optional<int> RichEdit::replayHistory(bool redo) {
    const ChangeEvents::Scope scope(m_events);
    flushPending();
    if (redo ? !document()->isRedoAvailable() : !document()->isUndoAvailable())
        return std::nullopt;
    m_undo.running = true;
    m_undo.range.reset();
    m_unparted = -1;
    QTextDocument& doc = *document();
    // A parting goes through the document alone: the widget would move the
    // caret to it and scroll there.
    const auto step = [this, &doc](bool forward, bool parting) {
        if (parting && forward)
            doc.redo();
        else if (parting)
            doc.undo();
        else if (forward)
            QPlainTextEdit::redo();
        else
            QPlainTextEdit::undo();
        m_partings.moved(doc.availableUndoSteps());
    };
    const auto partingAbove = [this, &doc] {
        return doc.isRedoAvailable() &&
               m_partings.partingStartingAt(doc.availableUndoSteps()).has_value();
    };
    const auto partingBelow = [this, &doc] {
        return doc.isUndoAvailable() &&
               m_partings.partingEndingAt(doc.availableUndoSteps()).has_value();
    };
    if (redo) {
        // The partings made for the next edit come back with it.
        while (partingAbove())
            step(true, true);
        if (doc.isRedoAvailable())
            step(true, false);
    } else {
        // Partings that no edit followed, the edit, and the partings made
        // for it.
        while (partingBelow())
            step(false, true);
        if (doc.isUndoAvailable())
            step(false, false);
        while (partingBelow())
            step(false, true);
    }
    m_undo.running = false;
    if (!m_undo.range)
        return std::nullopt;
    QTextCursor c(document());
    c.setPosition(m_undo.range->first);
    c.setPosition(m_undo.range->second, QTextCursor::KeepAnchor);
    QPlainTextEdit::setTextCursor(c);
    return std::exchange(m_undo.range, std::nullopt)->second;
}

void RichEdit::cut() {
    const ChangeEvents::Scope scope(m_events);
    flushPending();
    const QTextCursor c = textCursor();
    if (c.hasSelection()) {
        partHeldLines(c.selectionStart(), c.selectionEnd());
        QPlainTextEdit::cut();
    }
}

void RichEdit::copy() {
    flushPending();
    QPlainTextEdit::copy();
}

void RichEdit::paste() {
    const ChangeEvents::Scope scope(m_events);
    flushPending();
    QPlainTextEdit::paste();
}

bool RichEdit::canPaste() const {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    return mime != nullptr && mime->hasText();
}

void RichEdit::clearSelection() {
    const ChangeEvents::Scope scope(m_events);
    flushPending();
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    partHeldLines(c.selectionStart(), c.selectionEnd());
    c = textCursor();
    m_batch.openEdit(*document(), c);
    c.removeSelectedText();
    c.endEditBlock();
    QPlainTextEdit::setTextCursor(c);
}

// --- lines and find ---

std::size_t RichEdit::lineCount() const {
    return m_lines.count(*m_document);
}

std::size_t RichEdit::lineFromChar(std::size_t offset) const {
    return m_lines.lineOfUnit(*m_document, static_cast<int>(m_mirror.byteToUnit(offset)));
}

std::size_t RichEdit::lineStartOf(std::size_t offset) const {
    const int unit =
        m_lines.lineStartUnit(*m_document, static_cast<int>(m_mirror.byteToUnit(offset)));
    return m_mirror.unitToByte(static_cast<std::size_t>(unit));
}

std::size_t RichEdit::lineIndex(std::size_t line) const {
    const auto units = m_lines.unitsOfLine(*m_document, line);
    if (!units)
        return m_mirror.byteLength();
    return m_mirror.unitToByte(static_cast<std::size_t>(units->first));
}

std::string RichEdit::lineText(std::size_t line) const {
    const auto units = m_lines.unitsOfLine(*m_document, line);
    if (!units)
        return {};
    return m_mirror.textRange(m_mirror.unitToByte(static_cast<std::size_t>(units->first)),
                              m_mirror.unitToByte(static_cast<std::size_t>(units->second)));
}

std::optional<std::size_t> RichEdit::find(std::string_view what, std::size_t min, std::size_t max,
                                          bool matchCase) const {
    return m_mirror.find(what, min, max, matchCase);
}

// --- window ---

bool RichEdit::setFocus() {
    if (!batching())
        flushPending();
    if (!isVisible() || !isEnabled())
        return false;
    // As a control's focus on Windows: its window comes forward too, so a
    // search from the modeless find dialog leaves the keys with the editor.
    if (!window()->isActiveWindow())
        window()->activateWindow();
    QWidget::setFocus(Qt::OtherFocusReason);
    return true;
}

void RichEdit::setRedraw(bool on) {
    m_showing.redrawOff = !on;
    if (on && live())
        flushPending();
    setUpdatesEnabled(on);
}

void RichEdit::setVisible(bool visible) {
    m_showing.hiddenByCall = !visible;
    QPlainTextEdit::setVisible(visible);
    if (visible && live())
        flushPending();
}

void RichEdit::lockUpdates(bool locked) {
    m_showing.locked = locked;
    if (!locked && live())
        flushPending();
}

void RichEdit::setHideSelection(bool hide) {
    if (hide == m_hideSelection)
        return;
    m_hideSelection = hide;
    // Without the focus the selection takes the inactive colours; making
    // them those of plain text hides it.
    if (hide) {
        m_shownSelectionPalette = palette();
        QPalette p = palette();
        p.setColor(QPalette::Inactive, QPalette::Highlight,
                   p.color(QPalette::Inactive, QPalette::Base));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   p.color(QPalette::Inactive, QPalette::Text));
        setPalette(p);
    } else if (m_shownSelectionPalette) {
        setPalette(*m_shownSelectionPalette);
        m_shownSelectionPalette.reset();
    }
}

}  // namespace korvane
