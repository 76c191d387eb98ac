#include "app/journal_keeper.h"

#include <optional>
#include <string>

namespace korvane {

JournalKeeper::JournalKeeper(Journal& journal, EditControl& edit, TagHighlighter& highlighter,
                             Documents& documents, ModeSwitches& modes, ModeWindow& window,
                             MessageBoxes& messages)
    : m_journal(journal),
      m_edit(edit),
      m_highlighter(highlighter),
      m_documents(documents),
      m_modes(modes),
      m_window(window),
      m_messages(messages) {}

JournalEntry JournalKeeper::entry() const {
    return {m_window.isTagMode(), m_documents.CurrentFile(), m_window.titleBytes(), m_edit.text()};
}

void JournalKeeper::tick() {
    if (m_edit.modified()) {
        if (m_dirty && m_journal.write(entry())) {
            m_dirty = false;
            m_holdsDiscarded = false;
        }
    } else if (!m_holdsDiscarded) {
        m_journal.remove();
    }
}

void JournalKeeper::beforeDiscard() {
    if (!m_edit.modified())
        return;
    if (m_journal.write(entry())) {
        m_holdsDiscarded = true;
        m_dirty = false;
    }
}

void JournalKeeper::offerLeftBehind() {
    for (const std::string& path : m_journal.leftBehind()) {
        const std::optional<JournalEntry> found = Journal::read(path);
        if (!found)
            continue;
        const std::string name =
            found->currentFile == kUntitled ? std::string("無題の文書") : found->currentFile;
        const bool wanted = m_messages.askYesNo(
            "保存されないまま終わった文章があります（" + name +
            "）。\n新しい文書として開きますか？\n「いいえ」を選ぶと、この文章は捨てられます。");
        const std::optional<JournalEntry> taken = Journal::take(path);
        if (wanted && taken) {
            restore(*taken);
            return;  // one at a time; the others wait for the next start
        }
    }
}

// It counts as modified, so closing asks before it is lost again.
void JournalKeeper::restore(const JournalEntry& entry) {
    if (entry.tagMode != m_window.isTagMode()) {
        if (entry.tagMode)
            m_modes.enterTagMode();
        else
            m_modes.enterTextMode();
    }
    if (!entry.tagMode)
        m_window.setTitleBytes(entry.title);
    m_edit.setText(entry.text);
    m_edit.setModified(true);
    if (m_window.isTagMode() && m_highlighter.TagsHighlighted())
        m_highlighter.forceWholeTextPass();
    m_dirty = true;
    m_window.showCaption();
}

}  // namespace korvane
