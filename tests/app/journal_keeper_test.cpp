// What the journal keeper writes, removes and offers back, without a window.
#include "app/journal_keeper.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    explicit Keeper(const std::string& folder) : journal(folder) {}

    Journal journal;
    JournalKeeper keeper{journal, edit, highlighter, documents, modes, window, *dialogs.messages};
};

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

// Catches a tag-mode journal restored in text mode (or unmodified), and a
// declined one left for the next start.
TEST(JournalKeeper, OffersWhatACopyThatIsGoneLeft) {
    test::TempDir dir;
    const std::string left =
        dir.file(machineToken() + "-" + std::to_string(test::endedProcessId()) + ".journal");
    for (const bool wanted : {false, true}) {
        SCOPED_TRACE(wanted);
        test::writeFile(left, encodeJournal({true, "/p/page.htm", "", "<B>kept</B>"}));
        Keeper k(dir.path());
        k.scripted.messages->answerYesNo(wanted);
        k.keeper.offerLeftBehind();
        ASSERT_EQ(k.scripted.messages->questions().size(), 1u);
        EXPECT_NE(k.scripted.messages->questions()[0].find("/p/page.htm"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(left));
        EXPECT_EQ(k.window.tag, wanted);
        EXPECT_EQ(k.edit.text(), wanted ? "<B>kept</B>" : "");
        EXPECT_EQ(k.edit.modified(), wanted);
        EXPECT_TRUE(k.documents.isUntitled());
    }
}

}  // namespace
}  // namespace korvane
