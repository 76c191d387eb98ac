#include "app/journal_keeper.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "app/document_io.h"
#include "base/shift_jis.h"
#include "platform/memory_tuning.h"

namespace korvane {

namespace {

// The editor's text goes to the journal in pieces of this size, never whole.
constexpr std::size_t kWritePiece = std::size_t{1} << 20;
constexpr std::size_t kMegabyte = std::size_t{1} << 20;
// A step of a write begun by a tick takes pieces of this size until its
// time is up: the window answers a key within a step.
constexpr std::size_t kStepPiece = std::size_t{256} << 10;
// How often a step looks whether the disk has taken the journal, and how
// long a step waits for long work to end.
constexpr int kDiskPoll = 20;
constexpr int kBusyWait = 100;

constexpr const char* kRestoreButton = "開く(&O)";
constexpr const char* kLaterButton = "後で(&L)";
constexpr const char* kDiscardButton = "破棄(&D)";
enum RecoveryButton : std::size_t { Restore, Later, Discard };

std::string localTime(std::time_t when) {
    std::tm parts{};
    char text[32] = {};
    if (when == 0 || ::localtime_r(&when, &parts) == nullptr ||
        std::strftime(text, sizeof text, "%Y/%m/%d %H:%M", &parts) == 0)
        return "不明";
    return text;
}

std::string megabytes(std::size_t bytes) {
    return std::to_string(std::max<std::size_t>(1, (bytes + kMegabyte - 1) / kMegabyte)) + " MB";
}

std::string notRestoredText(const std::string& reason, std::size_t size) {
    const std::string kept = "\n文章は消さずに残してあるので、次に起動したときにまたたずねます。";
    if (reason == kNotEnoughMemory)
        return "保存されないまま終わった文章（" + megabytes(size) +
               "）を開くにはメモリが足りません（約 " + megabytes(size * kShowingFactor) +
               " 必要です）。" + kept;
    return "保存されないまま終わった文章を開けませんでした。" + kept;
}

}  // namespace

std::string recoveryQuestionText(const JournalSummary& summary) {
    std::string text = "保存されないまま終わった文章があります。\n\n";
    text += std::string("モード: ") + (summary.tagMode ? "morvix（タグ）" : "korvane（テキスト）");
    text += "\nファイル: " +
            (summary.currentFile == kUntitled ? std::string("無題") : summary.currentFile);
    text += "\n最後に控えた時刻: " + localTime(summary.written);
    if (!summary.tagMode && !summary.title.empty())
        text += "\nタイトル: " + decodeShiftJisToUtf8(summary.title);
    text += "\n最初の行: " + (summary.firstLine.empty()
                                  ? std::string("（空）")
                                  : codecOf(summary.encoding).toUtf8(summary.firstLine));
    text +=
        "\n\n「開く」を選ぶと新しい文書として開きます。「後で」を選ぶと、次に起動したときに"
        "またたずねます。「破棄」を選ぶと、この文章は捨てられます。";
    return text;
}

JournalKeeper::JournalKeeper(Journal& journal, EditControl& edit, TagHighlighter& highlighter,
                             Documents& documents, ModeSwitches& modes, ModeWindow& window,
                             MessageBoxes& messages, Shell& shell)
    : m_journal(journal),
      m_edit(edit),
      m_highlighter(highlighter),
      m_documents(documents),
      m_modes(modes),
      m_window(window),
      m_messages(messages),
      m_shell(shell) {}

JournalSource JournalKeeper::source() const {
    const std::size_t size = m_edit.textLength();
    return {m_window.isTagMode(),
            m_documents.CurrentFile(),
            m_window.titleBytes(),
            size,
            [this, size](const ByteSink& put) {
                for (std::size_t at = 0; at < size; at += kWritePiece) {
                    if (!put(m_edit.textRange(at, std::min(size, at + kWritePiece))))
                        return false;
                }
                return true;
            },
            m_documents.encoding()};
}

// A write that fails is skipped: the text stays to be written at the next
// tick, and the window goes on. The user hears of it once, not every few
// seconds, until a write works again.
void JournalKeeper::write() {
    FileResult written;
    try {
        written = m_journal.write(source());
    } catch (const std::bad_alloc&) {
        written = {false, kNotEnoughMemory};
    }
    if (written.ok)
        m_dirty = false;
    report(written);
}

void JournalKeeper::report(const FileResult& written) {
    if (written.ok) {
        if (std::exchange(m_failureShown, false))
            showStatus({});
        return;
    }
    if (m_failureShown)
        return;
    m_failureShown = true;
    showStatus(written.error == kNotEnoughMemory
                   ? std::string("メモリが足りないため、未保存の文章を控えられません")
                   : "未保存の文章を " + m_journal.path() + " に控えられません: " + written.error);
}

void JournalKeeper::edited() {
    m_dirty = true;
    dropWrite();
}

void JournalKeeper::tick() {
    if (!m_edit.modified())
        dropWrite();  // saved meanwhile: nothing to keep
    if (writing())
        return;  // the write's own steps end it
    if (m_edit.modified()) {
        if (m_dirty && m_later) {
            beginWrite();
        } else if (m_dirty) {
            write();
            if (!m_dirty)
                m_holdsDiscarded = false;
        }
    } else if (!m_holdsDiscarded) {
        m_journal.remove();
    }
}

// What changes from here on is for the next write.
void JournalKeeper::beginWrite() {
    FileResult failed;
    try {
        const JournalSource head = source();
        m_writing = m_journal.begin(head, failed);
        m_textSize = head.textSize;
    } catch (const std::bad_alloc&) {
        failed = {false, kNotEnoughMemory};
    }
    if (!m_writing) {
        report(failed);
        return;
    }
    m_written = 0;
    m_dirty = false;
    m_later(0);
}

void JournalKeeper::step() {
    if (m_finishing.valid()) {
        if (m_finishing.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            finished(m_finishing.get());
        else
            m_later(kDiskPoll);
        return;
    }
    if (!m_writing)
        return;  // dropped since
    const auto until = std::chrono::steady_clock::now() + m_stepTime;
    try {
        while (m_written < m_textSize) {
            const std::size_t end = std::min(m_textSize, m_written + kStepPiece);
            if (!m_writing->put(m_edit.textRange(m_written, end))) {
                const FileResult failed = m_writing->finish();
                dropWrite();
                finished(failed);
                return;
            }
            m_written = end;
            if (m_written < m_textSize && std::chrono::steady_clock::now() >= until) {
                m_later(0);
                return;
            }
        }
    } catch (const std::bad_alloc&) {
        dropWrite();
        finished({false, kNotEnoughMemory});
        return;
    }
    // The whole text is in: the wait for the disk goes to a thread of its
    // own, or is waited here when no thread can be had.
    std::shared_ptr<JournalWrite> whole = std::move(m_writing);
    try {
        m_finishing = std::async(std::launch::async, [whole] { return whole->finish(); });
    } catch (const std::system_error&) {
        finished(whole->finish());
        return;
    }
    m_later(kDiskPoll);
}

void JournalKeeper::stepLater() {
    if (m_later)
        m_later(kBusyWait);
}

void JournalKeeper::settle() {
    dropWrite();
    if (m_finishing.valid())
        finished(m_finishing.get());
}

void JournalKeeper::finished(const FileResult& written) {
    if (written.ok)
        m_holdsDiscarded = false;
    else
        m_dirty = true;
    report(written);
}

void JournalKeeper::ended() {
    settle();
    m_journal.remove();
}

void JournalKeeper::beforeDiscard() {
    settle();
    if (!m_edit.modified())
        return;
    m_dirty = true;
    write();
    if (!m_dirty)
        m_holdsDiscarded = true;
}

void JournalKeeper::offerLeftBehind(bool windowIsEmpty) {
    for (const std::string& path : m_journal.leftBehind()) {
        const std::optional<JournalSummary> found = Journal::summary(path);
        if (!found)
            continue;
        const std::size_t answer =
            m_messages.askChoice(recoveryQuestionText(*found),
                                 {kRestoreButton, kLaterButton, kDiscardButton}, Restore, Later);
        if (answer == Discard) {
            Journal::discard(path);
            continue;
        }
        if (answer != Restore)
            continue;  // kept for the next start
        if (windowIsEmpty) {
            restoreHere(path);
        } else if (!m_shell.startCopy({kRecoverSwitch, path})) {
            // This window holds the file the user asked for; the text gets a
            // window of its own, or stays where it is.
            m_messages.showError(notRestoredText({}, 0));
        }
        return;  // one at a time; the others wait for the next start
    }
}

void JournalKeeper::recover(const std::string& path) {
    restoreHere(path);
}

// The text goes into the editor in pieces, as an opened file does. The
// journal is this window's own from the moment it is taken, so it is never
// removed before its text is safely in the editor: a restore that fails gives
// it back under its old name, and a window that dies meanwhile leaves it to
// be offered again. It counts as modified, so closing asks before it is lost
// again.
bool JournalKeeper::restoreHere(const std::string& path) {
    std::error_code ec;
    const std::size_t size = static_cast<std::size_t>(std::filesystem::file_size(path, ec));
    const std::size_t headroom = m_headroom ? m_headroom() : memoryHeadroom();
    if (!ec && size > headroom / kShowingFactor) {
        m_messages.showError(notRestoredText(kNotEnoughMemory, size));
        return false;
    }
    if (!m_journal.take(path))
        return false;  // another copy has it, or it is gone
    std::string reason;
    try {
        const std::optional<JournalSummary> head = Journal::summary(m_journal.path());
        if (head && head->tagMode != m_window.isTagMode()) {
            if (head->tagMode)
                m_modes.enterTagMode();
            else
                m_modes.enterTextMode();
        }
        const TextEncoding encoding = head ? head->encoding : TextEncoding::ShiftJis;
        const std::unique_ptr<EditControl::TextLoad> load =
            m_edit.beginTextLoadIn(codecOf(encoding));
        JournalSummary read;
        const JournalTextRead text = Journal::readText(
            m_journal.path(), read, [&load](std::string_view piece) { load->append(piece); });
        if (head && text.ok) {
            if (!read.tagMode)
                m_window.setTitleBytes(read.title);
            load->commit();
            m_documents.adoptEncoding(encoding);
        } else {
            reason = text.ok ? std::string("the journal is damaged") : text.error;
        }
    } catch (const std::bad_alloc&) {
        reason = kNotEnoughMemory;
    }
    if (!reason.empty()) {
        try {
            m_edit.setText({});
        } catch (const std::bad_alloc&) {
        }
        m_journal.giveBack(path);
        m_messages.showError(notRestoredText(reason, size), reason);
        return false;
    }
    m_edit.setModified(true);
    if (m_window.isTagMode() && m_highlighter.TagsHighlighted())
        m_highlighter.forceWholeTextPass();
    // The journal holds this very text already.
    m_dirty = false;
    m_window.showCaption();
    return true;
}

void JournalKeeper::showStatus(const std::string& text) const {
    if (m_status)
        m_status(text);
}

}  // namespace korvane
