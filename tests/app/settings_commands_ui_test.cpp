// The page settings, preview, options, font, help and version items of
// both modes, triggered by their object names on the main window with
// scripted dialogs and a recording shell.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QFontInfo>

#include <memory>
#include <string>
#include <vector>

#include "app/tvantler.h"
#include "editor/rich_edit.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/window_actions.h"

namespace korvane {
namespace {

class SettingsCommandsTest : public ::testing::Test {
  protected:
    SettingsCommandsTest() {
        auto shell = std::make_unique<test::RecordingShell>();
        m_shell = shell.get();
        m_window = std::make_unique<Tvantler>(m_scripted.release(), std::move(shell));
    }
    void trigger(const char* name) const { test::triggerAction(m_window.get(), name); }
    QDialog* dialog(const char* name) const {
        return m_window->findChild<QDialog*>(QString::fromLatin1(name));
    }

    test::ProgramHome m_home;
    test::ScriptedDialogs m_scripted;
    test::RecordingShell* m_shell = nullptr;
    std::unique_ptr<Tvantler> m_window;
};

// Catches an item left disabled (nobody registered its command), wired to
// another mode's handler, or showing the wrong dialog.
TEST_F(SettingsCommandsTest, TextModeItemsDoTheirWork) {
    test::writeFile(m_home.path() + "/vanthelp.htm", "<HTML></HTML>");
    trigger("B1");
    EXPECT_TRUE(dialog("TfColor")->isVisible());
    dialog("TfColor")->hide();
    trigger("D1");
    EXPECT_TRUE(dialog("TfDetail")->isVisible());
    dialog("TfDetail")->hide();
    trigger("korvaneS2");
    EXPECT_TRUE(dialog("fOption")->isVisible());
    dialog("fOption")->hide();

    m_scripted.odBackPicture->choose("/pics/back.gif");
    trigger("N5");
    EXPECT_TRUE(test::findAction(m_window.get(), "N5")->isChecked());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("korvane -Untitled- -/pics/back.gif-"));
    trigger("N5");
    EXPECT_FALSE(test::findAction(m_window.get(), "N5")->isChecked());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("korvane -Untitled-"));

    m_window->editor()->setText("abc");
    trigger("P1");
    trigger("ToolButton5");
    trigger("H2");
    trigger("ToolButton25");
    EXPECT_EQ(m_shell->openedPages(),
              (std::vector<std::string>{m_home.path() + "/prev.htm", m_home.path() + "/prev.htm",
                                        m_home.path() + "/vanthelp.htm",
                                        m_home.path() + "/vanthelp.htm"}));
    EXPECT_TRUE(m_window->editor()->modified());

    trigger("About1");
    EXPECT_EQ(m_scripted.messages->messages(), std::vector<std::string>{"korvane Ver1.31"});

    m_scripted.FontDialog1->choose({"Noto Sans Mono CJK JP", 17});
    trigger("Font1");
    EXPECT_EQ(m_window->settings().kvnSize, 17);
    EXPECT_EQ(QFontInfo(m_window->editor()->font()).pointSize(), 17);
    EXPECT_TRUE(m_scripted.messages->errors().empty());
}

// Catches tag mode's items left disabled or running text mode's handlers
// (a converted page previewed, the text-mode font changed).
TEST_F(SettingsCommandsTest, TagModeItemsDoTheirWork) {
    trigger("morvixS1");
    trigger("Option1");
    EXPECT_TRUE(dialog("fOption")->isVisible());
    dialog("fOption")->hide();

    m_window->editor()->setText("<B>x</B>");
    trigger("P4");
    trigger("ToolButton20");
    EXPECT_EQ(test::readFile(m_home.path() + "/prev.htm"), "<B>x</B>");
    EXPECT_EQ(m_shell->openedPages().size(), 2u);

    trigger("H3");  // no page anywhere: said so
    trigger("ToolButton24");
    EXPECT_EQ(m_scripted.messages->errors().size(), 2u);
    EXPECT_EQ(m_shell->openedPages().size(), 2u);

    trigger("About2");
    EXPECT_EQ(m_scripted.messages->messages(), std::vector<std::string>{"morvix Ver1.31"});

    m_scripted.FontDialog1->choose({"Noto Sans Mono CJK JP", 9});
    trigger("Font2");
    EXPECT_EQ(m_window->settings().mvxSize, 9);
    EXPECT_EQ(m_window->settings().kvnSize, 14);
    EXPECT_EQ(QFontInfo(m_window->editor()->font()).pointSize(), 9);
    trigger("korvaneS1");
    EXPECT_EQ(QFontInfo(m_window->editor()->font()).pointSize(), 14);
}

}  // namespace
}  // namespace korvane
