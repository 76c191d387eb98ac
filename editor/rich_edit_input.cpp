// RichEdit's input and painting: what comes in from the keyboard, input
// methods, the clipboard and drops, filtered to what Shift_JIS can hold, and
// the placeholders painted for bytes without a glyph.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

#include "editor/byte_placeholder.h"
#include "editor/file_drag.h"
#include "editor/line_groups.h"
#include "editor/qt_sjis.h"
#include "editor/rich_edit.h"

namespace korvane {

namespace {

// Both redo keys of the menus: Ctrl+Y as on Windows, Ctrl+Shift+Z as
// elsewhere, whichever the desktop calls its own.
bool isRedoKey(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers() & ~Qt::KeypadModifier;
    return (e.key() == Qt::Key_Y && mods == Qt::ControlModifier) ||
           (e.key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier));
}

}  // namespace

bool RichEdit::event(QEvent* e) {
    if (e->type() == QEvent::PaletteChange)
        m_colors.forgetFormats();  // system colours follow the palette
    if (live())
        flushPending();
    return QPlainTextEdit::event(e);
}

bool RichEdit::viewportEvent(QEvent* e) {
    if (live())
        flushPending();
    return QPlainTextEdit::viewportEvent(e);
}

int RichEdit::virtualKey(const QKeyEvent& e) {
    const int key = e.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0x09;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 0x0D;
        case Qt::Key_Escape:
            return 0x1B;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_PageUp:
            return 0x21;
        case Qt::Key_PageDown:
            return 0x22;
        case Qt::Key_End:
            return 0x23;
        case Qt::Key_Home:
            return 0x24;
        case Qt::Key_Left:
            return 0x25;
        case Qt::Key_Up:
            return 0x26;
        case Qt::Key_Right:
            return 0x27;
        case Qt::Key_Down:
            return 0x28;
        case Qt::Key_Insert:
            return 0x2D;
        case Qt::Key_Delete:
            return 0x2E;
        default:
            return 0;
    }
}

