#include "editor/long_line_pieces.h"

#include <QTextBlockFormat>
#include <QTextDocument>

#include <algorithm>
#include <functional>

#include "editor/line_groups.h"
#include "editor/qt_sjis.h"

namespace korvane {

namespace {

// The block property that marks a piece of a long line: the block starts
// with a soft break, not a line break.
constexpr int kSoftBreakProperty = QTextFormat::UserProperty + 0x4B;

QTextBlockFormat softFormat() {
    QTextBlockFormat format;
    format.setProperty(kSoftBreakProperty, true);
    return format;
}

bool isParagraphBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QChar::ParagraphSeparator;
}

// The text with each line of more than `maxUnits` cut into pieces by soft
// break units; the text itself (and `cut` false) when no line is that long.
QString cutIntoPieces(const QString& text, std::size_t target, std::size_t maxUnits, bool& cut) {
    const std::u16string_view all = viewOf(text);
    QString out;
    std::size_t copied = 0;
    for (std::size_t start = 0;;) {
        // Only a line longer than maxUnits matters. The last line break
        // within maxUnits of `start` ends lines that are all shorter, so
        // looking back from there skips them at once: a load goes through
        // the text in strides instead of unit by unit.
        if (start > all.size() || all.size() - start <= maxUnits)
            break;
        std::size_t back = start + maxUnits + 1;
        while (back > start && all[back - 1] != u'\n')
            --back;
        if (back > start) {
            start = back;
            continue;
        }
        const std::size_t end = LineGroups::findEither(all.data(), start, all.size(), u'\n', u'\n');
        if (out.isNull())
            out.reserve(text.size() + text.size() / static_cast<qsizetype>(target) + 1);
        for (std::size_t p :
             TextMirror::softBreakPoints(all.substr(start, end - start), target, maxUnits)) {
            out += QStringView(text).mid(static_cast<qsizetype>(copied),
                                         static_cast<qsizetype>(start + p - copied));
            out += QChar(TextMirror::kSoftBreakUnit);
            copied = start + p;
        }
        start = end + 1;
    }
    cut = !out.isNull();
    if (!cut)
        return text;
    out += QStringView(text).mid(static_cast<qsizetype>(copied));
    return out;
}

}  // namespace

bool LongLinePieces::startsSoft(const QTextBlock& block) {
    return block.isValid() && block.blockFormat().boolProperty(kSoftBreakProperty);
}

QString LongLinePieces::pieceTextOf(std::string_view crlfBytes, bool& cut, const TextCodec& codec) {
    return cutIntoPieces(documentTextOf(crlfBytes, codec), kPieceUnits, kMaxPieceUnits, cut);
}

