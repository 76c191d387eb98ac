// Text mode's page commands over scripted dialogs: the background picture
// command's toggle, its check mark and caption, and the two dialog commands.
#include "convert/page_dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scripted_dialogs.h"

namespace korvane {
namespace {

class PageDialogsTest : public ::testing::Test {
  protected:
    PageDialogsTest()
        : m_set(m_scripted.release()),
          m_commands(m_page, m_set,
                     PageDialogs::Window{[this] { ++m_colorShown; }, [this] { ++m_detailShown; },
                                         [this] { m_captions.push_back(m_page.BackPicture); },
                                         [this](bool on) { m_checks.push_back(on); }}) {}

    test::ScriptedDialogs m_scripted;
    CommonDialogs m_set;
    PageSettings m_page;
    int m_colorShown = 0;
    int m_detailShown = 0;
    std::vector<std::string> m_captions;  // the picture each caption refresh saw
    std::vector<bool> m_checks;
    PageDialogs m_commands;
};

// Catches a second choice that shows the dialog again instead of clearing,
// a caption or check mark that does not follow, or a picture stored relative.
TEST_F(PageDialogsTest, BackgroundCommandSetsThenClears) {
    m_scripted.odBackPicture->choose("/home/u/img/back.gif");
    m_commands.N5Click();
    EXPECT_TRUE(m_page.BackPictureOn);
    EXPECT_EQ(m_page.BackPicture, "/home/u/img/back.gif");
    EXPECT_EQ(m_captions, std::vector<std::string>{"/home/u/img/back.gif"});
    EXPECT_EQ(m_checks.back(), true);

    m_commands.N5Click();  // no answer queued: a dialog here fails the test
    EXPECT_FALSE(m_page.BackPictureOn);
    EXPECT_EQ(m_page.BackPicture, "");
    EXPECT_EQ(m_captions.back(), "");
    EXPECT_EQ(m_checks.back(), false);
    EXPECT_EQ(m_scripted.odBackPicture->shown().size(), 1u);
}

// Catches a dialog that proposes the name the simple image chose last, a
// wrong filter list, or a cancel that leaves the menu item checked (a
// checkable item toggles its own mark when chosen).
TEST_F(PageDialogsTest, DialogStartsEmptyAndCancelChangesNothing) {
    m_set.odBackPicture->proposeFileName("/old/simple.png");
    m_scripted.odBackPicture->cancel();
    m_commands.N5Click();
    ASSERT_EQ(m_scripted.odBackPicture->shown().size(), 1u);
    const FileDialogQuery& shown = m_scripted.odBackPicture->shown()[0];
    EXPECT_EQ(shown.fileName, "");
    ASSERT_EQ(shown.filters.size(), 5u);
    EXPECT_EQ(shown.filters[0].description, "画像ﾌｧｲﾙ(*.jpeg;*.jpg;*.png;*.gif)");
    EXPECT_EQ(shown.filters[4].description, "全てのﾌｧｲﾙ(*.*)");
    EXPECT_FALSE(m_page.BackPictureOn);
    EXPECT_TRUE(m_captions.empty());
    EXPECT_EQ(m_checks, std::vector<bool>{false});
}

// Catches a picture path kept in UTF-8 (the page and the caption read
// Shift_JIS), and a name Shift_JIS cannot hold taken in mangled.
TEST_F(PageDialogsTest, PicturePathIsShiftJisAndUnwritableNamesAreRefused) {
    m_scripted.odBackPicture->choose("/写真/背景.jpg");
    m_commands.N5Click();
    EXPECT_EQ(m_page.BackPicture, "/\x8E\xCA\x90\x5E/\x94\x77\x8C\x69.jpg");

    m_commands.N5Click();                                        // clears
    m_scripted.odBackPicture->choose("/pics/\xEC\x95\x88.gif");  // a Hangul syllable
    m_commands.N5Click();
    EXPECT_FALSE(m_page.BackPictureOn);
    EXPECT_EQ(m_scripted.messages->errors(),
              std::vector<std::string>{unwritablePictureText("/pics/\xEC\x95\x88.gif")});
    EXPECT_EQ(m_checks.back(), false);
}

// Catches the colour and detail commands swapped or not showing their
// dialog.
TEST_F(PageDialogsTest, DialogCommandsShowTheirDialogs) {
    CommandTable table;
    m_commands.registerCommands(table);
    EXPECT_TRUE(table.run("B1Click"));
    EXPECT_EQ(m_colorShown, 1);
    EXPECT_EQ(m_detailShown, 0);
    EXPECT_TRUE(table.run("D1Click"));
    EXPECT_EQ(m_detailShown, 1);
    EXPECT_TRUE(table.has("N5Click"));
}

}  // namespace
}  // namespace korvane
