// The journal of unsaved text.
//
// While a document has changes that are not saved, the window writes its
// text here every few seconds, and at once before a step that throws text
// away on purpose (a switch of mode without conversion, Exit). A program that
// ends normally removes its journal; one that was killed, crashed or lost its
// power leaves it, and the next start offers the text back.
//
// Each copy of the program has a journal of its own, named after its machine
// and its process as this boot knows it (pid, start time, boot id): a pid
// alone is reused, and a journal named after one would be taken for the
// journal of a live copy, or overwritten by the new process of that pid. A
// copy takes up only the journals of copies that are gone.
//
// The journals hold the user's text: files 0600 in a folder 0700, written
// only through the user's own links (see owned_file.h).
#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_codec.h"
#include "platform/owned_file.h"

namespace korvane {

struct JournalEntry {
    bool tagMode = false;
    std::string currentFile;  // the document's name when it was written
    std::string title;        // the title box (Shift_JIS)
    std::string text;         // the editor's text (in its codec, CR LF)
    // What the document's file is written in; the text is in its codec.
    TextEncoding encoding = TextEncoding::ShiftJis;

    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

// The file's contents, and back; nothing for what is not a journal.
std::string encodeJournal(const JournalEntry& entry);
std::optional<JournalEntry> decodeJournal(std::string_view bytes);

// What a journal is written from: the text is the editor's own, handed over
// a piece at a time, so that a large text is never copied whole to be
// written.
struct JournalSource {
    bool tagMode = false;
    std::string currentFile;
    std::string title;
    std::size_t textSize = 0;
    ByteSource text;  // exactly textSize bytes
    TextEncoding encoding = TextEncoding::ShiftJis;
};

// A journal written a piece of its text at a time, over as many steps as
// the writer likes; the journal before it stays whole until finish()
// renames the new one over it, and a write dropped unfinished leaves it so.
class JournalWrite {
  public:
    explicit JournalWrite(std::unique_ptr<PrivateFileWrite> file, std::size_t textSize)
        : m_file(std::move(file)), m_textSize(textSize) {}

    // The text's next piece; false once the file could not take it.
    bool put(std::string_view piece);
    std::size_t sent() const { return m_sent; }
    // A text that did not come whole is not finished: a journal that
    // cannot be read back is worse than the one before. May wait long for
    // the disk; any thread may call it, once.
    FileResult finish();

  private:
    std::unique_ptr<PrivateFileWrite> m_file;
    std::size_t m_textSize = 0;
    std::size_t m_sent = 0;
};

// What the recovery question tells of a journal, from its start alone: the
// text may be hundreds of megabytes.
struct JournalSummary {
    bool tagMode = false;
    std::string currentFile;
    std::string title;
    std::string firstLine;  // its first line that is not blank (in the text's codec), cut short
    std::size_t textSize = 0;
    std::time_t written = 0;  // when it was last written
    TextEncoding encoding = TextEncoding::ShiftJis;
};

// A journal's text read a piece at a time; every piece but the last ends
// with a line break, as an editor's load wants them.
struct JournalTextRead {
    bool ok = false;
    std::string error;  // the reason when !ok (kNotEnoughMemory among others)
};

class Journal {
  public:
    // This process's journal in `folder` (created on the first write).
    explicit Journal(std::string folder);
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    const std::string& path() const { return m_path; }
    // Atomically: a journal is either the last text or the one before.
    FileResult write(const JournalSource& source);
    // The same, with the text still to be put into what comes back (the
    // source's own text is not read); nothing, with the reason in `failed`,
    // when no journal can be begun.
    std::unique_ptr<JournalWrite> begin(const JournalSource& head, FileResult& failed);
    FileResult write(const JournalEntry& entry);
    void remove();

    // The journals of copies on this machine that are gone, newest first.
    std::vector<std::string> leftBehind() const;
    static std::optional<JournalEntry> read(const std::string& path);
    static std::optional<JournalSummary> summary(const std::string& path);
    // The text of the journal at `path`, in pieces; `head` gets what comes
    // before it. A journal that is cut short or damaged is not ok, whatever
    // pieces went out before that was known.
    static JournalTextRead readText(const std::string& path, JournalSummary& head,
                                    const std::function<void(std::string_view)>& piece);

    // Makes the journal at `path`, left by a copy that is gone, this
    // process's own journal, by a rename: of two copies starting at once
    // only one gets it, and a copy that dies while it restores the text
    // leaves it to be offered again. False when another copy took it first,
    // or this process has a journal already.
    bool take(const std::string& path);
    // Gives a journal taken from `path` back to its old name, for the next
    // start, when its text could not be restored.
    bool giveBack(const std::string& path);
    // Removes the journal at `path` of a copy that is gone, once the user
    // said so; false when another copy took it first.
    static bool discard(const std::string& path);

  private:
    std::string m_folder;
    std::string m_path;
};

}  // namespace korvane
