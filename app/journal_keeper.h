// Keeps the journal of the window's unsaved text: what to write when, what
// to remove, and what to offer back at the start.
//
// Plain C++ over the editor, the documents, the highlighter and the modes;
// the window only runs tick() on a timer and tells it of edits.
#pragma once

#include "app/documents.h"
#include "app/journal.h"
#include "app/mode_switches.h"
#include "base/edit_control.h"
#include "edit/tag_highlighter.h"
#include "platform/common_dialogs.h"

namespace korvane {

class JournalKeeper {
  public:
    JournalKeeper(Journal& journal, EditControl& edit, TagHighlighter& highlighter,
                  Documents& documents, ModeSwitches& modes, ModeWindow& window,
                  MessageBoxes& messages);
    JournalKeeper(const JournalKeeper&) = delete;
    JournalKeeper& operator=(const JournalKeeper&) = delete;

    // The text or the title changed.
    void edited() { m_dirty = true; }
    // Every few seconds: unsaved changes since the last look are written;
    // once the text is saved the journal has nothing to keep, unless it
    // holds text that was thrown away on purpose.
    void tick();
    // Before text is thrown away on purpose (a switch without conversion,
    // Exit), it goes into the journal at once.
    void beforeDiscard();
    // A normal end: nothing is left that the user did not choose to leave.
    void ended() { m_journal.remove(); }
    // At a start with no file: the newest journal of a copy that is gone is
    // offered back as a new, unnamed, modified document in its mode.
    void offerLeftBehind();

  private:
    JournalEntry entry() const;
    void restore(const JournalEntry& entry);

    Journal& m_journal;
    EditControl& m_edit;
    TagHighlighter& m_highlighter;
    Documents& m_documents;
    ModeSwitches& m_modes;
    ModeWindow& m_window;
    MessageBoxes& m_messages;
    bool m_dirty = false;
    bool m_holdsDiscarded = false;
};

}  // namespace korvane
