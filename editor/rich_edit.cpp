#include "editor/rich_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <functional>

#include "base/line_breaks.h"
#include "base/shift_jis.h"
#include "editor/byte_placeholder.h"
#include "editor/file_drag.h"
#include "editor/qt_sjis.h"
#include "platform/system_colors.h"

namespace korvane {

namespace {

// The block property that marks a piece of a long line: the block starts
// with a soft break, not a line break.
constexpr int kSoftBreakProperty = QTextFormat::UserProperty + 0x4B;

bool startsSoft(const QTextBlock& block) {
    return block.isValid() && block.blockFormat().boolProperty(kSoftBreakProperty);
}

QTextBlockFormat softFormat() {
    QTextBlockFormat format;
    format.setProperty(kSoftBreakProperty, true);
    return format;
}

bool isParagraphBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QChar::ParagraphSeparator;
}

// The document's text of Shift_JIS bytes with CR LF line breaks, decoded
// in one pass: each CR LF becomes its paragraph break.
QString documentTextOf(std::string_view crlfBytes) {
    QString text(static_cast<qsizetype>(crlfBytes.size()), Qt::Uninitialized);
    const std::size_t units =
        decodeShiftJisDocument(crlfBytes, reinterpret_cast<char16_t*>(text.data()));
    text.truncate(static_cast<qsizetype>(units));
    return text;
}

// The text with each line of more than `maxUnits` cut into pieces by soft
// break units; the text itself (and `cut` false) when no line is that long.
QString cutIntoPieces(const QString& text, std::size_t target, std::size_t maxUnits, bool& cut) {
    const std::u16string_view all = viewOf(text);
    QString out;
    std::size_t copied = 0;
    for (std::size_t start = 0; start <= all.size();) {
        std::size_t end = all.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = all.size();
        if (end - start > maxUnits) {
            if (out.isNull())
                out.reserve(text.size() + text.size() / static_cast<qsizetype>(target) + 1);
            for (std::size_t p :
                 TextMirror::softBreakPoints(all.substr(start, end - start), target, maxUnits)) {
                out += QStringView(text).mid(static_cast<qsizetype>(copied),
                                             static_cast<qsizetype>(start + p - copied));
                out += QChar(TextMirror::kSoftBreakUnit);
                copied = start + p;
            }
        }
        start = end + 1;
    }
    cut = !out.isNull();
    if (!cut)
        return text;
    out += QStringView(text).mid(static_cast<qsizetype>(copied));
    return out;
}

// The same for Shift_JIS bytes: every kind of line break becomes one.
QString decodeForDocument(std::string_view bytes) {
    return documentTextOf(normalizeLineBreaks(bytes));
}

QColor colorOf(ColorValue value, const QPalette& palette) {
    if (value < 0)  // a system colour: the palette's
        value = static_cast<ColorValue>(systemColor(palette, value & 0xFF));
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}  // namespace

class RichEdit::EditScope {
  public:
    explicit EditScope(RichEdit& edit) : m_edit(edit) { ++m_edit.m_scopeDepth; }
    ~EditScope() {
        if (--m_edit.m_scopeDepth == 0 && m_edit.m_changeOwed) {
            m_edit.m_changeOwed = false;
            m_edit.raiseChange();
        }
    }
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

  private:
    RichEdit& m_edit;
};

RichEdit::RichEdit(QWidget* parent) : QPlainTextEdit(parent), m_document(document()) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(false);
    setUndoRedoEnabled(true);
    connect(document(), &QTextDocument::contentsChange, this, &RichEdit::onContentsChange);
    connect(document(), &QTextDocument::contentsChanged, this, &RichEdit::onContentsChanged);
    rebuildMirror();
}

RichEdit::~RichEdit() = default;

// --- text ---

std::string RichEdit::textRange(std::size_t start, std::size_t end) const {
    return m_mirror.textRange(start, end);
}

void RichEdit::setText(std::string_view bytes) {
    closeDocumentBlock();
    m_pendingSelection.reset();
    // A document read from a file comes with its line breaks made CR LF
    // already: no second copy of it then.
    std::string copy;
    if (!hasOnlyCrLf(bytes))
        copy = normalizeLineBreaks(bytes);
    const std::string_view normalized = copy.empty() ? bytes : std::string_view(copy);
    bool cut = false;
    const QString text = pieceTextOf(normalized, cut);
    m_rebuilding = true;
    QPlainTextEdit::setPlainText(text);
    if (cut) {
        document()->setUndoRedoEnabled(false);
        markPieces(*document(), text, 0);
        document()->setUndoRedoEnabled(true);
    }
    m_rebuilding = false;
    // The mirror comes from the bytes themselves; should the document hold
    // other paragraphs than they make, it is built from the document.
    m_mirror.assignBytes(normalized, viewOf(text));
    bool same = static_cast<std::size_t>(document()->blockCount()) == m_mirror.lineCount();
    std::size_t line = 0;
    for (QTextBlock b = document()->firstBlock(); same && b.isValid(); b = b.next(), ++line)
        same = static_cast<std::size_t>(b.length() - 1) == m_mirror.lineUnits(line) &&
               startsSoft(b.next()) == m_mirror.softBreak(line);
    if (same) {
        m_dirtyLines.clear();
        m_dirtySpan.reset();
        m_linesBefore.assign(1, 0);
    } else {
        rebuildMirror();
    }
    m_fixups.clear();
    m_textChanged = false;
    m_modified = m_mirror.byteLength() != 0;
}