void LongLinePieces::markPieces(QTextDocument& doc, const QString& text, int from) {
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

void LongLinePieces::syncSoftBreaks(const QTextDocument& doc, TextMirror& mirror, std::size_t first,
                                    std::size_t last) {
    last = std::min(last, mirror.lineCount() - 1);
    if (first > last)
        return;
    // Only the last line of a paragraph can end in a soft break: the ones
    // before it end in the paragraph's separators.
    QTextBlock block = doc.findBlock(static_cast<int>(mirror.lineStartUnit(first)));
    for (std::size_t line = first; line <= last && block.isValid(); ++line) {
        const std::size_t end = mirror.lineStartUnit(line) + mirror.lineUnits(line);
        while (block.isValid() &&
               static_cast<std::size_t>(block.position() + block.length()) <= end)
            block = block.next();
        const bool blockEnd = block.isValid() && static_cast<std::size_t>(
                                                     block.position() + block.length() - 1) == end;
        mirror.setSoftBreak(line, blockEnd && startsSoft(block.next()));
    }
}

QString LongLinePieces::plainTextBetween(const QTextDocument& doc, int from, int to) {
    QString out;
    for (QTextBlock block = doc.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const int start = std::max(from, block.position());
        const int end = std::min(to, block.position() + block.length() - 1);
        out += block.text()
                   .mid(start - block.position(), std::max(0, end - start))
                   .replace(QChar(LineGroups::kLineSeparator), QLatin1Char('\n'));
        const QTextBlock next = block.next();
        if (next.isValid() && next.position() <= to && !startsSoft(next))
            out += QLatin1Char('\n');
    }
    return out;
}

bool LongLinePieces::stepOverSoftBreak(QTextCursor& c, int key, int before, bool select) {
    const QTextCursor::MoveMode mode = select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    if (key == Qt::Key_Right && c.position() == before + 1 && c.atBlockStart() &&
        startsSoft(c.block())) {
        c.movePosition(QTextCursor::NextCharacter, mode);
        return true;
    }
    if (key == Qt::Key_Left && c.position() == before - 1 && c.atBlockEnd() &&
        startsSoft(c.block().next())) {
        c.movePosition(QTextCursor::PreviousCharacter, mode);
        return true;
    }
    return false;
}

bool LongLinePieces::crossBeforeErase(QTextCursor& c, int key) {
    if (c.hasSelection())
        return false;
    if (key == Qt::Key_Backspace && c.atBlockStart() && startsSoft(c.block())) {
        c.movePosition(QTextCursor::PreviousCharacter);
        return true;
    }
    if (key == Qt::Key_Delete && c.atBlockEnd() && startsSoft(c.block().next())) {
        c.movePosition(QTextCursor::NextCharacter);
        return true;
    }
    return false;
}

void LongLinePieces::ungroup(QTextCursor& c, const QTextBlock& block) {
    const QString text = block.text();
    QTextBlockFormat hard = block.blockFormat();
    hard.clearProperty(kSoftBreakProperty);
    for (qsizetype at = text.size() - 1; at >= 0; --at) {
        if (!LineGroups::isSeparator(text.at(at)))
            continue;
        c.setPosition(block.position() + static_cast<int>(at));
        c.setPosition(block.position() + static_cast<int>(at) + 1, QTextCursor::KeepAnchor);
        c.insertBlock(hard);
    }
}

bool LongLinePieces::hasLongLine(const QString& text) {
    for (qsizetype start = 0, at = 0; at <= text.size(); ++at) {
        if (at == text.size() || isParagraphBreak(text.at(at))) {
            if (static_cast<std::size_t>(at - start) > kMaxPieceUnits)
                return true;
            start = at + 1;
        }
    }
    return false;
}

QString LongLinePieces::cutForInsert(const QString& text, std::vector<bool>& soft) {
    QString pieces;
    pieces.reserve(text.size() + text.size() / static_cast<qsizetype>(kPieceUnits) + 1);
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
    return pieces;
}

void LongLinePieces::insert(QTextCursor& cursor, const QString& text) {
    // Only a line longer than a piece needs more than the toolkit's insert.
    if (!hasLongLine(text)) {
        cursor.insertText(text);
        m_softEdit = false;
        return;
    }
    std::vector<bool> soft;  // of each paragraph break in the pieces
    const QString pieces = cutForInsert(text, soft);
    const int start = cursor.selectionStart();
    cursor.insertText(pieces);
    // Each new paragraph took the format of the one the text went into.
    QTextBlock block = cursor.document()->findBlock(start).next();
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
    m_softEdit = true;
}

void LongLinePieces::checkNewBlocks(const QTextDocument& doc, const TextMirror& mirror,
                                    const TextMirror::SpliceLines& lines, int position, int added) {
    // A paragraph made by the edit has the format of the one it was cut
    // from, a soft break it must not have unless our own edit gave it; and
    // a piece that grew too long is cut again.
    const auto first = static_cast<int>(mirror.lineStartUnit(lines.first));
    const std::size_t lastLine = lines.first + std::max<std::size_t>(lines.newCount, 1) - 1;
    const auto last =
        static_cast<int>(mirror.lineStartUnit(std::min(lastLine, mirror.lineCount() - 1)));
    for (QTextBlock b = doc.findBlock(first); b.isValid() && b.position() <= last; b = b.next()) {
        if (!m_softEdit && b.position() > first && startsSoft(b) && b.position() > position &&
            b.position() <= position + added)
            m_hardenAt.push_back(b.position());
        if (static_cast<std::size_t>(b.length() - 1) > kMaxPieceUnits)
            m_splitAt.push_back(b.position());
    }
}

void LongLinePieces::applyRepairs(QTextDocument& doc) {
    std::vector<int> harden = std::move(m_hardenAt);
    std::vector<int> split = std::move(m_splitAt);
    m_hardenAt.clear();
    m_splitAt.clear();
    QTextCursor c(&doc);
    m_softEdit = true;
    if (doc.isUndoAvailable())
        c.joinPreviousEditBlock();
    else
        c.beginEditBlock();
    for (int position : harden) {
        const QTextBlock block = doc.findBlock(position);
        if (block.position() != position || !startsSoft(block))
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.clearProperty(kSoftBreakProperty);
        QTextCursor(block).setBlockFormat(format);
    }
    std::sort(split.begin(), split.end(), std::greater<>());
    split.erase(std::unique(split.begin(), split.end()), split.end());
    for (int position : split) {
        // Lines held together that grew too long are parted into
        // paragraphs first; a line still too long is then cut into pieces,
        // the last paragraph first so that the positions before it hold.
        const QTextBlock grown = doc.findBlock(position);
        const int end = grown.position() + grown.length() - 1;
        ungroup(c, grown);
        for (QTextBlock block = doc.findBlock(end); block.isValid() && block.position() >= position;
             block = block.previous()) {
            if (static_cast<std::size_t>(block.length() - 1) <= kMaxPieceUnits)
                continue;
            const QString text = block.text();
            const std::vector<std::size_t> points =
                TextMirror::softBreakPoints(viewOf(text), kPieceUnits, kMaxPieceUnits);
            for (auto it = points.rbegin(); it != points.rend(); ++it) {
                c.setPosition(block.position() + static_cast<int>(*it));
                c.insertBlock(softFormat());
            }
        }
    }
    c.endEditBlock();
    m_softEdit = false;
}

}  // namespace korvane
