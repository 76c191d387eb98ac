// The journal of unsaved text.
#include "app/journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/process.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

std::string journalName(long pid) {
    return machineToken() + "-" + std::to_string(pid) + ".journal";
}

// Catches text or names that do not come back byte for byte (NUL, CR LF,
// Shift_JIS, a field that holds what looks like the next field's length),
// and damaged files taken for journals.
TEST(Journal, EntriesComeBackExactlyAndDamageIsRefused) {
    const JournalEntry entries[] = {
        {false, "Untitled", "", ""},
        {true, "/home/u/\x93\xfa\x8b\x4c.htm", "t\n3\n", std::string("a\r\n\0b\x82\xa0\n12\n", 12)},
    };
    for (const JournalEntry& entry : entries) {
        const std::string bytes = encodeJournal(entry);
        EXPECT_EQ(decodeJournal(bytes), entry);
        EXPECT_FALSE(decodeJournal(bytes.substr(0, bytes.size() - 1)));
        EXPECT_FALSE(decodeJournal(bytes + "x"));
    }
    EXPECT_FALSE(decodeJournal("korvane-journal 1\ntext\n99\nshort\n"));
    EXPECT_FALSE(decodeJournal("something else"));
}

// Catches a copy taking the journal of a copy that is still running (its
// own included), or of another machine sharing the folder, and a journal
// that two starting copies could both take.
TEST(Journal, OnlyJournalsOfCopiesThatAreGoneAreTaken) {
    test::TempDir dir;
    const long gone = test::endedProcessId();
    const JournalEntry entry{false, "Untitled", "T", "lost text"};
    for (const std::string& name :
         {journalName(gone), journalName(1), "other_machine-" + std::to_string(gone) + ".journal"})
        test::writeFile(dir.file(name), encodeJournal(entry));
    Journal mine(dir.path());
    ASSERT_TRUE(mine.write(entry));

    EXPECT_EQ(mine.leftBehind(), std::vector<std::string>{dir.file(journalName(gone))});
    EXPECT_EQ(Journal::take(dir.file(journalName(gone))), entry);
    EXPECT_FALSE(Journal::take(dir.file(journalName(gone))));  // taken already
    EXPECT_TRUE(mine.leftBehind().empty());
    EXPECT_TRUE(std::filesystem::exists(mine.path()));
    mine.remove();
    EXPECT_FALSE(std::filesystem::exists(mine.path()));
}

}  // namespace
}  // namespace korvane