void RichEdit::markPieces(QTextDocument& doc, const QString& text, int from) {
    // One edit block: the layout drops the pieces' layouts once instead of
    // laying out each piece as its format changes.
    QTextCursor c(&doc);
    c.beginEditBlock();
    const int end = from + static_cast<int>(text.size());
    for (QTextBlock b = doc.findBlock(from).next(); b.isValid() && b.position() <= end;
         b = b.next()) {
        if (text.at(b.position() - 1 - from) == QChar(TextMirror::kSoftBreakUnit))
            QTextCursor(b).setBlockFormat(softFormat());
    }
    c.endEditBlock();
}

QString RichEdit::pieceTextOf(std::string_view crlfBytes, bool& cut) {
    return cutIntoPieces(documentTextOf(crlfBytes), kPieceUnits, kMaxPieceUnits, cut);
}

bool RichEdit::blockStartsSoft(const QTextBlock& block) {
    return startsSoft(block);
}

void RichEdit::rebuildMirror(bool clearFormats) {
    std::vector<QString> texts;
    texts.reserve(static_cast<std::size_t>(document()->blockCount()));
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next())
        texts.push_back(block.text());
    std::vector<std::u16string_view> views;
    views.reserve(texts.size());
    for (const QString& t : texts)
        views.push_back(viewOf(t));
    std::vector<TextMirror::Problem> problems;
    m_mirror.assign(views, &problems);
    syncSoftBreaks(0, m_mirror.lineCount() - 1);
    m_dirtyLines.clear();
    m_dirtySpan.reset();
    m_linesBefore.assign(1, 0);
    if (clearFormats) {
        for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
            if (!block.layout()->formats().isEmpty())
                block.layout()->setFormats({});
        }
    }
    // Text that came in past our own doors (a toolkit call on the widget)
    // is put right like typed text.
    for (const TextMirror::Problem& p : problems) {
        if (p.kind == TextMirror::Problem::Kind::Merges)
            continue;
        const QTextBlock block = document()->findBlockByNumber(static_cast<int>(p.line));
        m_fixups.push_back({block.position() + static_cast<int>(p.unit), static_cast<int>(p.length),
                            p.kind == TextMirror::Problem::Kind::LineBreak
                                ? QStringLiteral("\n")
                                : qstringOf(p.replacement)});
    }
}

// Whether a change the document reports leaves the text as it was (a format
// change reported as a replacement): then nothing moves, colours included.
bool RichEdit::isUnchanged(int position, int removed, int added) const {
    if (removed != added || removed == 0)
        return false;
    QTextCursor c(document());
    c.setPosition(position);
    c.setPosition(position + added, QTextCursor::KeepAnchor);
    const QString now = c.selectedText();
    // The mirror's characters of the same positions, a paragraph separator
    // for each line end, soft or not: a change of a soft break alone is a
    // change of format. Compared as characters: the bytes may hold a
    // duplicate code that encoding the document's text again would write in
    // another form.
    std::u16string before;
    auto line = m_mirror.lineOfUnit(static_cast<std::size_t>(position));
    std::size_t unit = static_cast<std::size_t>(position) - m_mirror.lineStartUnit(line);
    auto left = static_cast<std::size_t>(removed);
    while (left > 0) {
        const std::size_t take = std::min(left, m_mirror.lineUnits(line) - unit);
        if (take > 0) {
            const std::string_view bytes = m_mirror.lineBytes(line);
            const std::size_t from = m_mirror.bytesOfUnits(line, unit);
            before +=
                decodeShiftJis(bytes.substr(from, m_mirror.bytesOfUnits(line, unit + take) - from));
        }
        left -= take;
        if (left > 0) {
            before += u'\u2029';
            --left;
            ++line;
            unit = 0;
        } else {
            unit += take;
        }
    }
    return before == viewOf(now);
}

void RichEdit::syncSoftBreaks(std::size_t first, std::size_t last) {
    last = std::min(last, m_mirror.lineCount() - 1);
    if (first > last)
        return;
    QTextBlock next = document()->findBlockByNumber(static_cast<int>(first + 1));
    for (std::size_t line = first; line <= last; ++line, next = next.next())
        m_mirror.setSoftBreak(line, startsSoft(next));
}

