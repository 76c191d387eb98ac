// Find and replace as a person reaches them in the window: menu items, tool
// buttons and keys by their object names, in both modes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>

#include "app/tvantler.h"
#include "editor/rich_edit.h"
#include "editor/sjis_line_edit.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/ui/window_actions.h"

namespace korvane {
namespace {

class TvantlerSearchTest : public ::testing::Test {
  protected:
    TvantlerSearchTest() {
        m_scripted = std::make_unique<test::ScriptedDialogs>();
        m_window = std::make_unique<Tvantler>(m_scripted->release(),
                                              std::make_unique<test::RecordingShell>());
        m_window->show();
    }
    void trigger(const char* name) const { test::triggerAction(m_window.get(), name); }
    QDialog* dialog(const char* name) const {
        return m_window->findChild<QDialog*>(QString::fromUtf8(name));
    }
    template <typename W>
    W* in(const char* dialogName, const char* name) const {
        QDialog* d = dialog(dialogName);
        return d == nullptr ? nullptr : d->findChild<W*>(QString::fromUtf8(name));
    }
    RichEdit& editor() const { return *m_window->editor(); }

    test::ProgramHome m_home;
    std::unique_ptr<test::ScriptedDialogs> m_scripted;
    std::unique_ptr<Tvantler> m_window;
};

// Catches find and replace items or buttons left unregistered (disabled),
// wired to the wrong handler, or a mode whose items miss the dialogs.
TEST_F(TvantlerSearchTest, MenuItemsAndButtonsFindAndReplace) {
    editor().setText("x1 x2 x3 x4");
    editor().setSelStart(0);
    // Before any search F3 and Shift+F3 do nothing.
    trigger("N12");
    trigger("P3");
    EXPECT_EQ(editor().selStart(), 0u);
    EXPECT_EQ(editor().selLength(), 0u);

    trigger("Find1");
    QDialog* fdMain = dialog("fdMain");
    ASSERT_NE(fdMain, nullptr);
    EXPECT_TRUE(fdMain->isVisible());
    in<SjisLineEdit>("fdMain", "findWhat")->setText(QStringLiteral("x"));
    in<QPushButton>("fdMain", "findNext")->click();
    EXPECT_EQ(editor().selStart(), 0u);
    EXPECT_EQ(editor().selLength(), 1u);
    fdMain->hide();

    struct Step {
        const char* name;
        std::size_t selected;  // where the selection starts afterwards
    };
    const Step textMode[] = {{"N12", 3}, {"ToolButton15", 6}, {"P3", 3}, {"ToolButton14", 0}};
    for (const Step& step : textMode) {
        trigger(step.name);
        EXPECT_EQ(editor().selStart(), step.selected) << step.name;
    }
    trigger("ToolButton13");
    EXPECT_TRUE(fdMain->isVisible());
    fdMain->hide();

    editor().setSelStart(0);
    trigger("Replace1");
    QDialog* fReplace = dialog("fReplace");
    ASSERT_NE(fReplace, nullptr);
    EXPECT_TRUE(fReplace->isVisible());
    in<SjisLineEdit>("fReplace", "eAfter")->setText(QStringLiteral("y"));
    in<QPushButton>("fReplace", "bAll")->click();
    EXPECT_EQ(editor().text(), "y1 y2 y3 y4");
    EXPECT_FALSE(fReplace->isVisible());

    // Tag mode has its own names for the same commands.
    trigger("morvixS1");
    editor().setText("<b>x</b> x");
    editor().setSelStart(0);
    const Step tagMode[] = {{"N16", 3}, {"N16", 9}, {"U1", 3}};
    trigger("Find4");
    EXPECT_TRUE(fdMain->isVisible());
    fdMain->hide();
    for (const Step& step : tagMode) {
        trigger(step.name);
        EXPECT_EQ(editor().selStart(), step.selected) << step.name;
    }
    trigger("Replace2");
    EXPECT_TRUE(fReplace->isVisible());
    in<QPushButton>("fReplace", "bCancel")->click();
    EXPECT_FALSE(fReplace->isVisible());
}

// Catches the context menu reachable by the mouse only: Shift+F10 and the
// Menu key open it too, enabled by the editor's state.
TEST_F(TvantlerSearchTest, ContextMenuOpensFromTheKeyboard) {
    auto* popup = m_window->findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    ASSERT_NE(popup, nullptr);
    m_window->activateWindow();
    editor().setFocus();
    QCoreApplication::processEvents();
    editor().setText("abc");
    editor().setSelection(0, 2);
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)},
          std::pair{Qt::Key_Menu, Qt::KeyboardModifiers(Qt::NoModifier)}}) {
        ASSERT_FALSE(popup->isVisible());
        QKeyEvent press(QEvent::ShortcutOverride, key, modifiers);
        QApplication::sendEvent(&editor(), &press);
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&editor(), &down);
        EXPECT_TRUE(popup->isVisible()) << QKeySequence(key | modifiers).toString().toStdString();
        EXPECT_TRUE(test::findAction(m_window.get(), "N7")->isEnabled()) << "text is selected";
        popup->hide();
    }
}

}  // namespace
}  // namespace korvane
