// What the journal keeper writes, removes and offers back, without a window.
#include "app/journal_keeper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>

#include "platform/process.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_mode_window.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

struct Keeper : test::WindowParts {
    explicit Keeper(const std::string& folder) : journal(folder) {
        keeper.setStatusDisplay([this](const std::string& note) { notes.push_back(note); });
    }

    Journal journal;
    JournalKeeper keeper{journal, edit,   highlighter,       documents,
                         modes,   window, *dialogs.messages, shell};
    std::vector<std::string> notes;
};

// A journal left by a copy that died, in `folder`.
std::string leaveJournal(const std::string& folder, const JournalEntry& entry) {
    const std::string path =
        folder + "/" + machineToken() + "-" + std::to_string(test::endedProcessId()) + ".journal";
    test::writeFile(path, encodeJournal(entry));
    return path;
}

// Catches unsaved text not written, a journal kept once the text is saved
// (the next start would offer old text), and text thrown away on purpose
// lost from the journal by the next look at an empty document.
TEST(JournalKeeper, WritesWhatIsUnsavedAndKeepsWhatWasThrownAway) {
    test::TempDir dir;
    Keeper k(dir.path());
    k.keeper.tick();
    EXPECT_FALSE(std::filesystem::exists(k.journal.path()));
    k.edit.replaceSelection("draft");
    k.keeper.edited();
    k.keeper.tick();
    EXPECT_EQ(Journal::read(k.journal.path())->text, "draft");
    k.edit.setModified(false);  // saved
    k.keeper.tick();
    EXPECT_FALSE(std::filesystem::exists(k.journal.path()));

    k.edit.replaceSelection(" again");
    k.keeper.beforeDiscard();
    k.edit.setText({});  // the switch throws it away
    k.keeper.tick();
    EXPECT_EQ(Journal::read(k.journal.path())->text, "draft again");
    k.keeper.ended();
    EXPECT_FALSE(std::filesystem::exists(k.journal.path()));
}