void RichEdit::onContentsChange(int position, int removed, int added) {
    if (m_rebuilding || m_ownReports)
        return;
    // The widget's cursor moved with the text; a selection still waiting
    // for it would point into the old text.
    m_pendingSelection.reset();

    const auto oldTotal = static_cast<int>(m_mirror.unitLength());
    const int newTotal = document()->characterCount();
    // Replacing the whole document reports the end position as removed and
    // added again; it is neither.
    if (removed > 0 && added > 0 && position + removed == oldTotal &&
        position + added == newTotal) {
        --removed;
        --added;
    }
    const bool consistent =
        position >= 0 && removed >= 0 && added >= 0 && position + removed <= oldTotal - 1 &&
        position + added <= newTotal - 1 && oldTotal - removed + added == newTotal;
    // Nothing left of the change (text composed with an input method on the
    // last line is reported so): no edit at all.
    if (consistent && removed == 0 && added == 0)
        return;
    if (consistent && isUnchanged(position, removed, added)) {
        const auto from = static_cast<std::size_t>(document()->findBlock(position).blockNumber());
        const auto to =
            static_cast<std::size_t>(document()->findBlock(position + added).blockNumber());
        syncSoftBreaks(from > 0 ? from - 1 : 0, to);
        return;
    }

    std::vector<TextMirror::Problem> problems;
    bool spliced = false;
    std::size_t firstLine = 0;
    if (consistent) {
        const QTextBlock first = document()->findBlock(position);
        const QTextBlock last = document()->findBlock(position + added);
        std::vector<QString> texts;
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            texts.push_back(b.text());
            if (b == last)
                break;
        }
        std::vector<std::u16string_view> views;
        views.reserve(texts.size());
        for (const QString& t : texts)
            views.push_back(viewOf(t));
        spliced =
            m_mirror.splice(static_cast<std::size_t>(position), static_cast<std::size_t>(removed),
                            static_cast<std::size_t>(added), views, &problems);
        firstLine = static_cast<std::size_t>(first.blockNumber());
    }

    if (!spliced) {
        // A report that does not fit the text we hold: start afresh.
        m_fixups.clear();
        rebuildMirror(true);
        position = 0;
        added = document()->characterCount() - 1;
    } else {
        const TextMirror::SpliceLines lines = m_mirror.lastSplice();
        // A soft break belongs to the block after it: the line before the
        // edit and every new line take theirs from the document.
        syncSoftBreaks(lines.first > 0 ? lines.first - 1 : 0, lines.first + lines.newCount - 1);
        if (!m_inUndo) {
            // Undo brings back pieces and breaks as they were. Otherwise a
            // paragraph made by the edit has the format of the one it was
            // cut from, a soft break it must not have unless our own edit
            // gave it; and a piece that grew too long is cut again.
            QTextBlock b = document()->findBlockByNumber(static_cast<int>(lines.first));
            for (std::size_t i = 0; i < lines.newCount && b.isValid(); ++i, b = b.next()) {
                if (!m_softEdit && i > 0 && startsSoft(b) && b.position() > position &&
                    b.position() <= position + added)
                    m_hardenAt.push_back(b.position());
                if (static_cast<std::size_t>(b.length() - 1) > kMaxPieceUnits)
                    m_splitAt.push_back(b.position());
            }
        }
        const std::ptrdiff_t shift = static_cast<std::ptrdiff_t>(lines.newCount) -
                                     static_cast<std::ptrdiff_t>(lines.oldCount);
        if (!m_dirtyLines.empty()) {
            std::vector<std::size_t> kept;
            kept.reserve(m_dirtyLines.size());
            for (std::size_t line : m_dirtyLines) {
                if (line < lines.first)
                    kept.push_back(line);
                else if (line >= lines.first + lines.oldCount)
                    kept.push_back(
                        static_cast<std::size_t>(static_cast<std::ptrdiff_t>(line) + shift));
            }
            m_dirtyLines = std::move(kept);
        }
        if (m_dirtySpan) {
            // Lines behind the edit move with it; an end inside the replaced
            // lines stays at the last new one.
            const std::size_t oldEnd = lines.first + lines.oldCount;
            const std::size_t newLast = lines.first + lines.newCount - 1;
            auto& [first, last] = *m_dirtySpan;
            if (first >= oldEnd)
                first = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(first) + shift);
            else if (first > lines.first)
                first = lines.first;
            if (last >= oldEnd)
                last = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(last) + shift);
            else if (last >= lines.first)
                last = std::max(newLast, lines.first);
        }
        // The changed paragraphs get their colours once the edit is through:
        // new formats set inside this signal would widen the change the
        // layout sees to whole paragraphs and repaint the whole editor.
        QTextBlock block = document()->findBlockByNumber(static_cast<int>(lines.first));
        for (std::size_t i = 0; i < lines.newCount && block.isValid(); ++i, block = block.next()) {
            if (!m_mirror.lineColors(lines.first + i).empty() ||
                !block.layout()->formats().isEmpty())
                markDirty(lines.first + i, lines.first + i);
        }
        m_linesBefore.resize(std::min(m_linesBefore.size(), lines.first + 1));

        for (const TextMirror::Problem& p : problems) {
            const QTextBlock at =
                document()->findBlockByNumber(static_cast<int>(firstLine + p.line));
            const int pos = at.position() + static_cast<int>(p.unit);
            switch (p.kind) {
                case TextMirror::Problem::Kind::Merges:
                    m_pendingNotice = QStringLiteral(
                        "壊れたバイトの後ろに置いた文字は、保存するとそのバイトと一つの文字になりま"
                        "す");
                    break;
                case TextMirror::Problem::Kind::LineBreak:
                    m_fixups.push_back({pos, static_cast<int>(p.length), QStringLiteral("\n")});
                    break;
                case TextMirror::Problem::Kind::Replaced:
                    m_fixups.push_back({pos, static_cast<int>(p.length), qstringOf(p.replacement)});
                    break;
            }
        }
    }

    if (m_inUndo) {
        const int from = position;
        const int to = position + added;
        if (m_undoRange)
            m_undoRange = {std::min(m_undoRange->first, from), std::max(m_undoRange->second, to)};
        else
            m_undoRange = {from, to};
        // Undo brings back what was there before; a character it restores
        // stays as it was, or undoing a replacement would redo it at once.
        m_fixups.clear();
    }
    m_modified = true;
    m_textChanged = true;
}

