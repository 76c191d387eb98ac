// The journal of unsaved text.
#include "app/journal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/process.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

// The name an older copy gave its journal: the pid alone.
std::string oldJournalName(long pid) {
    return machineToken() + "-" + std::to_string(pid) + ".journal";
}

std::string journalName(long pid, unsigned long long start, std::string boot) {
    std::erase(boot, '-');
    return machineToken() + "-" + std::to_string(pid) + "-" + std::to_string(start) + "-" + boot +
           ".journal";
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Catches text or names that do not come back byte for byte (NUL, CR LF,
// Shift_JIS, a field that holds what looks like the next field's length),
// and damaged files taken for journals.
TEST(Journal, EntriesComeBackExactlyAndDamageIsRefused) {
    const JournalEntry entries[] = {
        {false, "Untitled", "", ""},
        {true, "/home/u/\x93\xfa\x8b\x4c.htm", "t\n3\n", std::string("a\r\n\0b\x82\xa0\n12\n", 12)},
        {false, "/p.txt", "", "\xed\x95\x9c", TextEncoding::Utf8},
        {true, "/p.htm", "", "x", TextEncoding::Utf16Be},
        {true, "/p.htm", "", "\xc6\xfc", TextEncoding::EucJp},
    };
    for (const JournalEntry& entry : entries) {
        const std::string bytes = encodeJournal(entry);
        EXPECT_EQ(decodeJournal(bytes), entry);
        EXPECT_FALSE(decodeJournal(bytes.substr(0, bytes.size() - 1)));
        EXPECT_FALSE(decodeJournal(bytes + "x"));
    }
    EXPECT_FALSE(decodeJournal("korvane-journal 1\ntext\n99\nshort\n"));
    EXPECT_FALSE(decodeJournal("something else"));
    EXPECT_FALSE(decodeJournal("korvane-journal 1\ntext latin-1\n0\n\n0\n\n0\n\n"));
    // A journal of a copy that knew only Shift_JIS.
    const auto old = decodeJournal("korvane-journal 1\ntag\n1\nf\n0\n\n1\nx\n");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->encoding, TextEncoding::ShiftJis);
}

// Catches a copy taking the journal of a copy that is still running (its
// own included) or of another machine sharing the folder; a journal of a
// dead copy missed because its pid now belongs to another process, or
// because the machine was restarted; and a journal that two starting copies
// could both take.
TEST(Journal, OnlyJournalsOfCopiesThatAreGoneAreTaken) {
    test::TempDir dir;
    const long gone = test::endedProcessId();
    const ProcessIdentity self = currentProcessIdentity();
    ASSERT_NE(self.startTime, 0u);
    ASSERT_FALSE(self.bootId.empty());
    const std::string otherBoot = "00000000-0000-0000-0000-000000000000";
    const struct {
        const char* name;
        std::string file;
        bool leftBehind;
    } rows[] = {
        {"older copy, pid gone", oldJournalName(gone), true},
        {"older copy, pid alive", oldJournalName(1), false},
        {"pid gone", journalName(gone, 5, self.bootId), true},
        {"pid reused by a later process", journalName(self.pid, self.startTime - 1, self.bootId),
         true},
        {"before a restart", journalName(self.pid, self.startTime, otherBoot), true},
        {"a live copy", journalName(1, processStartTime(1).value_or(0), self.bootId), false},
        {"another machine", "other_machine-" + std::to_string(gone) + ".journal", false},
    };
    const JournalEntry entry{false, "Untitled", "T", "lost text"};
    for (const auto& row : rows)
        test::writeFile(dir.file(row.file), encodeJournal(entry));
    Journal mine(dir.path());
    ASSERT_TRUE(mine.write(entry).ok);

    const std::vector<std::string> found = mine.leftBehind();
    for (const auto& row : rows) {
        EXPECT_EQ(std::count(found.begin(), found.end(), dir.file(row.file)), row.leftBehind)
            << row.name;
    }
    EXPECT_EQ(std::count(found.begin(), found.end(), mine.path()), 0);

    // Taken by a rename into a copy's own name: once, and only by a copy
    // that has no journal of its own yet.
    const std::string left = dir.file(rows[0].file);
    EXPECT_FALSE(mine.take(left));
    mine.remove();
    ASSERT_TRUE(mine.take(left));
    EXPECT_FALSE(std::filesystem::exists(left));
    EXPECT_EQ(Journal::read(mine.path()), entry);
    const std::vector<std::string> afterTake = mine.leftBehind();
    EXPECT_EQ(std::count(afterTake.begin(), afterTake.end(), mine.path()), 0);
    Journal other(dir.file("elsewhere"));
    EXPECT_FALSE(other.take(left));
    ASSERT_TRUE(mine.giveBack(left));
    EXPECT_EQ(Journal::read(left), entry);
}

// Catches a journal that other users of the machine can read: its file and
// its folder are the user's alone whatever the umask, and a folder an older
// copy left open is closed.
TEST(Journal, IsReadableByItsUserAlone) {
    test::TempDir dir;
    const mode_t old = ::umask(022);
    Journal fresh(dir.file("new/journal"));
    ASSERT_TRUE(fresh.write({false, "Untitled", "", "private"}).ok);
    ASSERT_EQ(::mkdir(dir.file("open").c_str(), 0755), 0);
    Journal opened(dir.file("open"));
    ASSERT_TRUE(opened.write({false, "Untitled", "", "private"}).ok);
    ::umask(old);
    EXPECT_EQ(modeOf(fresh.path()), 0600u);
    EXPECT_EQ(modeOf(dir.file("new/journal")), 0700u);
    EXPECT_EQ(modeOf(dir.file("new")), 0700u);
    EXPECT_EQ(modeOf(opened.path()), 0600u);
    EXPECT_EQ(modeOf(dir.file("open")), 0700u);
}

// Catches a journal whose text is read back in pieces that split a line (or
// a CR LF) or lose bytes, and a cut journal taken for whole; and a summary
// that shows a blank first line or cuts a double-byte character in two.
TEST(Journal, TextComesBackInWholeLinesAndTheSummaryShowsTheFirstRealLine) {
    test::TempDir dir;
    std::string text = "\r\n\x81\x40\x81\x40\x93\xfa\x96\x7b\r\n";  // a full-width space starts it
    for (int i = 0; i < 300000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    text += "last";
    const std::string path = dir.file("j.journal");
    test::writeFile(path, encodeJournal({true, "/p/a.htm", "", text}));

    std::string back;
    JournalSummary head;
    std::size_t pieces = 0;
    const JournalTextRead read = Journal::readText(path, head, [&](std::string_view piece) {
        ++pieces;
        if (!back.empty()) {
            EXPECT_EQ(back.back(), '\n');
        }
        back.append(piece);
    });
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_GT(pieces, 1u);
    EXPECT_EQ(back, text);
    EXPECT_TRUE(head.tagMode);
    EXPECT_EQ(head.currentFile, "/p/a.htm");

    const std::optional<JournalSummary> summary = Journal::summary(path);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->firstLine, "\x81\x40\x81\x40\x93\xfa\x96\x7b");
    EXPECT_EQ(summary->textSize, text.size());

    const std::string bytes = encodeJournal({false, "Untitled", "", text});
    test::writeFile(path, bytes.substr(0, bytes.size() - 100));
    EXPECT_FALSE(Journal::readText(path, head, [](std::string_view) {}).ok);

    test::writeFile(path, encodeJournal({false, "Untitled", "", std::string(200, 'a') + "\x82"}));
    EXPECT_EQ(Journal::summary(path)->firstLine, std::string(80, 'a') + "...");
    test::writeFile(path, encodeJournal({false, "Untitled", "", "a" + std::string(200, '\x82')}));
    EXPECT_EQ(Journal::summary(path)->firstLine, "a" + std::string(78, '\x82') + "...");
}

}  // namespace
}  // namespace korvane
