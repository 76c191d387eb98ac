// Keeps the journal of the window's unsaved text: what to write when, what
// to remove, and what to offer back at the start.
//
// Plain C++ over the editor, the documents, the highlighter and the modes;
// the window only runs tick() on a timer, tells it of edits and shows its
// notes in the status line.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/documents.h"
#include "app/journal.h"
#include "app/mode_switches.h"
#include "base/edit_control.h"
#include "edit/tag_highlighter.h"
#include "platform/common_dialogs.h"
#include "platform/shell.h"

namespace korvane {

class JournalKeeper {
  public:
    JournalKeeper(Journal& journal, EditControl& edit, TagHighlighter& highlighter,
                  Documents& documents, ModeSwitches& modes, ModeWindow& window,
                  MessageBoxes& messages, Shell& shell);
    JournalKeeper(const JournalKeeper&) = delete;
    JournalKeeper& operator=(const JournalKeeper&) = delete;

    // Where short notes go (a write that failed): the status line.
    void setStatusDisplay(std::function<void(const std::string&)> show) {
        m_status = std::move(show);
    }
    // How much memory may still be taken; a journal too large to show in it
    // is not restored. By default what the process may still allocate.
    void setHeadroom(std::function<std::size_t()> headroom) { m_headroom = std::move(headroom); }

    // How a window keeps its answers quick while a large text is written:
    // `later(ms)` is to call step() once after that many milliseconds, with
    // the user's events handled in between. Without it a tick writes the
    // whole journal at once.
    // A step takes pieces of the text until `stepTime` is up (a piece at
    // least).
    void setLater(std::function<void(int milliseconds)> later,
                  std::chrono::milliseconds stepTime = std::chrono::milliseconds(8)) {
        m_later = std::move(later);
        m_stepTime = stepTime;
    }

    // The text or the title changed. A journal half written holds text that
    // is no longer the editor's: it is dropped, the old one stays, and the
    // next tick begins again.
    void edited();
    // Every few seconds: unsaved changes since the last write are written;
    // once the text is saved the journal has nothing to keep, unless it
    // holds text that was thrown away on purpose.
    void tick();
    // The next piece of a write begun by a tick (a window with setLater).
    void step();
    // A step that could not run now (long work holds the text half done).
    void stepLater();
    // Whether a write begun by a tick has not ended yet.
    bool writing() const { return m_writing != nullptr || m_finishing.valid(); }
    // Before text is thrown away on purpose (a switch without conversion,
    // Exit), it goes into the journal at once.
    void beforeDiscard();
    // A normal end: nothing is left that the user did not choose to leave.
    void ended();
    // At every start: each journal of a copy that is gone is offered back,
    // newest first, until one is restored. A window that holds no document
    // restores it itself; one started with a file hands it to a new copy.
    // Only "破棄" removes a journal; Esc and the close box keep it for the
    // next start.
    void offerLeftBehind(bool windowIsEmpty);
    // A copy started with kRecoverSwitch: the journal at `path` is restored
    // here without a question.
    void recover(const std::string& path);

  private:
    void write();
    void beginWrite();
    // A write begun by a tick: its text is dropped unfinished, or the wait
    // for its disk ends here.
    void dropWrite() { m_writing.reset(); }
    void settle();
    void finished(const FileResult& written);
    void report(const FileResult& written);
    JournalSource source() const;
    bool restoreHere(const std::string& path);
    void showStatus(const std::string& text) const;

    Journal& m_journal;
    EditControl& m_edit;
    TagHighlighter& m_highlighter;
    Documents& m_documents;
    ModeSwitches& m_modes;
    ModeWindow& m_window;
    MessageBoxes& m_messages;
    Shell& m_shell;
    std::function<void(const std::string&)> m_status;
    std::function<std::size_t()> m_headroom;
    std::function<void(int)> m_later;
    std::chrono::milliseconds m_stepTime{};
    // The journal a tick began: its text goes in a step at a time, from
    // m_written up to m_textSize; the disk's wait then runs on a thread.
    std::unique_ptr<JournalWrite> m_writing;
    std::size_t m_written = 0;
    std::size_t m_textSize = 0;
    std::future<FileResult> m_finishing;
    bool m_dirty = false;
    bool m_holdsDiscarded = false;
    // A write failed and the user was told; told again only after a write
    // has worked in between.
    bool m_failureShown = false;
};

// What the recovery question says of a journal (UTF-8).
std::string recoveryQuestionText(const JournalSummary& summary);

}  // namespace korvane