void RichEdit::onContentsChanged() {
    if (m_rebuilding || m_fixing || m_ownReports)
        return;
    if (!m_fixups.empty())
        applyFixups();
    if (!m_hardenAt.empty() || !m_splitAt.empty())
        applySoftEdits();
    if (live())
        flushColors();
    if (!m_pendingNotice.isEmpty()) {
        notify(m_pendingNotice);
        m_pendingNotice.clear();
    }
    if (!m_textChanged)
        return;
    m_textChanged = false;
    if (m_scopeDepth > 0)
        m_changeOwed = true;
    else
        raiseChange();
}

void RichEdit::applyFixups() {
    std::vector<Fixup> fixups = std::move(m_fixups);
    m_fixups.clear();
    std::sort(fixups.begin(), fixups.end(),
              [](const Fixup& a, const Fixup& b) { return a.position > b.position; });
    QStringList replaced;
    QTextCursor c(document());
    m_fixing = true;
    c.beginEditBlock();
    for (const Fixup& f : fixups) {
        c.setPosition(f.position);
        c.setPosition(f.position + f.length, QTextCursor::KeepAnchor);
        if (f.replacement != QStringLiteral("\n"))
            replaced.prepend(c.selectedText() + QStringLiteral("→") + f.replacement);
        c.insertText(f.replacement);
    }
    c.endEditBlock();
    m_fixing = false;
    if (!replaced.isEmpty())
        notify(replacementNotice(replaced));
}

void RichEdit::applySoftEdits() {
    std::vector<int> harden = std::move(m_hardenAt);
    std::vector<int> split = std::move(m_splitAt);
    m_hardenAt.clear();
    m_splitAt.clear();
    QTextDocument* doc = document();
    QTextCursor c(doc);
    m_fixing = true;
    m_softEdit = true;
    // Part of the edit that made them: undo takes both back at once.
    if (doc->isUndoAvailable())
        c.joinPreviousEditBlock();
    else
        c.beginEditBlock();
    for (int position : harden) {
        const QTextBlock block = doc->findBlock(position);
        if (block.position() != position || !startsSoft(block))
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.clearProperty(kSoftBreakProperty);
        QTextCursor(block).setBlockFormat(format);
    }
    std::sort(split.begin(), split.end(), std::greater<>());
    split.erase(std::unique(split.begin(), split.end()), split.end());
    for (int position : split) {
        const QTextBlock block = doc->findBlock(position);
        const QString text = block.text();
        const std::vector<std::size_t> points =
            TextMirror::softBreakPoints(viewOf(text), kPieceUnits, kMaxPieceUnits);
        for (auto it = points.rbegin(); it != points.rend(); ++it) {
            c.setPosition(block.position() + static_cast<int>(*it));
            c.insertBlock(softFormat());
        }
    }
    c.endEditBlock();
    m_softEdit = false;
    m_fixing = false;
}

bool RichEdit::insertPieces(QTextCursor& cursor, const QString& text) {
    // Only a line longer than a piece needs more than the toolkit's insert.
    bool longLine = false;
    for (qsizetype start = 0, at = 0; at <= text.size() && !longLine; ++at) {
        if (at == text.size() || isParagraphBreak(text.at(at))) {
            longLine = static_cast<std::size_t>(at - start) > kMaxPieceUnits;
            start = at + 1;
        }
    }
    if (!longLine) {
        cursor.insertText(text);
        return false;
    }
    QString pieces;
    pieces.reserve(text.size() + text.size() / static_cast<qsizetype>(kPieceUnits) + 1);
    std::vector<bool> soft;  // of each paragraph break in `pieces`
    for (qsizetype start = 0, at = 0; at <= text.size(); ++at) {
        if (at < text.size() && !isParagraphBreak(text.at(at)))
            continue;
        const QStringView line = QStringView(text).mid(start, at - start);
        qsizetype from = 0;
        for (std::size_t p : TextMirror::softBreakPoints(
                 std::u16string_view(reinterpret_cast<const char16_t*>(line.data()),
                                     static_cast<std::size_t>(line.size())),
                 kPieceUnits, kMaxPieceUnits)) {
            pieces += line.mid(from, static_cast<qsizetype>(p) - from);
            pieces += QChar::ParagraphSeparator;
            soft.push_back(true);
            from = static_cast<qsizetype>(p);
        }
        pieces += line.mid(from);
        if (at < text.size()) {
            pieces += QChar::ParagraphSeparator;
            soft.push_back(false);
        }
        start = at + 1;
    }
    const int start = cursor.selectionStart();
    cursor.insertText(pieces);
    // Each new paragraph took the format of the one the text went into.
    QTextBlock block = document()->findBlock(start).next();
    for (std::size_t i = 0; i < soft.size() && block.isValid(); ++i, block = block.next()) {
        if (startsSoft(block) == soft[i])
            continue;
        QTextBlockFormat format = block.blockFormat();
        if (soft[i])
            format.setProperty(kSoftBreakProperty, true);
        else
            format.clearProperty(kSoftBreakProperty);
        QTextCursor(block).setBlockFormat(format);
    }
    return true;
}

