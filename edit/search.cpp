#include "edit/search.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

namespace korvane {

void Search::Find1Click() {
    if (m_findDialog != nullptr)
        m_findDialog->showFindDialog();
}

void Search::P3Click() {
    if (!m_searchText.empty())
        findWithDialogsCase(false);
}

void Search::N12Click() {
    if (!m_searchText.empty())
        findWithDialogsCase(true);
}

void Search::Replace1Click() {
    if (m_replaceDialog != nullptr)
        m_replaceDialog->showReplaceDialog();
}

void Search::FdmainFind(std::string_view findWhat, bool down) {
    m_searchText.assign(findWhat);
    findWithDialogsCase(down);
}

void Search::findWithDialogsCase(bool down) {
    Options options;
    AutoFindBase(options);
    autoFind(options, down);
    reportIfNotFound();
}

void Search::autoFind(Options options, bool down) {
    if (down)
        AutoFindDown(options);
    else
        AutoFindUp(options);
}

void Search::reportIfNotFound() {
    // The search text is the dialogs', in Shift_JIS whatever the editor's
    // codec.
    if (!m_lastFindFound && m_report)
        m_report("「" + shiftJisCodec().toUtf8(m_searchText) + "」が見つかりません");
}

void Search::AutoFindBase(Options& options) const {
    if (m_findDialog != nullptr && m_findDialog->matchCaseTicked())
        options.matchCase = true;
}

std::string Search::inEditorCodec(std::string_view sjis) const {
    return recodeFromShiftJis(sjis, m_edit.codec());
}

void Search::select(std::size_t start) {
    // Start, then length: the length scrolls the occurrence into view.
    m_edit.setSelStart(start);
    m_edit.setSelLength(inEditorCodec(m_searchText).size());
}

void Search::AutoFindDown(Options options) {
    const std::size_t start = m_edit.selStart() + m_edit.selLength();
    // An empty text is refused by find itself: nothing found, no loop.
    const std::optional<std::size_t> found =
        m_edit.find(inEditorCodec(m_searchText), start, m_edit.textLength(), options.matchCase);
    m_lastFindFound = found.has_value();
    if (found)
        select(*found);
    // Focus after the selection: the caret the search started from is
    // only read, never put in the widget, so the view does not first jump
    // there (and lay out the text around it) only to jump on to the find.
    m_edit.setFocus();
}

void Search::AutoFindUp(Options options) {
    const std::size_t before = m_edit.selStart();
    const std::string what = inEditorCodec(m_searchText);
    const std::size_t k = what.size();
    // Forward searches, each from behind the occurrence before: every byte
    // up to the selection start is looked at once, however many there are.
    std::optional<std::size_t> found = m_edit.find(what, 0, before, options.matchCase);
    std::optional<std::size_t> last;
    while (found) {
        last = found;
        found = m_edit.find(what, *found + k, before, options.matchCase);
    }
    m_lastFindFound = last.has_value();
    if (last)
        select(*last);
    m_edit.setFocus();
}

bool Search::replaceStep(std::string_view after, Options options, bool up) {
    autoFind(options, !up);
    if (!m_lastFindFound)
        return false;
    const std::size_t start = m_edit.selStart();
    m_edit.replaceSelection(inEditorCodec(after));
    // Up, the caret goes to the start of the inserted text, so the next
    // search ends before it and never finds the replacement again.
    if (up)
        m_edit.setSelStart(start);
    return true;
}

void Search::replaceNext(std::string_view pre, std::string_view after, bool matchCase, bool up) {
    m_searchText.assign(pre);
    replaceStep(after, Options{matchCase}, up);
    reportIfNotFound();
}

void Search::replaceAll(std::string_view pre, std::string_view after, bool matchCase, bool up) {
    m_searchText.assign(pre);
    const Options options{matchCase};
    std::size_t count = 0;
    // One undo step for the lot. Each replacement is still an edit of its
    // own with its change event, so the tags around it are coloured again
    // as after a typed change; the editor shows only the end result.
    m_edit.setRedraw(false);
    m_edit.beginEditBlock();
    {
        const std::unique_ptr<Progress> progress =
            startProgress(m_progress, "置換しています...", false);
        while (replaceStep(after, options, up)) {
            ++count;
            // How far through the text: down from its start, up from its end.
            const std::size_t length = m_edit.textLength();
            const std::size_t at = std::min(m_edit.selStart(), length);
            progress->report(up ? length - at : at, length);
        }
    }
    m_edit.endEditBlock();
    m_edit.setRedraw(true);
    if (!m_report)
        return;
    if (count == 0)
        reportIfNotFound();
    else
        m_report(std::to_string(count) + " 個置換しました");
}

void Search::registerCommands(CommandTable& table) {
    table.add({"Find1Click", "Find4Click"}, [this] { Find1Click(); });
    table.add({"P3Click", "U1Click"}, [this] { P3Click(); });
    table.add({"N12Click", "N16Click"}, [this] { N12Click(); });
    table.add({"Replace1Click", "Replace2Click"}, [this] { Replace1Click(); });
}

}  // namespace korvane