// Catches text thrown away by a key pressed by habit (Esc or the close box
// deleting the journal), a journal deleted before its text is in an editor,
// text mixed into a window that holds the user's file, and a question that
// does not say which text it is about.
TEST(JournalKeeper, OnlyAnExplicitDiscardThrowsALeftJournalAway) {
    const JournalEntry entry{true, "/p/page.htm", "", "\r\n<B>kept</B>\r\nmore"};
    const struct {
        const char* name;
        std::optional<std::size_t> answer;  // none: Esc or the close box
        bool windowEmpty;
        bool restored;
        bool keptForNextStart;
        bool copyStarted;
    } rows[] = {
        {"restore here", 0, true, true, false, false},
        {"escape", std::nullopt, true, false, true, false},
        {"later", 1, true, false, true, false},
        {"discard", 2, true, false, false, false},
        {"restore beside the user's file", 0, false, false, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir dir;
        const std::string left = leaveJournal(dir.path(), entry);
        Keeper k(dir.path());
        if (row.answer)
            k.scripted.messages->answerChoice(*row.answer);
        k.keeper.offerLeftBehind(row.windowEmpty);
        ASSERT_EQ(k.scripted.messages->choiceQuestions().size(), 1u);
        const std::string& question = k.scripted.messages->choiceQuestions()[0];
        for (const char* shown : {"morvix", "/p/page.htm", "<B>kept</B>"})
            EXPECT_NE(question.find(shown), std::string::npos) << shown;
        EXPECT_EQ(std::filesystem::exists(left), row.keptForNextStart);
        EXPECT_EQ(k.edit.text(), row.restored ? entry.text : "");
        EXPECT_EQ(k.window.tag, row.restored);
        EXPECT_EQ(k.edit.modified(), row.restored);
        EXPECT_TRUE(k.documents.isUntitled());
        // Restored, it is this window's journal now: never deleted on the way.
        EXPECT_EQ(std::filesystem::exists(k.journal.path()), row.restored);
        const std::vector<std::vector<std::string>> copies{{kRecoverSwitch, left}};
        EXPECT_EQ(k.shell.startedCopies(),
                  row.copyStarted ? copies : std::vector<std::vector<std::string>>{});
    }
}

// Catches a copy started to restore a journal asking again, or not taking
// the text in.
TEST(JournalKeeper, ACopyStartedToRecoverRestoresWithoutAsking) {
    test::TempDir dir;
    const std::string left = leaveJournal(dir.path(), {false, "Untitled", "\x93\xfa\x8b\x4c", "x"});
    Keeper k(dir.path());
    k.keeper.recover(left);
    EXPECT_TRUE(k.scripted.messages->choiceQuestions().empty());
    EXPECT_EQ(k.edit.text(), "x");
    EXPECT_EQ(k.window.title, "\x93\xfa\x8b\x4c");
    EXPECT_FALSE(std::filesystem::exists(left));
}

// The text of a UTF-8 document: catches it restored as Shift_JIS bytes
// (shown as other characters, saved as another encoding) and its first line
// shown in the question as Shift_JIS.
TEST(JournalKeeper, ATextComesBackInItsOwnEncoding) {
    test::TempDir dir;
    const std::string hangul = "\xed\x95\x9c\xea\xb8\x80";
    const std::string left =
        leaveJournal(dir.path(), {false, "Untitled", "", hangul + "\r\nx", TextEncoding::Utf8Bom});
    const std::optional<JournalSummary> summary = Journal::summary(left);
    ASSERT_TRUE(summary);
    EXPECT_NE(recoveryQuestionText(*summary).find(hangul), std::string::npos);
    Keeper k(dir.path());
    k.keeper.recover(left);
    EXPECT_EQ(k.edit.text(), hangul + "\r\nx");
    EXPECT_EQ(&k.edit.codec(), &utf8Codec());
    EXPECT_EQ(k.documents.encoding(), TextEncoding::Utf8Bom);
}

// Catches a restore that does not fit in memory throwing the journal away
// (or ending the program) instead of keeping it and saying so.
TEST(JournalKeeper, ARestoreWithoutMemoryKeepsTheJournal) {
    test::TempDir dir;
    const std::string text(48u << 20, 'a');
    {
        const std::string left = leaveJournal(dir.path(), {false, "Untitled", "", text});
        Keeper k(dir.path());
        k.keeper.setHeadroom([] { return std::size_t{64} << 20; });
        k.scripted.messages->answerChoice(0);
        k.keeper.offerLeftBehind(true);
        EXPECT_TRUE(std::filesystem::exists(left));
        ASSERT_EQ(k.scripted.messages->errors().size(), 1u);
        EXPECT_NE(k.scripted.messages->errors()[0].find("メモリが足りません"), std::string::npos);
        EXPECT_TRUE(k.edit.text().empty());
        std::filesystem::remove(left);
    }
    if (test::kUnderAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer's address space cannot be limited";
    const std::string left = leaveJournal(dir.path(), {false, "Untitled", "", text});
    EXPECT_TRUE(test::runInChild([&] {
        Keeper k(dir.path());
        k.keeper.setHeadroom([] { return std::numeric_limits<std::size_t>::max(); });
        if (!test::limitAddressSpace(16u << 20))
            return false;
        k.keeper.recover(left);
        return std::filesystem::exists(left) && !std::filesystem::exists(k.journal.path()) &&
               k.scripted.messages->errors().size() == 1 && k.edit.textLength() == 0;
    }));
}

// Catches a journal write that copies the whole text (twice the memory of a
// large document) or lets running out of memory end the program, and a
// failure told again every few seconds.
TEST(JournalKeeper, WritesFromTheEditorsBytesAndSurvivesRunningOutOfMemory) {
    if (test::kUnderAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer's address space cannot be limited";
    test::TempDir dir;
    EXPECT_TRUE(test::runInChild([&] {
        Keeper k(dir.path());
        k.edit.setText(std::string(64u << 20, 'x'));
        k.keeper.edited();
        // Room for pieces of the text, not for a copy of it.
        if (!test::limitAddressSpace(40u << 20))
            return false;
        k.keeper.tick();
        const bool written = std::filesystem::file_size(k.journal.path()) > (64u << 20);
        return written && k.notes.empty();
    }));
    EXPECT_TRUE(test::runInChild([&] {
        Keeper k(dir.path());
        k.edit.setText(std::string(8u << 20, 'x'));
        if (!test::limitAddressSpace(256u << 10))
            return false;
        for (int i = 0; i < 3; ++i) {
            k.keeper.edited();
            k.keeper.tick();
        }
        return k.notes.size() == 1 && k.notes[0].find("メモリ") != std::string::npos;
    }));
}

// Catches a journal folder that cannot be written reported on every tick,
// or never, and a note left standing once writing works again.
TEST(JournalKeeper, AFolderThatCannotBeWrittenIsReportedOnce) {
    test::TempDir dir;
    const std::string folder = dir.file("journal");
    test::writeFile(folder, "a file where the folder should be");
    Keeper k(folder);
    k.edit.replaceSelection("text");
    for (int i = 0; i < 3; ++i) {
        k.keeper.edited();
        k.keeper.tick();
    }
    ASSERT_EQ(k.notes.size(), 1u);
    EXPECT_NE(k.notes[0].find(folder), std::string::npos);
    std::filesystem::remove(folder);
    k.keeper.edited();
    k.keeper.tick();
    EXPECT_EQ(k.notes, (std::vector<std::string>{k.notes[0], ""}));
    EXPECT_EQ(Journal::read(k.journal.path())->text, "text");
}

}  // namespace
}  // namespace korvane