QString RichEdit::plainTextBetween(int from, int to) const {
    QString out;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const int start = std::max(from, block.position());
        const int end = std::min(to, block.position() + block.length() - 1);
        out += block.text().mid(start - block.position(), std::max(0, end - start));
        const QTextBlock next = block.next();
        if (next.isValid() && next.position() <= to && !startsSoft(next))
            out += QLatin1Char('\n');
    }
    return out;
}

void RichEdit::stepOverSoftBreak(int key, int before, bool select) {
    QTextCursor c = textCursor();
    const QTextCursor::MoveMode mode = select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    if (key == Qt::Key_Right && c.position() == before + 1 && c.atBlockStart() &&
        startsSoft(c.block()))
        c.movePosition(QTextCursor::NextCharacter, mode);
    else if (key == Qt::Key_Left && c.position() == before - 1 && c.atBlockEnd() &&
             startsSoft(c.block().next()))
        c.movePosition(QTextCursor::PreviousCharacter, mode);
    else
        return;
    QPlainTextEdit::setTextCursor(c);
}

void RichEdit::raiseChange() {
    if (m_eventMask != 0 && m_onChange)
        m_onChange();
}

void RichEdit::setChangeHandler(std::function<void()> handler) {
    m_onChange = std::move(handler);
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
    if (m_pendingSelection)
        return *m_pendingSelection;
    const QTextCursor c = textCursor();
    return {c.anchor(), c.position()};
}

void RichEdit::setPendingSelection(int anchor, int position) {
    m_pendingSelection = {anchor, position};
    if (!m_flushPosted) {
        // Without a later call that needs it, the widget still gets the
        // selection before the next paint.
        m_flushPosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_flushPosted = false;
                if (live())
                    flushPending();
            },
            Qt::QueuedConnection);
    }
}

void RichEdit::flushSelection() {
    if (!m_pendingSelection)
        return;
    const auto [anchor, position] = *m_pendingSelection;
    m_pendingSelection.reset();
    QTextCursor c(document());
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    QPlainTextEdit::setTextCursor(c);
}

void RichEdit::flushPending() {
    // The widget's document is not the one the mirror describes yet.
    if (loading())
        return;
    closeDocumentBlock();
    flushSelection();
    flushColors();
    if (m_scrollOwed) {
        m_scrollOwed = false;
        ensureCursorVisible();
    }
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
    EditScope scope(*this);
    const QString inserted = decodeForDocument(bytes);
    if (batching() && canUndo) {
        replaceInBatch(inserted);
        return;
    }
    QTextCursor c(document());
    {
        flushPending();
        c = textCursor();
    }
    if (inserted.isEmpty() && !c.hasSelection())
        return;
    if (!canUndo)
        document()->setUndoRedoEnabled(false);
    // One undo step per replacement, never merged with the one before
    // (unless an edit block of ours asks for it).
    if (canUndo)
        openEdit(c);
    else
        c.beginEditBlock();
    m_softEdit = insertPieces(c, inserted);
    c.endEditBlock();
    m_softEdit = false;
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
    if (!m_documentBlockOpen) {
        // Edits of this block made before it stopped showing keep the one
        // undo step.
        m_blockCursor = QTextCursor(document());
        if (m_blockHasStep && document()->isUndoAvailable())
            m_blockCursor.joinPreviousEditBlock();
        else
            m_blockCursor.beginEditBlock();
        m_documentBlockOpen = true;
    }
    QTextCursor c(document());
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    m_softEdit = insertPieces(c, inserted);
    m_blockHasStep = true;
    onContentsChange(start, removed, c.position() - start);
    m_softEdit = false;
    // Characters put right after the edit are edits of their own, which the
    // document must report as they happen.
    if (!m_fixups.empty() || !m_hardenAt.empty() || !m_splitAt.empty())
        closeDocumentBlock();
    onContentsChanged();
    setPendingSelection(c.position(), c.position());
}

void RichEdit::closeDocumentBlock() {
    if (!m_documentBlockOpen)
        return;
    m_documentBlockOpen = false;
    // What the document now reports at once, the mirror already holds.
    m_ownReports = true;
    m_blockCursor.endEditBlock();
    m_ownReports = false;
    m_blockCursor = QTextCursor();
}

void RichEdit::openEdit(QTextCursor& cursor) {
    // The document's own edit block would hold every change report back to
    // its end, and the mirror with it; joining the previous step keeps the
    // reports coming edit by edit.
    if (m_blockDepth > 0 && m_blockHasStep && document()->isUndoAvailable())
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    m_blockHasStep = m_blockDepth > 0;
}