int RichEdit::typedCharacter(const QKeyEvent& e) {
    if (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter)
        return (e.modifiers() & Qt::ControlModifier) ? 10 : 13;
    const QString text = e.text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

void RichEdit::keyPressEvent(QKeyEvent* e) {
    flushPending();
    if (m_keyDown && m_keyDown(e)) {
        e->accept();
        return;
    }
    if (typedCharacter(*e) != 0 && m_keyPress && m_keyPress(e)) {
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Undo)) {
        undo();
        e->accept();
        return;
    }
    // Ctrl+Y as on Windows, and the desktop's own redo key.
    if (e->matches(QKeySequence::Redo) || isRedoKey(*e)) {
        redo();
        e->accept();
        return;
    }
    if (keyEdits(*e)) {
        const QTextCursor c = textCursor();
        partHeldLines(c.selectionStart(), c.selectionEnd());
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // Shift+Enter would insert U+2028, a line break the file cannot
        // hold; every Enter makes a paragraph (CR LF).
        QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier,
                        QStringLiteral("\r"), e->isAutoRepeat(), static_cast<quint16>(e->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        e->setAccepted(plain.isAccepted());
        return;
    }
    if (keyAtSeparator(*e)) {
        e->accept();
        return;
    }
    const SjisFiltered filtered = filterForCodec(e->text(), SjisLineBreaks::Paragraph, codec());
    if (filtered.replaced.isEmpty()) {
        const int before = textCursor().position();
        const bool plain = (e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
        if (plain) {
            // Backspace at the start of a piece erases the character before
            // it, Delete at the end of one the character after it.
            QTextCursor c = textCursor();
            if (LongLinePieces::crossBeforeErase(c, e->key()))
                QPlainTextEdit::setTextCursor(c);
        }
        QPlainTextEdit::keyPressEvent(e);
        if (plain) {
            // Arrow keys step over a soft break as over nothing.
            QTextCursor c = textCursor();
            if (LongLinePieces::stepOverSoftBreak(c, e->key(), before,
                                                  (e->modifiers() & Qt::ShiftModifier) != 0))
                QPlainTextEdit::setTextCursor(c);
        }
        return;
    }
    QKeyEvent typed(e->type(), e->key(), e->modifiers(), filtered.text, e->isAutoRepeat(),
                    static_cast<quint16>(e->count()));
    QPlainTextEdit::keyPressEvent(&typed);
    e->setAccepted(typed.isAccepted());
    notify(replacementNotice(filtered.replaced, codec().charsetName()));
}

namespace {

// How far past what the toolkit lays out again with an edited line the
// lines are parted, so that a line growing by the keys typed into it is
// covered for a while; and how many lines after it are parted at most.
constexpr int kPartingSlack = 256;
constexpr std::size_t kMostPartedAfter = 16;

}  // namespace

bool RichEdit::keyEdits(const QKeyEvent& e) const {
    if (isReadOnly())
        return false;
    const QTextCursor c = textCursor();
    switch (e.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return true;
        case Qt::Key_Backspace:
            return c.hasSelection() || !c.atStart();
        case Qt::Key_Delete:
            return c.hasSelection() || !c.atEnd();
        default:
            break;
    }
    if (e.matches(QKeySequence::Cut))
        return c.hasSelection();
    if (e.matches(QKeySequence::DeleteStartOfWord) || e.matches(QKeySequence::DeleteEndOfWord))
        return true;
    const QString text = e.text();
    return !text.isEmpty() && (text.at(0).isPrint() || text.at(0) == u'\t') &&
           (e.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) == 0;
}

void RichEdit::partHeldLines(int from, int to) {
    QTextDocument& doc = *document();
    if (!m_holdsLines || loading() || m_batch.inBlock() || m_undo.running || isReadOnly() ||
        !doc.isUndoRedoEnabled())
        return;
    const QTextBlock first = doc.findBlock(from);
    const QTextBlock last = doc.findBlock(to);
    if (!first.isValid() || !last.isValid())
        return;
    // A parting would take away the redo that waits; the edit goes into the
    // paragraph as it stands, and so do the keys after it there, or a
    // parting between them would cut their one undo step in two.
    if (doc.isRedoAvailable()) {
        m_unparted = first.blockNumber();
        return;
    }
    if (first.blockNumber() == m_unparted && last.blockNumber() == m_unparted)
        return;
    m_unparted = -1;
    // Inside a paragraph every line break of the mirror's is a separator.
    // The lines next to the edited ones are parted too: the toolkit paints
    // the paragraph before and after an edited one again with it, and it
    // lays out again, with a paragraph whose colours changed, every
    // paragraph that starts within that paragraph's length after it. A
    // held paragraph there would cost dozens of lines at every keystroke.
    std::vector<int> breaks;  // positions of separators to turn, latest first
    const std::size_t firstLine = heldLineOf(from);
    const std::size_t lastLine = heldLineOf(to);
    const auto lineEnd = [this](std::size_t line) {
        return static_cast<int>(m_mirror.lineStartUnit(line) + m_mirror.lineUnits(line));
    };
    const int editedEnd = lineEnd(lastLine);
    const int reach = editedEnd +
                      (editedEnd - static_cast<int>(m_mirror.lineStartUnit(firstLine))) +
                      kPartingSlack;
    for (std::size_t line = lastLine;
         line < m_mirror.lineCount() && line <= lastLine + kMostPartedAfter; ++line) {
        const int end = lineEnd(line);
        const QTextBlock block = line == lastLine ? last : doc.findBlock(end);
        if (end >= block.position() && end < block.position() + block.length() - 1)
            breaks.push_back(end);
        if (line > lastLine && end >= reach)
            break;
    }
    for (const std::size_t line : {firstLine, firstLine - 1}) {
        if (line >= m_mirror.lineCount())
            continue;  // before the first line
        const auto start = static_cast<int>(m_mirror.lineStartUnit(line));
        if (start > first.position())
            breaks.push_back(start - 1);
    }
    std::sort(breaks.begin(), breaks.end(), std::greater<>());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
    if (breaks.empty())
        return;
    // Positions, not a cursor: a cursor would move with the new breaks.
    const int anchor = textCursor().anchor();
    const int position = textCursor().position();
    m_parting = true;
    // The later ones first: the earlier positions stay where they are.
    for (const int at : breaks) {
        QTextCursor c(&doc);
        c.beginEditBlock();
        c.setPosition(at);
        c.setPosition(at + 1, QTextCursor::KeepAnchor);
        const QTextCharFormat format = c.charFormat();
        c.removeSelectedText();
        // A paragraph of its own, never the piece of a long line that a
        // copy of the paragraph's format could make it.
        c.insertBlock(QTextBlockFormat(), format);
        c.endEditBlock();
    }
    m_parting = false;
    // A caret at the line's end would have moved past the new break.
    QTextCursor c(&doc);
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    QPlainTextEdit::setTextCursor(c);
}

bool RichEdit::keyAtSeparator(const QKeyEvent& e) {
    // Keys that would see the separator of lines held together
    // (line_groups.h) as a character of a line: a word key takes it for a
    // space between words, and Backspace or Delete of it would join one undo
    // step with the keys around it. They act as at a paragraph's break.
    enum class Move { None, Back, Forward };
    struct WordKey {
        QKeySequence::StandardKey key;
        Move move;
        bool select;
        bool erase;
    };
    static constexpr WordKey kWordKeys[] = {
        {QKeySequence::MoveToPreviousWord, Move::Back, false, false},
        {QKeySequence::MoveToNextWord, Move::Forward, false, false},
        {QKeySequence::SelectPreviousWord, Move::Back, true, false},
        {QKeySequence::SelectNextWord, Move::Forward, true, false},
        {QKeySequence::DeleteStartOfWord, Move::Back, false, true},
        {QKeySequence::DeleteEndOfWord, Move::Forward, false, true},
    };
    Move move = Move::None;
    bool erase = false;
    bool select = false;
    for (const WordKey& k : kWordKeys) {
        if (e.matches(k.key)) {
            move = k.move;
            select = k.select;
            erase = k.erase;
            break;
        }
    }
    if (move == Move::None && e.modifiers() == Qt::NoModifier &&
        (e.key() == Qt::Key_Backspace || e.key() == Qt::Key_Delete)) {
        move = e.key() == Qt::Key_Backspace ? Move::Back : Move::Forward;
        erase = true;
    }
    QTextCursor c = textCursor();
    if (move == Move::None || (erase && c.hasSelection()) || loading())
        return false;
    const bool word = e.modifiers() != Qt::NoModifier;
    const int pos = c.position();
    const QTextBlock block = c.block();
    const QString text = block.text();
    const int local = pos - block.position();
    const auto separatorAt = [&](int i) {
        return i >= 0 && i < text.size() && LineGroups::isSeparator(text.at(i));
    };
    int target = -1;
    if (move == Move::Back) {
        if (separatorAt(local - 1)) {
            target = pos - 1;  // the line break before the line
        } else if (word) {
            QTextCursor w = c;
            w.movePosition(QTextCursor::PreviousWord);
            const int start = heldLineStart(pos);
            if (w.position() < start && start > block.position())
                target = start;
        }
    } else {
        if (separatorAt(local)) {
            target = pos + 1;
        } else if (word) {
            QTextCursor w = c;
            w.movePosition(QTextCursor::NextWord);
            const std::size_t line = heldLineOf(pos);
            const auto end =
                static_cast<int>(m_mirror.lineStartUnit(line) + m_mirror.lineUnits(line));
            if (w.position() > end && separatorAt(end - block.position()))
                target = end;
        }
    }
    if (target < 0)
        return false;
    c.setPosition(target, erase || select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    if (erase) {
        // An edit block of its own: the toolkit never merges it with the
        // single characters erased before or after it.
        c.beginEditBlock();
        c.removeSelectedText();
        c.endEditBlock();
    }
    QPlainTextEdit::setTextCursor(c);
    return true;
}

void RichEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (!e->commitString().isEmpty() || !e->preeditString().isEmpty()) {
        const QTextCursor c = textCursor();
        partHeldLines(c.selectionStart(), c.selectionEnd());
    }
    const SjisFiltered filtered =
        filterForCodec(e->commitString(), SjisLineBreaks::Paragraph, codec());
    if (filtered.replaced.isEmpty()) {
        QPlainTextEdit::inputMethodEvent(e);
        return;
    }
    QInputMethodEvent committed(e->preeditString(), e->attributes());
    committed.setCommitString(filtered.text, e->replacementStart(), e->replacementLength());
    QPlainTextEdit::inputMethodEvent(&committed);
    notify(replacementNotice(filtered.replaced, codec().charsetName()));
}

QMimeData* RichEdit::createMimeDataFromSelection() const {
    const QTextCursor c = textCursor();
    auto* mime = new QMimeData;
    mime->setText(plainTextBetween(c.selectionStart(), c.selectionEnd()));
    return mime;
}

bool RichEdit::canInsertFromMimeData(const QMimeData* source) const {
    // Dropped files belong to the main window, not into the text.
    return !source->hasUrls() && source->hasText();
}

void RichEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    const ChangeEvents::Scope scope(m_events);
    const SjisFiltered filtered =
        filterForCodec(source->text(), SjisLineBreaks::Paragraph, codec());
    partHeldLines(textCursor().selectionStart(), textCursor().selectionEnd());
    QTextCursor c = textCursor();
    c.beginEditBlock();
    m_pieces.insert(c, filtered.text);
    c.endEditBlock();
    m_pieces.endInsert();
    QPlainTextEdit::setTextCursor(c);
    ensureCursorVisible();
    if (!filtered.replaced.isEmpty())
        notify(replacementNotice(filtered.replaced, codec().charsetName()));
}

void RichEdit::dragEnterEvent(QDragEnterEvent* e) {
    if (!refuseFileDrag(e))
        QPlainTextEdit::dragEnterEvent(e);
}

void RichEdit::dragMoveEvent(QDragMoveEvent* e) {
    if (!refuseFileDrag(e))
        QPlainTextEdit::dragMoveEvent(e);
}

void RichEdit::dropEvent(QDropEvent* e) {
    if (!refuseFileDrag(e))
        QPlainTextEdit::dropEvent(e);
}

// --- painting ---

void RichEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton)
        m_triple = {e->position().toPoint(),
                    QDateTime::currentMSecsSinceEpoch() + QApplication::doubleClickInterval()};
}

