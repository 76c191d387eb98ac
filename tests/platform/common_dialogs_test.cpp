#include "platform/common_dialogs.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>

#include "platform/system_color_index.h"
#include "tests/support/scripted_dialogs.h"

namespace korvane {
namespace {

using test::ScriptedColorDialog;
using test::ScriptedDialogs;
using test::ScriptedFileDialog;
using test::ScriptedFontDialog;

const char* const kHtmlFirst =
    "htmlﾌｧｲﾙ(*.htm;*.html)|*.htm;*.html|ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*";

// Catches a dialog that forgets its last name, proposes it in the wrong
// folder, or changes what it remembers when the user cancels.
TEST(FileDialogState, ProposesTheLastChosenNameUntilCleared) {
    ScriptedFileDialog dialog(FileDialogKind::Open);
    dialog.choose("/web/site/index.htm");
    dialog.cancel();
    dialog.choose("/web/other/a.txt");
    dialog.choose("/tmp/b.htm");

    EXPECT_EQ(dialog.run(), "/web/site/index.htm");
    EXPECT_EQ(dialog.run(), std::nullopt);
    EXPECT_EQ(dialog.fileName(), "/web/site/index.htm");
    EXPECT_EQ(dialog.run(), "/web/other/a.txt");
    dialog.clearRememberedName();
    EXPECT_EQ(dialog.run(), "/tmp/b.htm");

    const std::vector<FileDialogQuery>& shown = dialog.shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].fileName, "");
    EXPECT_EQ(shown[1].folder, "/web/site");
    EXPECT_EQ(shown[1].fileName, "index.htm");
    EXPECT_EQ(shown[2].fileName, "index.htm");
    // A cleared name still opens where the user last was.
    EXPECT_EQ(shown[3].folder, "/web/other");
    EXPECT_EQ(shown[3].fileName, "");
}

// Catches a start folder that is ignored, that wins over the name the
// dialog remembers, or that stays after it is taken back.
TEST(FileDialogState, StartFolderWhileNoNameIsRemembered) {
    ScriptedFileDialog dialog(FileDialogKind::Open, std::make_shared<std::string>("/recent"));
    dialog.setStartFolder("/web/site");
    dialog.cancel();
    dialog.choose("/pics/cat.jpg");
    dialog.cancel();
    dialog.cancel();
    dialog.cancel();

    EXPECT_EQ(dialog.run(), std::nullopt);
    EXPECT_EQ(dialog.run(), "/pics/cat.jpg");
    EXPECT_EQ(dialog.run(), std::nullopt);
    dialog.clearRememberedName();
    EXPECT_EQ(dialog.run(), std::nullopt);
    dialog.setStartFolder("");
    EXPECT_EQ(dialog.run(), std::nullopt);

    const struct {
        const char* folder;
        const char* fileName;
    } expected[] = {
        {"/web/site", ""}, {"/web/site", ""}, {"/pics", "cat.jpg"},
        {"/web/site", ""}, {"/pics", ""},
    };
    const std::vector<FileDialogQuery>& shown = dialog.shown();
    ASSERT_EQ(shown.size(), std::size(expected));
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].folder, expected[i].folder) << i;
        EXPECT_EQ(shown[i].fileName, expected[i].fileName) << i;
    }
}

// Catches the default extension missing from the returned and remembered
// save name, or forced on an open dialog's existing file.
TEST(FileDialogState, SaveDialogCompletesTheTypedName) {
    ScriptedFileDialog save(FileDialogKind::Save);
    save.setDefaultExtension("txt");
    save.choose("/w/memo");
    EXPECT_EQ(save.run(), "/w/memo.txt");
    EXPECT_EQ(save.fileName(), "/w/memo.txt");
    EXPECT_EQ(save.shown()[0].defaultExtension, "txt");

    ScriptedFileDialog open(FileDialogKind::Open);
    open.setDefaultExtension("txt");
    open.choose("/w/README");
    EXPECT_EQ(open.run(), "/w/README");
}