void RichEdit::endEditBlock() {
    if (m_blockDepth > 0 && --m_blockDepth == 0) {
        m_blockHasStep = false;
        closeDocumentBlock();
        if (live())
            flushPending();
    }
}

void RichEdit::scrollCaret() {
    // Only the last scroll before the editor shows again can be seen: a
    // hidden or locked editor scrolls when it shows, once.
    if (batching() || !live()) {
        m_scrollOwed = true;
        return;
    }
    flushPending();
    ensureCursorVisible();
}

// --- colour ---

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

const QTextCharFormat& RichEdit::formatOf(ColorValue color) {
    // A pass colours tens of thousands of tags in one or two colours.
    if (m_formatCache.size() > 16)
        m_formatCache.clear();
    auto it = m_formatCache.find(color);
    if (it == m_formatCache.end()) {
        QTextCharFormat format;
        format.setForeground(colorOf(color, palette()));
        it = m_formatCache.emplace(color, format).first;
    }
    return it->second;
}

void RichEdit::applyFormats(const QTextBlock& block, std::size_t line) {
    QTextLayout* layout = block.layout();
    const std::vector<TextMirror::ColorRun>& runs = m_mirror.lineColors(line);
    if (runs.empty() && layout->formats().isEmpty())
        return;
    const auto units = static_cast<std::uint32_t>(block.length() - 1);
    // Text being composed stands in the layout, not in the document: its
    // own formats (the input method's underline and the segment being
    // converted) stay, and the colours behind it move with the text.
    const auto preeditAt = static_cast<std::uint32_t>(layout->preeditAreaPosition());
    const auto preeditLength = static_cast<std::uint32_t>(layout->preeditAreaText().size());
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(static_cast<qsizetype>(runs.size()) + 2);
    if (preeditLength > 0) {
        for (const QTextLayout::FormatRange& r : layout->formats()) {
            if (r.start >= static_cast<int>(preeditAt) &&
                r.start + r.length <= static_cast<int>(preeditAt + preeditLength))
                ranges.push_back(r);
        }
    }
    const auto add = [&](std::uint32_t start, std::uint32_t end, ColorValue color) {
        if (start >= end)
            return;
        QTextLayout::FormatRange range;
        range.start = static_cast<int>(start);
        range.length = static_cast<int>(end - start);
        range.format = formatOf(color);
        ranges.push_back(range);
    };
    for (const TextMirror::ColorRun& run : runs) {
        const std::uint32_t end = std::min(run.end, units);
        if (run.start >= end)
            continue;
        if (preeditLength == 0 || end <= preeditAt) {
            add(run.start, end, run.color);
        } else {
            add(run.start, preeditAt, run.color);
            add(std::max(run.start, preeditAt) + preeditLength, end + preeditLength, run.color);
        }
    }
    layout->setFormats(ranges);
}

void RichEdit::markDirty(std::size_t first, std::size_t last) {
    // A replace-all that does not show colours thousands of places: one span
    // keeps them without following each line through every later edit.
    if (batching()) {
        if (m_dirtySpan)
            m_dirtySpan = std::make_pair(std::min(m_dirtySpan->first, first),
                                         std::max(m_dirtySpan->second, last));
        else
            m_dirtySpan = std::make_pair(first, last);
        return;
    }
    // A pass colours tag after tag in one line.
    if (first == last && !m_dirtyLines.empty() && m_dirtyLines.back() == first)
        return;
    for (std::size_t line = first; line <= last; ++line)
        m_dirtyLines.push_back(line);
}

void RichEdit::flushColors() {
    if (m_dirtySpan) {
        const std::size_t end = std::min(m_dirtySpan->second + 1, m_mirror.lineCount());
        for (std::size_t line = m_dirtySpan->first; line < end; ++line)
            m_dirtyLines.push_back(line);
        m_dirtySpan.reset();
    }
    if (m_dirtyLines.empty())
        return;
    std::sort(m_dirtyLines.begin(), m_dirtyLines.end());
    m_dirtyLines.erase(std::unique(m_dirtyLines.begin(), m_dirtyLines.end()), m_dirtyLines.end());
    std::vector<std::size_t> lines = std::move(m_dirtyLines);
    m_dirtyLines.clear();

    QTextDocument* doc = document();
    QTextBlock block = doc->findBlockByNumber(static_cast<int>(lines.front()));
    int from = block.position();
    int to = from;
    std::vector<std::pair<int, int>> few;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            // Mostly neighbours: stepping is cheaper than a search.
            const std::size_t gap = lines[i] - lines[i - 1];
            if (gap <= 8) {
                for (std::size_t k = 0; k < gap; ++k)
                    block = block.next();
            } else {
                block = doc->findBlockByNumber(static_cast<int>(lines[i]));
            }
        }
        if (!block.isValid())
            break;
        applyFormats(block, lines[i]);
        to = block.position() + block.length();
        if (few.size() < 8)
            few.emplace_back(block.position(), block.length());
    }
    // A few paragraphs are laid out again at once; for many, one request
    // drops their layouts and only the ones on screen are laid out again.
    if (lines.size() <= few.size()) {
        // New formats count as a change of old and new length together, so
        // the layout takes it for more than the block and would repaint the
        // whole editor on every keystroke. It stays quiet here and only the
        // blocks themselves are repainted.
        for (const auto& [position, length] : few) {
            {
                const QSignalBlocker quiet(doc->documentLayout());
                doc->markContentsDirty(position, length);
            }
            const QTextBlock changed = doc->findBlock(position);
            QRectF area = blockBoundingGeometry(changed).translated(contentOffset());
            area.setLeft(0);
            area.setRight(viewport()->width());
            viewport()->update(area.toAlignedRect());
        }
    } else {
        doc->markContentsDirty(from, to - from);
    }
}

