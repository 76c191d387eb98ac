#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <memory>
#include <string>

#include "app/status_line.h"
#include "app/tvantler.h"
#include "editor/line_number_gutter.h"
#include "editor/rich_edit.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/window_actions.h"

namespace korvane {
namespace {

class WindowFeaturesTest : public ::testing::Test {
  protected:
    void create() {
        m_window.reset();
        m_scripted = std::make_unique<test::ScriptedDialogs>();
        m_window = std::make_unique<Tvantler>(m_scripted->release(),
                                              std::make_unique<test::RecordingShell>());
        m_window->show();
        QApplication::processEvents();
    }
    void trigger(const char* name) const { test::triggerAction(m_window.get(), name); }
    LineNumberGutter* gutter() const { return m_window->findChild<LineNumberGutter*>(); }
    std::string status() const {
        QApplication::processEvents();
        return m_window->statusLine()->text().toStdString();
    }

    test::ProgramHome m_home;
    std::unique_ptr<test::ScriptedDialogs> m_scripted;
    std::unique_ptr<Tvantler> m_window;
};

// Catches the line numbers on by default, a toggle that the menus' check
// marks or the next window do not follow, or one that the settings file
// does not keep.
TEST_F(WindowFeaturesTest, LineNumbersToggleAndAreKept) {
    create();
    ASSERT_NE(gutter(), nullptr);
    EXPECT_FALSE(gutter()->isVisible());
    trigger("LineNum1");
    EXPECT_TRUE(gutter()->isVisible());
    EXPECT_TRUE(test::findAction(m_window.get(), "LineNum1")->isChecked());
    EXPECT_NE(test::readFile(m_home.settingsFile()).find("LineNumbers=1"), std::string::npos);
    create();
    EXPECT_TRUE(gutter()->isVisible()) << "the next window starts with them";
    trigger("morvixS1");
    EXPECT_TRUE(test::findAction(m_window.get(), "LineNum2")->isChecked());
    trigger("LineNum2");
    EXPECT_FALSE(gutter()->isVisible());
    EXPECT_FALSE(test::findAction(m_window.get(), "LineNum1")->isChecked());
    EXPECT_NE(test::readFile(m_home.settingsFile()).find("LineNumbers=0"), std::string::npos);
}

// Catches Ctrl+G missing from a mode, a dialog that offers numbers past the
// last line or goes elsewhere than the start of the line, and one that
// stays open.
TEST_F(WindowFeaturesTest, GoToLineInBothModes) {
    for (const bool tagMode : {false, true}) {
        SCOPED_TRACE(tagMode ? "tag mode" : "text mode");
        create();
        if (tagMode)
            trigger("morvixS1");
        m_window->editor()->setText("one\r\ntwo\r\nthree");
        m_window->editor()->setSelStart(1);
        trigger(tagMode ? "GoLine2" : "GoLine1");
        auto* dialog = m_window->findChild<QDialog*>(QStringLiteral("TfLine"));
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->isVisible());
        auto* number = dialog->findChild<QSpinBox*>(QStringLiteral("eLine"));
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->value(), 1) << "the caret's line is offered";
        EXPECT_EQ(number->maximum(), 3);
        number->setValue(99);
        EXPECT_EQ(number->value(), 3) << "out of range is clamped";
        number->setValue(2);
        dialog->findChild<QPushButton*>(QStringLiteral("bOK"))->click();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(m_window->editor()->selStart(), 5u);
        EXPECT_EQ(m_window->editor()->selLength(), 0u);
        EXPECT_EQ(status(), "2 行, 1 桁    Shift_JIS  CRLF");
    }
}

// Catches the window's search saying nothing in its status line, saying it
// in a box, or taking the selection away.
TEST_F(WindowFeaturesTest, SearchSaysWhatHappenedInTheStatusLine) {
    create();
    m_window->editor()->setText("a-b-a");
    m_window->editor()->setSelection(4, 5);
    trigger("Find1");
    auto* dialog = m_window->findChild<QDialog*>(QStringLiteral("fdMain"));
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>(QStringLiteral("findWhat"))->setText(QStringLiteral("a"));
    dialog->findChild<QPushButton*>(QStringLiteral("findNext"))->click();
    EXPECT_EQ(status(), "「a」が見つかりません    1 行, 6 桁 (1 文字選択)    Shift_JIS  CRLF");
    EXPECT_EQ(m_window->editor()->selStart(), 4u);
    EXPECT_EQ(m_window->editor()->selLength(), 1u);
    EXPECT_TRUE(m_scripted->messages->errors().empty());
    dialog->hide();
    m_window->editor()->setSelStart(0);
    EXPECT_EQ(status(), "1 行, 1 桁    Shift_JIS  CRLF") << "gone once the caret moved";
}

}  // namespace
}  // namespace korvane