// Catches a filter index that is not kept when the caller leaves it, one
// that ignores the caller's choice, and an index past the list shown as is.
TEST(FileDialogState, KeepsTheFilterLastUsed) {
    ScriptedFileDialog dialog(FileDialogKind::Save);
    dialog.setFilter(kHtmlFirst);
    dialog.choose("/w/a.txt", 1);
    dialog.choose("/w/b.txt");
    dialog.choose("/w/c.htm");
    dialog.choose("/w/d.htm");

    ASSERT_TRUE(dialog.run());
    ASSERT_TRUE(dialog.run());
    dialog.setFilterIndex(1);
    ASSERT_TRUE(dialog.run());
    dialog.setFilterIndex(9);
    ASSERT_TRUE(dialog.run());

    const std::vector<FileDialogQuery>& shown = dialog.shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].filterIndex, 0u);
    EXPECT_EQ(shown[1].filterIndex, 1u);
    EXPECT_EQ(shown[2].filterIndex, 0u);
    EXPECT_EQ(shown[3].filterIndex, 0u);
    ASSERT_EQ(shown[0].filters.size(), 3u);
    EXPECT_EQ(shown[0].filters[0].patterns, (std::vector<std::string>{"*.htm", "*.html"}));
}

// Catches the mode switches clearing the wrong dialogs: only the open and
// save dialogs forget; the export and picture dialogs keep their names.
TEST(CommonDialogsSet, ModeSwitchClearsOnlyTheMainDialogs) {
    ScriptedDialogs scripted;
    CommonDialogs set = scripted.release();
    scripted.odMain->choose("/w/a.txt");
    scripted.sdMain->choose("/w/b.txt");
    scripted.sdHtml->choose("/w/c.htm");
    scripted.odBackPicture->choose("/w/d.png");
    for (FileDialog* dialog :
         {set.odMain.get(), set.sdMain.get(), set.sdHtml.get(), set.odBackPicture.get()})
        ASSERT_TRUE(dialog->run());

    set.clearMainNames();

    EXPECT_EQ(set.odMain->fileName(), "");
    EXPECT_EQ(set.sdMain->fileName(), "");
    EXPECT_EQ(set.sdHtml->fileName(), "/w/c.htm");
    EXPECT_EQ(set.odBackPicture->fileName(), "/w/d.png");
}

// Catches dialogs of one set that do not follow each other's folder.
TEST(CommonDialogsSet, DialogsOpenWhereTheLastWasConfirmed) {
    ScriptedDialogs scripted;
    CommonDialogs set = scripted.release();
    scripted.odMain->choose("/web/site/index.htm");
    ASSERT_TRUE(set.odMain->run());
    scripted.odBackPicture->cancel();
    EXPECT_FALSE(set.odBackPicture->run());
    EXPECT_EQ(scripted.odBackPicture->shown()[0].folder, "/web/site");
}

// Catches a colour dialog that loses its colour on cancel, does not keep the
// confirmed one, or shows a system colour value instead of its colour.
TEST(ColorDialogState, KeepsItsColourAndResolvesSystemColours) {
    const SystemColorLookup lookup = [](int index) {
        return index == kColorWindow ? 0x00ABCDEFu : 0u;
    };
    ScriptedColorDialog dialog(lookup);
    EXPECT_EQ(dialog.color(), 0);
    dialog.choose(0x0080FF);
    dialog.cancel();
    dialog.cancel();
    dialog.choose(0x7F123456);

    EXPECT_TRUE(dialog.run());
    EXPECT_EQ(dialog.color(), 0x0080FF);
    EXPECT_FALSE(dialog.run());
    EXPECT_EQ(dialog.color(), 0x0080FF);
    const ColorValue window = systemColorValue(kColorWindow);
    dialog.setColor(window);
    EXPECT_FALSE(dialog.run());
    EXPECT_EQ(dialog.color(), window);
    EXPECT_TRUE(dialog.run());
    EXPECT_EQ(dialog.color(), 0x123456);

    EXPECT_EQ(dialog.shown(), (std::vector<ColorValue>{0, 0x0080FF, 0xABCDEF, 0xABCDEF}));
}

// Catches a font dialog that keeps nothing, or passes an answer without a
// size or family on to the editor.
TEST(FontDialogState, KeepsItsFontAndRefusesEmptyParts) {
    ScriptedFontDialog dialog;
    dialog.setFont({"FixedSys", 14});
    dialog.choose({"Noto Sans Mono CJK JP", 12});
    dialog.cancel();
    dialog.choose({"", 0});

    EXPECT_TRUE(dialog.run());
    EXPECT_FALSE(dialog.run());
    EXPECT_TRUE(dialog.run());
    EXPECT_EQ(dialog.font(), (FontChoice{"Noto Sans Mono CJK JP", 12}));
    EXPECT_EQ(dialog.shown(),
              (std::vector<FontChoice>{
                  {"FixedSys", 14}, {"Noto Sans Mono CJK JP", 12}, {"Noto Sans Mono CJK JP", 12}}));
}

}  // namespace
}  // namespace korvane