// --- events, state ---

bool RichEdit::canUndo() const {
    return m_document->isUndoAvailable();
}

void RichEdit::undo() {
    EditScope scope(*this);
    flushPending();
    if (!document()->isUndoAvailable())
        return;
    m_inUndo = true;
    m_undoRange.reset();
    QPlainTextEdit::undo();
    m_inUndo = false;
    if (m_undoRange) {
        QTextCursor c(document());
        c.setPosition(m_undoRange->first);
        c.setPosition(m_undoRange->second, QTextCursor::KeepAnchor);
        QPlainTextEdit::setTextCursor(c);
        m_undoRange.reset();
    }
}

void RichEdit::cut() {
    EditScope scope(*this);
    flushPending();
    if (textCursor().hasSelection())
        QPlainTextEdit::cut();
}

void RichEdit::copy() {
    flushPending();
    QPlainTextEdit::copy();
}

void RichEdit::paste() {
    EditScope scope(*this);
    flushPending();
    QPlainTextEdit::paste();
}

bool RichEdit::canPaste() const {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    return mime != nullptr && mime->hasText();
}

void RichEdit::clearSelection() {
    EditScope scope(*this);
    flushPending();
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    openEdit(c);
    c.removeSelectedText();
    c.endEditBlock();
    QPlainTextEdit::setTextCursor(c);
}

// --- display lines ---

std::size_t RichEdit::displayLinesOf(const QTextBlock& block) const {
    QTextLayout* layout = block.layout();
    if (layout->lineCount() == 0)
        m_document->documentLayout()->blockBoundingRect(block);  // lays the block out
    return static_cast<std::size_t>(std::max(1, layout->lineCount()));
}

void RichEdit::ensureLineCache(std::size_t blocks) const {
    // The lines a paragraph wraps into depend on the width and the font.
    const QString key = QString::number(viewport()->width()) + QLatin1Char('|') +
                        QString::number(lineWrapMode()) + QLatin1Char('|') + font().key() +
                        QLatin1Char('|') +
                        QString::number(m_document->defaultTextOption().tabStopDistance());
    if (key != m_lineCacheKey) {
        m_lineCacheKey = key;
        m_linesBefore.assign(1, 0);
    }
    blocks = std::min(blocks, static_cast<std::size_t>(m_document->blockCount()));
    if (m_linesBefore.size() > blocks)
        return;
    QTextBlock block = m_document->findBlockByNumber(static_cast<int>(m_linesBefore.size() - 1));
    while (m_linesBefore.size() <= blocks && block.isValid()) {
        m_linesBefore.push_back(m_linesBefore.back() + displayLinesOf(block));
        block = block.next();
    }
}

std::optional<std::pair<QTextBlock, int>> RichEdit::displayLine(std::size_t line) const {
    // Extend the cache until it reaches the line (or the text ends).
    const auto total = static_cast<std::size_t>(m_document->blockCount());
    std::size_t want = m_linesBefore.size();
    while (true) {
        ensureLineCache(want);
        if (m_linesBefore.back() > line || m_linesBefore.size() > total)
            break;
        want = std::min(total, want * 2);
    }
    if (m_linesBefore.back() <= line)
        return std::nullopt;
    const auto it = std::upper_bound(m_linesBefore.begin(), m_linesBefore.end(), line);
    const auto blockNumber = static_cast<int>(it - m_linesBefore.begin()) - 1;
    const QTextBlock block = m_document->findBlockByNumber(blockNumber);
    displayLinesOf(block);
    return std::make_pair(
        block, static_cast<int>(line - m_linesBefore[static_cast<std::size_t>(blockNumber)]));
}

std::size_t RichEdit::lineCount() const {
    ensureLineCache(static_cast<std::size_t>(m_document->blockCount()));
    return m_linesBefore.back();
}

std::size_t RichEdit::lineFromChar(std::size_t offset) const {
    const auto unit = static_cast<int>(m_mirror.byteToUnit(offset));
    const QTextBlock block = m_document->findBlock(unit);
    const auto number = static_cast<std::size_t>(block.blockNumber());
    ensureLineCache(number + 1);
    return m_linesBefore[number] + static_cast<std::size_t>(lineInBlock(block, unit));
}