void RichEdit::mousePressEvent(QMouseEvent* e) {
    const bool triple = e->button() == Qt::LeftButton &&
                        QDateTime::currentMSecsSinceEpoch() < m_triple.until &&
                        (e->position().toPoint() - m_triple.at).manhattanLength() <
                            QApplication::startDragDistance();
    m_triple = {};
    // Where the click is, before the toolkit selects the paragraph and
    // scrolls to its end.
    const int clicked = cursorForPosition(e->position().toPoint()).position();
    const int vertical = verticalScrollBar()->value();
    const int horizontal = horizontalScrollBar()->value();
    QPlainTextEdit::mousePressEvent(e);
    if (!triple || loading())
        return;
    // The toolkit selected the paragraph with its break; a paragraph that
    // holds several lines gives up all but the clicked one, which stays
    // where it was clicked.
    if (!m_document->findBlock(clicked).text().contains(QChar(LineGroups::kLineSeparator)))
        return;
    const std::size_t line = heldLineOf(clicked);
    const int start = heldLineStart(clicked);
    const int end =
        std::min(static_cast<int>(m_mirror.lineStartUnit(line) + m_mirror.lineUnits(line)) + 1,
                 m_document->characterCount() - 1);
    QTextCursor lineCursor(m_document);
    lineCursor.setPosition(start);
    lineCursor.setPosition(end, QTextCursor::KeepAnchor);
    QPlainTextEdit::setTextCursor(lineCursor);
    verticalScrollBar()->setValue(vertical);
    horizontalScrollBar()->setValue(horizontal);
}

