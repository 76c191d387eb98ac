// RichEdit following its document: every edit the document reports, ours or
// the toolkit's (typing, undo, a drop), is taken into the mirror as it is
// reported; what the edit brought that must not stay is put right once the
// document has finished it.
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

#include "base/shift_jis.h"
#include "editor/line_groups.h"
#include "editor/qt_sjis.h"
#include "editor/rich_edit.h"

namespace korvane {

void RichEdit::UndoSpan::cover(int from, int to) {
    if (range)
        range = {std::min(range->first, from), std::max(range->second, to)};
    else
        range = {from, to};
}

void RichEdit::followDocument(QTextDocument* doc) {
    m_document = doc;
    connect(doc, &QTextDocument::contentsChange, this, &RichEdit::mirrorDocumentEdit);
    connect(doc, &QTextDocument::contentsChanged, this, &RichEdit::finishDocumentEdit);
    m_partings.clear();
    connect(doc, &QTextDocument::undoCommandAdded, this, [this, doc] {
        if (doc == m_document)
            m_partings.added(doc->availableUndoSteps(), m_parting);
    });
}

void RichEdit::mirrorDocumentEdit(int position, int removed, int added) {
    m_unitCache = {};
    if (m_reports == Reports::Ignore)
        return;
    // The widget's cursor moved with the text; a selection still waiting
    // for it would point into the old text.
    m_pending.dropSelection();

    const std::optional<DocumentEdit> fitting = fitReport(position, removed, added);
    // Nothing left of the change (text composed with an input method on the
    // last line is reported so): no edit at all.
    if (fitting && fitting->removed == 0 && fitting->added == 0)
        return;
    if (fitting && isSeparatorSwap(*fitting)) {
        // Held lines parted or joined again: the paragraphs around the break
        // are new to the toolkit, laid out without their lines' colours.
        const QTextBlock block = m_document->findBlock(fitting->position);
        const QTextBlock after = m_document->findBlock(fitting->position + 1);
        markDirty(heldLineOf(block.position()), heldLineOf(after.position() + after.length() - 1));
        m_lines.forgetFrom(static_cast<std::size_t>(block.blockNumber()));
        return;
    }
    if (fitting && isUnchanged(*fitting)) {
        const std::size_t from = m_mirror.lineOfUnit(static_cast<std::size_t>(fitting->position));
        const std::size_t to =
            m_mirror.lineOfUnit(static_cast<std::size_t>(fitting->position + fitting->added));
        LongLinePieces::syncSoftBreaks(*m_document, m_mirror, from > 0 ? from - 1 : 0, to);
        return;
    }

    DocumentEdit edit{position, removed, added};
    if (!fitting || !spliceMirror(*fitting)) {
        // A report that does not fit the text we hold: start afresh.
        m_fixups.clear();
        rebuildMirror(true);
        edit = {0, 0, m_document->characterCount() - 1};
    } else {
        edit = *fitting;
    }
    if (m_undo.running) {
        m_undo.cover(edit.position, edit.position + edit.added);
        // Undo brings back what was there before; a character it restores
        // stays as it was, or undoing a replacement would redo it at once.
        m_fixups.clear();
    }
    m_modified = true;
    m_events.noteChange();
}

std::optional<RichEdit::DocumentEdit> RichEdit::fitReport(int position, int removed,
                                                          int added) const {
    const auto oldTotal = static_cast<int>(m_mirror.unitLength());
    const int newTotal = m_document->characterCount();
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
    if (!consistent)
        return std::nullopt;
    return DocumentEdit{position, removed, added};
}

bool RichEdit::isSeparatorSwap(const DocumentEdit& edit) const {
    if (edit.removed != 1 || edit.added != 1)
        return false;
    const QChar now = m_document->characterAt(edit.position);
    if (now != QChar::ParagraphSeparator && !LineGroups::isSeparator(now))
        return false;
    // Where the mirror has a line break of the text, not a soft one.
    const auto at = static_cast<std::size_t>(edit.position);
    const std::size_t line = m_mirror.lineOfUnit(at);
    return line + 1 < m_mirror.lineCount() && !m_mirror.softBreak(line) &&
           m_mirror.lineStartUnit(line) + m_mirror.lineUnits(line) == at &&
           (now != QChar::ParagraphSeparator ||
            !LongLinePieces::startsSoft(m_document->findBlock(edit.position + 1)));
}

bool RichEdit::isUnchanged(const DocumentEdit& edit) const {
    if (edit.removed != edit.added || edit.removed == 0)
        return false;
    QTextCursor c(m_document);
    c.setPosition(edit.position);
    c.setPosition(edit.position + edit.added, QTextCursor::KeepAnchor);
    // A separator inside a paragraph is a line break like the paragraph's own.
    const QString now =
        c.selectedText().replace(QChar(LineGroups::kLineSeparator), QChar::ParagraphSeparator);
    // The mirror's characters of the same positions, a paragraph separator
    // for each line end, soft or not: a change of a soft break alone is a
    // change of format. Compared as characters: the bytes may hold a
    // duplicate code that encoding the document's text again would write in
    // another form.
    std::u16string before;
    auto line = m_mirror.lineOfUnit(static_cast<std::size_t>(edit.position));
    // A line without bytes of its own cannot tell what it held: the
    // document holds the new text already. Taken for a change, the edit
    // only moves colours that a format change would have left.
    const std::size_t lastLine =
        m_mirror.lineOfUnit(static_cast<std::size_t>(edit.position + edit.removed));
    for (std::size_t l = line; l <= lastLine; ++l) {
        if (!m_mirror.keepsBytes(l))
            return false;
    }
    std::size_t unit = static_cast<std::size_t>(edit.position) - m_mirror.lineStartUnit(line);
    auto left = static_cast<std::size_t>(edit.removed);
    while (left > 0) {
        const std::size_t take = std::min(left, m_mirror.lineUnits(line) - unit);
        if (take > 0) {
            const std::string_view bytes = m_mirror.lineBytes(line);
            const std::size_t from = m_mirror.bytesOfUnits(line, unit);
            before += m_mirror.codec().decode(
                bytes.substr(from, m_mirror.bytesOfUnits(line, unit + take) - from));
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

bool RichEdit::spliceMirror(const DocumentEdit& edit) {
    // The new texts of the lines from the one holding the edit's start to
    // the one holding its end. What lies before the edit is as it was, so
    // the mirror still knows where the first of them starts.
    const std::size_t firstLine = m_mirror.lineOfUnit(static_cast<std::size_t>(edit.position));
    const auto start = static_cast<int>(m_mirror.lineStartUnit(firstLine));
    const int end = edit.position + edit.added;
    const QTextBlock first = m_document->findBlock(start);
    const QTextBlock last = m_document->findBlock(end);
    QString texts;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        if (b != first)
            texts += QChar(LineGroups::kLineSeparator);
        texts += b.text();
        if (b == last)
            break;
    }
    // Both kinds of break part lines alike here; the lines after the one
    // holding the end are not the edit's.
    const std::u16string_view all = viewOf(texts);
    const auto from = static_cast<std::size_t>(start - first.position());
    const auto to = static_cast<std::size_t>(end - first.position());
    std::vector<std::u16string_view> views = LineGroups::linesOf(all.substr(from));
    std::size_t lineEnd = from;
    for (std::size_t i = 0; i < views.size(); ++i) {
        lineEnd += views[i].size();
        if (lineEnd >= to) {
            views.resize(i + 1);
            break;
        }
        ++lineEnd;
    }
    std::vector<TextMirror::Problem> problems;
    if (!m_mirror.splice(static_cast<std::size_t>(edit.position),
                         static_cast<std::size_t>(edit.removed),
                         static_cast<std::size_t>(edit.added), views, &problems))
        return false;
    followSplice(edit, problems, firstLine);
    return true;
}

void RichEdit::followSplice(const DocumentEdit& edit,
                            const std::vector<TextMirror::Problem>& problems,
                            std::size_t firstLine) {
    const TextMirror::SpliceLines lines = m_mirror.lastSplice();
    // A soft break belongs to the block after it: the line before the
    // edit and every new line take theirs from the document.
    LongLinePieces::syncSoftBreaks(*m_document, m_mirror, lines.first > 0 ? lines.first - 1 : 0,
                                   lines.first + lines.newCount - 1);
    // Undo brings back pieces and breaks as they were.
    if (!m_undo.running)
        m_pieces.checkNewBlocks(*m_document, m_mirror, lines, edit.position, edit.added);
    m_colors.followSplice(*m_document, lines, batching());
    m_lines.forgetFrom(static_cast<std::size_t>(
        m_document->findBlock(static_cast<int>(m_mirror.lineStartUnit(lines.first)))
            .blockNumber()));
    m_fixups.collect(m_mirror, problems, firstLine);
}

void RichEdit::rebuildMirror(bool clearFormats) {
    std::vector<QString> texts;
    texts.reserve(static_cast<std::size_t>(m_document->blockCount()));
    for (QTextBlock block = m_document->firstBlock(); block.isValid(); block = block.next())
        texts.push_back(block.text());
    std::vector<std::u16string_view> views;
    views.reserve(texts.size());
    for (const QString& t : texts) {
        for (std::u16string_view line : LineGroups::linesOf(viewOf(t)))
            views.push_back(line);
    }
    std::vector<TextMirror::Problem> problems;
    m_mirror.assign(views, &problems);
    LongLinePieces::syncSoftBreaks(*m_document, m_mirror, 0, m_mirror.lineCount() - 1);
    m_colors.forget();
    m_lines.forget();
    if (clearFormats) {
        for (QTextBlock block = m_document->firstBlock(); block.isValid(); block = block.next()) {
            if (!block.layout()->formats().isEmpty())
                block.layout()->setFormats({});
        }
    }
    // Text that came in past our own doors (a toolkit call on the widget)
    // is put right like typed text.
    m_fixups.collectWhole(m_mirror, problems);
}

void RichEdit::setCodec(const TextCodec& codec) {
    if (&codec == &m_mirror.codec())
        return;
    const ChangeEvents::Scope scope(m_events);
    closeDocumentBlock();
    // The document keeps its characters and its undo history; only the
    // mirror's bytes are made anew, and the colours put back where they were.
    std::vector<std::vector<TextMirror::ColorRun>> colours;
    colours.reserve(m_mirror.lineCount());
    for (std::size_t line = 0; line < m_mirror.lineCount(); ++line)
        colours.push_back(m_mirror.lineColors(line));
    m_mirror.setCodec(codec);
    m_fixups.clear();
    rebuildMirror();
    if (colours.size() == m_mirror.lineCount()) {
        for (std::size_t line = 0; line < colours.size(); ++line) {
            const std::size_t start = m_mirror.lineStartUnit(line);
            for (const TextMirror::ColorRun& run : colours[line]) {
                if (const auto changed = m_mirror.setColor(start + run.start, start + run.end,
                                                           CharColor::of(run.color)))
                    markDirty(changed->first, changed->second);
            }
        }
    }
    // What the new codec cannot hold is replaced as typed text would be.
    if (m_fixups.due()) {
        QStringList replaced;
        {
            const ReportsScope followUp(*this, Reports::FollowUp);
            replaced = m_fixups.apply(*m_document);
        }
        if (!replaced.isEmpty())
            notify(replacementNotice(replaced, codec.charsetName()));
        m_events.deliver();
    }
    if (live())
        flushColors();
}

void RichEdit::settleNewText() {
    // The mirror comes from the bytes themselves; should the document hold
    // other paragraphs than they make, it is built from the document. Each
    // paragraph must end where one of the mirror's lines ends, with the
    // same kind of break.
    bool same = true;
    std::size_t line = 0;
    if (static_cast<std::size_t>(m_document->blockCount()) == m_mirror.lineCount()) {
        // A paragraph to a line: lengths and soft breaks are compared in step.
        for (QTextBlock b = m_document->firstBlock(); same && b.isValid(); b = b.next(), ++line)
            same = static_cast<std::size_t>(b.length() - 1) == m_mirror.lineUnits(line) &&
                   LongLinePieces::startsSoft(b.next()) == m_mirror.softBreak(line);
    } else {
        // Each look-up goes on from the one before it, forward: the
        // mirror's hint spares a walk from a chunk's start for each.
        for (QTextBlock b = m_document->firstBlock(); same && b.isValid(); b = b.next()) {
            const auto end = static_cast<std::size_t>(b.position() + b.length() - 1);
            same = line < m_mirror.lineCount() &&
                   m_mirror.lineStartUnit(line) == static_cast<std::size_t>(b.position());
            const std::size_t last = m_mirror.lineOfUnit(end);
            same = same && last >= line &&
                   m_mirror.lineStartUnit(last) + m_mirror.lineUnits(last) == end &&
                   LongLinePieces::startsSoft(b.next()) == m_mirror.softBreak(last);
            line = last + 1;
        }
    }
    if (same && line == m_mirror.lineCount()) {
        m_colors.forget();
        m_lines.forget();
    } else {
        rebuildMirror();
    }
    m_fixups.clear();
    m_events.forgetChange();
    m_partings.clear();
    m_unparted = -1;
    m_modified = m_mirror.byteLength() != 0;
}

void RichEdit::finishDocumentEdit() {
    if (m_reports != Reports::Mirror)
        return;
    if (m_fixups.due()) {
        QStringList replaced;
        {
            const ReportsScope followUp(*this, Reports::FollowUp);
            replaced = m_fixups.apply(*m_document);
        }
        if (!replaced.isEmpty())
            notify(replacementNotice(replaced, m_mirror.codec().charsetName()));
    }
    if (m_pieces.repairsDue()) {
        const ReportsScope followUp(*this, Reports::FollowUp);
        m_pieces.applyRepairs(*m_document);
    }
    if (live())
        flushColors();
    const QString notice = m_fixups.takeNotice();
    if (!notice.isEmpty())
        notify(notice);
    m_events.deliver();
}

}  // namespace korvane