int RichEdit::lineInBlock(const QTextBlock& block, int unit) const {
    displayLinesOf(block);
    const QTextLayout* layout = block.layout();
    const int local = unit - block.position();
    int inBlock = 0;
    for (int i = 1; i < layout->lineCount(); ++i) {
        if (layout->lineAt(i).textStart() <= local)
            inBlock = i;
    }
    return inBlock;
}

std::size_t RichEdit::lineStartOf(std::size_t offset) const {
    const auto unit = static_cast<int>(m_mirror.byteToUnit(offset));
    const QTextBlock block = m_document->findBlock(unit);
    const int inBlock = lineInBlock(block, unit);
    if (block.layout()->lineCount() == 0)  // not laid out (no width yet)
        return m_mirror.unitToByte(static_cast<std::size_t>(block.position()));
    const int start = block.position() + block.layout()->lineAt(inBlock).textStart();
    return m_mirror.unitToByte(static_cast<std::size_t>(start));
}

std::size_t RichEdit::lineIndex(std::size_t line) const {
    const auto at = displayLine(line);
    if (!at)
        return m_mirror.byteLength();
    const auto& [block, local] = *at;
    const int start = block.position() + block.layout()->lineAt(local).textStart();
    return m_mirror.unitToByte(static_cast<std::size_t>(start));
}

std::string RichEdit::lineText(std::size_t line) const {
    const auto at = displayLine(line);
    if (!at)
        return {};
    const auto& [block, local] = *at;
    const QTextLine textLine = block.layout()->lineAt(local);
    const int start = block.position() + textLine.textStart();
    // The last line of a paragraph ends before its line break.
    const int end = std::min(start + textLine.textLength(), block.position() + block.length() - 1);
    return m_mirror.textRange(m_mirror.unitToByte(static_cast<std::size_t>(start)),
                              m_mirror.unitToByte(static_cast<std::size_t>(end)));
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
    m_redrawOff = !on;
    if (on && live())
        flushPending();
    setUpdatesEnabled(on);
}

void RichEdit::setVisible(bool visible) {
    m_hiddenByCall = !visible;
    QPlainTextEdit::setVisible(visible);
    if (visible && live())
        flushPending();
}

void RichEdit::lockUpdates(bool locked) {
    m_locked = locked;
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

// --- input ---

bool RichEdit::event(QEvent* e) {
    if (e->type() == QEvent::PaletteChange)
        m_formatCache.clear();  // system colours follow the palette
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
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // Shift+Enter would insert U+2028, a line break the file cannot
        // hold; every Enter makes a paragraph (CR LF).
        QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier,
                        QStringLiteral("\r"), e->isAutoRepeat(), static_cast<quint16>(e->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        e->setAccepted(plain.isAccepted());
        return;
    }
    const SjisFiltered filtered = filterForShiftJis(e->text(), SjisLineBreaks::Paragraph);
    if (filtered.replaced.isEmpty()) {
        const int before = textCursor().position();
        const bool plain = (e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
        if (plain && (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete)) {
            // Backspace at the start of a piece erases the character before
            // it, Delete at the end of one the character after it.
            QTextCursor c = textCursor();
            if (!c.hasSelection() && e->key() == Qt::Key_Backspace && c.atBlockStart() &&
                startsSoft(c.block())) {
                c.movePosition(QTextCursor::PreviousCharacter);
                QPlainTextEdit::setTextCursor(c);
            } else if (!c.hasSelection() && e->key() == Qt::Key_Delete && c.atBlockEnd() &&
                       startsSoft(c.block().next())) {
                c.movePosition(QTextCursor::NextCharacter);
                QPlainTextEdit::setTextCursor(c);
            }
        }
        QPlainTextEdit::keyPressEvent(e);
        if (plain)
            stepOverSoftBreak(e->key(), before, (e->modifiers() & Qt::ShiftModifier) != 0);
        return;
    }
    QKeyEvent typed(e->type(), e->key(), e->modifiers(), filtered.text, e->isAutoRepeat(),
                    static_cast<quint16>(e->count()));
    QPlainTextEdit::keyPressEvent(&typed);
    e->setAccepted(typed.isAccepted());
    notify(replacementNotice(filtered.replaced));
}

void RichEdit::inputMethodEvent(QInputMethodEvent* e) {
    const SjisFiltered filtered = filterForShiftJis(e->commitString(), SjisLineBreaks::Paragraph);
    if (filtered.replaced.isEmpty()) {
        QPlainTextEdit::inputMethodEvent(e);
        return;
    }
    QInputMethodEvent committed(e->preeditString(), e->attributes());
    committed.setCommitString(filtered.text, e->replacementStart(), e->replacementLength());
    QPlainTextEdit::inputMethodEvent(&committed);
    notify(replacementNotice(filtered.replaced));
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
    EditScope scope(*this);
    const SjisFiltered filtered = filterForShiftJis(source->text(), SjisLineBreaks::Paragraph);
    QTextCursor c = textCursor();
    c.beginEditBlock();
    m_softEdit = insertPieces(c, filtered.text);
    c.endEditBlock();
    m_softEdit = false;
    QPlainTextEdit::setTextCursor(c);
    ensureCursorVisible();
    if (!filtered.replaced.isEmpty())
        notify(replacementNotice(filtered.replaced));
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
