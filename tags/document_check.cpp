#include "tags/document_check.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace korvane {

DocumentCheck::DocumentCheck(EditControl& edit, const PageFiles& files, Sources sources)
    : m_edit(edit), m_files(files), m_sources(std::move(sources)) {}

PageCheckResult DocumentCheck::run() const {
    const std::string text = m_edit.text();
    PageCheckInput input;
    input.text = text;
    input.encoding = m_sources.encoding ? m_sources.encoding() : TextEncoding::ShiftJis;
    const std::string currentFile = m_sources.currentFile();
    if (documentHasName(currentFile))
        input.pagePath = currentFile;
    if (m_sources.heldBackground)
        input.heldBackground = m_sources.heldBackground();
    // Nothing is changed by the check: stopping it only shortens the list.
    const std::unique_ptr<Progress> progress = startProgress(m_progress, kCheckingCaption, true);
    return checkPage(input, m_files, progress.get());
}

void DocumentCheck::goTo(const Finding& finding) const {
    const std::size_t length = m_edit.textLength();
    const std::size_t start = std::min(finding.offset, length);
    m_edit.setSelection(start, std::min(start + finding.length, length));
    m_edit.scrollCaret();
    m_edit.setFocus();
}

}  // namespace korvane