void RichEdit::paintEvent(QPaintEvent* e) {
    QPlainTextEdit::paintEvent(e);
    // Over what the font made of them: only the lines in the repainted area
    // are looked at, and a line without such a character costs one scan.
    // The paint context says what the base class drew: the selection's
    // colours and whether the caret was on.
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    QPainter painter(viewport());
    const QRect area = e->rect();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF bounds = blockBoundingGeometry(block).translated(offset);
        if (bounds.top() > area.bottom())
            break;
        if (!block.isVisible() || bounds.bottom() < area.top())
            continue;
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        const QPointF origin = bounds.topLeft() + layout->position();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int byte = byteWithoutGlyph(text.at(i).unicode());
            if (byte < 0)
                continue;
            const auto unit = static_cast<int>(i);
            const QTextLine line = layout->lineForTextPosition(unit);
            if (!line.isValid())
                continue;
            const qreal left = origin.x() + line.cursorToX(unit);
            const qreal right = origin.x() + line.cursorToX(unit + 1);
            const qreal top = origin.y() + line.y();
            const QRect cell(
                QPoint(qRound(std::min(left, right)), qRound(top)),
                QPoint(qRound(std::max(left, right)) - 1, qRound(top + line.height()) - 1));
            const int position = block.position() + unit;
            QColor ink = context.palette.color(QPalette::Text);
            QColor paper = context.palette.color(QPalette::Base);
            for (const QAbstractTextDocumentLayout::Selection& s : context.selections) {
                if (position < s.cursor.selectionStart() || position >= s.cursor.selectionEnd())
                    continue;
                if (s.format.hasProperty(QTextFormat::ForegroundBrush))
                    ink = s.format.foreground().color();
                if (s.format.hasProperty(QTextFormat::BackgroundBrush))
                    paper = s.format.background().color();
            }
            drawBytePlaceholder(painter, cell, byte, ink, paper);
            if (context.cursorPosition == position)
                painter.fillRect(QRectF(left, top, cursorWidth(), line.height()),
                                 context.palette.color(QPalette::Text));
        }
    }
}

}  // namespace korvane
