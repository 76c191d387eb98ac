// The journal of unsaved text.
//
// While a document has changes that are not saved, the window writes its
// text here every few seconds, and at once before a step that throws text
// away on purpose (a switch of mode without conversion, Exit). A program that
// ends normally removes its journal; one that was killed, crashed or lost its
// power leaves it, and the next start offers the text back. Each copy of the
// program has a journal of its own, named after its machine and process, and
// takes up only the journals of copies that are gone.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct JournalEntry {
    bool tagMode = false;
    std::string currentFile;  // the document's name when it was written
    std::string title;        // the title box (Shift_JIS)
    std::string text;         // the editor's text (Shift_JIS, CR LF)

    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

// The file's contents, and back; nothing for what is not a journal.
std::string encodeJournal(const JournalEntry& entry);
std::optional<JournalEntry> decodeJournal(std::string_view bytes);

class Journal {
  public:
    // This process's journal in `folder` (created on the first write).
    explicit Journal(std::string folder);
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    const std::string& path() const { return m_path; }
    // Atomically: a journal is either the last text or the one before.
    bool write(const JournalEntry& entry);
    void remove();

    // The journals of copies on this machine that are gone, newest first.
    std::vector<std::string> leftBehind() const;
    static std::optional<JournalEntry> read(const std::string& path);
    // Takes a journal left behind for this process and removes it: of two
    // copies starting at once only one gets it. Nothing when another copy
    // took it first or it is not a journal.
    static std::optional<JournalEntry> take(const std::string& path);

  private:
    std::string m_folder;
    std::string m_path;
};

}  // namespace korvane
