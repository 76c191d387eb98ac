// What the journal keeper writes, removes and offers back, without a window.
#include "app/journal_keeper.h"

#include <gtest/gtest.h>

#include <chrono>
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

// A window's event loop, run by hand: each step the keeper asks for is run
// only when the test says so, with whatever the test does in between.
struct SteppedKeeper : Keeper {
    explicit SteppedKeeper(const std::string& folder) : Keeper(folder) {
        // A piece a step, so that a few megabytes take several.
        keeper.setLater([this](int) { ++asked; }, std::chrono::milliseconds(0));
    }
    // One step, if one was asked for.
    bool stepOnce() {
        if (asked == 0)
            return false;
        --asked;
        keeper.step();
        return true;
    }
    void stepToTheEnd() {
        while (stepOnce()) {
        }
    }
    std::string journalText() const {
        const std::optional<JournalEntry> entry = Journal::read(journal.path());
        return entry ? entry->text : "(none)";
    }

    int asked = 0;
};

// Catches a write begun by a tick that blocks the window for the whole
// text, renames a half-written journal over the last whole one, writes text
// the editor no longer holds (an edit between its steps), starts a second
// write over the first, or leaves a journal behind once the text is saved.
TEST(JournalKeeper, AWriteInStepsIsWholeOrNotAtAll) {
    test::TempDir dir;
    SteppedKeeper k(dir.path());
    const std::string first(3u << 20, 'a');
    k.edit.setText(first);
    k.edit.setModified(true);
    k.keeper.edited();
    k.keeper.tick();
    ASSERT_TRUE(k.keeper.writing());
    ASSERT_TRUE(k.stepOnce());
    EXPECT_TRUE(k.keeper.writing()) << "one step wrote 3 MB";
    EXPECT_FALSE(std::filesystem::exists(k.journal.path()));
    k.keeper.tick();  // the next tick while it runs
    k.stepToTheEnd();
    EXPECT_FALSE(k.keeper.writing());
    EXPECT_EQ(k.journalText(), first);

    // An edit halfway through: the journal holds the last whole text until
    // a later tick writes the new one.
    k.keeper.tick();
    EXPECT_FALSE(k.keeper.writing()) << "nothing changed since";
    k.edit.setSelection(0, 0);
    k.edit.replaceSelection("b");
    k.keeper.edited();
    k.keeper.tick();
    ASSERT_TRUE(k.stepOnce());
    k.edit.setSelection(k.edit.textLength(), k.edit.textLength());
    k.edit.replaceSelection("c");
    k.keeper.edited();
    EXPECT_FALSE(k.keeper.writing());
    k.stepToTheEnd();
    EXPECT_EQ(k.journalText(), first);
    k.keeper.tick();
    k.stepToTheEnd();
    EXPECT_EQ(k.journalText(), "b" + first + "c");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "a dropped write left its temporary file";

    // Saved halfway through: no journal is left of saved text.
    k.edit.replaceSelection("d");
    k.keeper.edited();
    k.keeper.tick();
    ASSERT_TRUE(k.stepOnce());
    k.edit.setModified(false);
    k.keeper.tick();
    k.stepToTheEnd();
    k.keeper.tick();
    EXPECT_FALSE(std::filesystem::exists(k.journal.path()));
    EXPECT_TRUE(k.notes.empty());
}

// Catches text thrown away on purpose while a write runs in steps being
// lost (the discard must write the text as it is, at once, and the stepped
// write must not land over it afterwards), and a journal left by a normal
// end that came while the disk still had a write.
TEST(JournalKeeper, ADiscardOrAnEndDuringAWriteInSteps) {
    test::TempDir dir;
    SteppedKeeper k(dir.path());
    k.edit.setText(std::string(2u << 20, 'a'));
    k.edit.setModified(true);
    k.keeper.edited();
    k.keeper.tick();
    ASSERT_TRUE(k.stepOnce());
    k.edit.replaceSelection("last words");
    k.keeper.beforeDiscard();
    const std::string kept = k.edit.text();
    k.edit.setText({});  // the switch throws it away
    k.stepToTheEnd();
    k.keeper.tick();
    k.stepToTheEnd();
    EXPECT_EQ(k.journalText(), kept);

    // A small text is in after one step, and the disk's wait has begun.
    k.edit.setText("older");
    k.keeper.edited();
    k.keeper.tick();
    ASSERT_TRUE(k.stepOnce());
    k.edit.setText("newest");
    k.keeper.beforeDiscard();
    EXPECT_FALSE(k.keeper.writing()) << "the older text may still land over the newest";
    k.stepToTheEnd();
    EXPECT_EQ(k.journalText(), "newest");

    k.edit.replaceSelection("more");
    k.keeper.edited();
    k.keeper.tick();
    ASSERT_TRUE(k.stepOnce());
    k.keeper.ended();
    EXPECT_FALSE(k.keeper.writing()) << "the journal may land after its removal";
    EXPECT_FALSE(std::filesystem::exists(k.journal.path()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
}

// Catches a folder that cannot be written failing silently, or told at
// every tick, when the journal is written in steps.
TEST(JournalKeeper, AWriteInStepsThatCannotBeginIsReportedOnce) {
    test::TempDir dir;
    const std::string folder = dir.file("journal");
    test::writeFile(folder, "a file where the folder should be");
    SteppedKeeper k(folder);
    k.edit.replaceSelection("text");
    for (int i = 0; i < 3; ++i) {
        k.keeper.edited();
        k.keeper.tick();
        k.stepToTheEnd();
    }
    ASSERT_EQ(k.notes.size(), 1u);
    std::filesystem::remove(folder);
    k.keeper.tick();  // the text failed to go: it is still to be written
    k.stepToTheEnd();
    EXPECT_EQ(k.notes, (std::vector<std::string>{k.notes[0], ""}));
    EXPECT_EQ(k.journalText(), "text");
}

}  // namespace
}  // namespace korvane
