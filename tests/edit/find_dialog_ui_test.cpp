// The find dialog driven directly over the in-memory editor: its words,
// its state between uses, and find-next reaching the search.
#include "edit/find_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "editor/sjis_line_edit.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

struct FindFixture {
    FindFixture() : edit("Abc abc ABC"), search(edit), dialog(search) {
        search.setDialogs(&dialog, nullptr);
    }
    SjisLineEdit* findWhat() { return child<SjisLineEdit>(dialog, "findWhat"); }
    QCheckBox* matchCase() { return child<QCheckBox>(dialog, "matchCase"); }
    QRadioButton* up() { return child<QRadioButton>(dialog, "up"); }
    QRadioButton* down() { return child<QRadioButton>(dialog, "down"); }
    QPushButton* findNext() { return child<QPushButton>(dialog, "findNext"); }
    QPushButton* cancel() { return child<QPushButton>(dialog, "cancel"); }

    test::MemoryEditControl edit;
    Search search;
    FindDialog dialog;
};

// Catches captions or access keys that differ from the Windows dialog's, a
// whole-word box, the wrong default button or start direction.
TEST(FindDialog, HasTheWindowsDialogsWords) {
    FindFixture f;
    EXPECT_EQ(f.dialog.objectName(), "fdMain");
    EXPECT_FALSE(f.dialog.isModal());
    auto* label = f.dialog.findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "検索する文字列(&N):");
    EXPECT_EQ(label->buddy(), f.findWhat());
    EXPECT_EQ(f.matchCase()->text(), "大文字と小文字を区別する(&C)");
    EXPECT_FALSE(f.matchCase()->isChecked());
    auto* direction = child<QGroupBox>(f.dialog, "direction");
    EXPECT_EQ(direction->title(), "方向");
    EXPECT_EQ(f.up()->text(), "上へ(&U)");
    EXPECT_EQ(f.down()->text(), "下へ(&D)");
    EXPECT_TRUE(f.down()->isChecked());
    EXPECT_EQ(f.findNext()->text(), "次を検索(&F)");
    EXPECT_TRUE(f.findNext()->isDefault());
    EXPECT_EQ(f.cancel()->text(), "キャンセル");
    EXPECT_EQ(f.dialog.findChildren<QCheckBox*>().size(), 1) << "no whole-word box";
    EXPECT_EQ(f.dialog.findChildren<QPushButton*>().size(), 2);
}

// Catches a dialog that opens without the field focused, a find-next that
// ignores the direction or the match-case box, one that closes the dialog,
// and state lost between uses.
TEST(FindDialog, FindsNextAndKeepsItsState) {
    FindFixture f;
    ASSERT_TRUE(f.search.SearchText().empty());
    f.dialog.showFindDialog();
    EXPECT_TRUE(f.dialog.isVisible());
    EXPECT_EQ(f.dialog.focusWidget(), f.findWhat());
    EXPECT_FALSE(f.findNext()->isEnabled()) << "nothing to find yet";

    f.findWhat()->setText(QStringLiteral("abc"));
    EXPECT_TRUE(f.findNext()->isEnabled());
    f.findNext()->click();
    EXPECT_EQ(f.search.SearchText(), "abc");
    EXPECT_EQ(f.edit.selStart(), 0u) << "case ignored: Abc";
    EXPECT_TRUE(f.edit.hasFocus());
    EXPECT_TRUE(f.dialog.isVisible()) << "find-next leaves the dialog open";

    f.matchCase()->setChecked(true);
    f.findNext()->click();
    EXPECT_EQ(f.edit.selStart(), 4u) << "match case skips ABC";
    f.findNext()->click();
    EXPECT_FALSE(f.search.LastFindFound());
    EXPECT_EQ(f.edit.selStart(), 4u);

    f.edit.setSelStart(11);
    f.up()->setChecked(true);
    f.findNext()->click();
    EXPECT_EQ(f.edit.selStart(), 4u) << "up, match case";

    f.cancel()->click();
    EXPECT_FALSE(f.dialog.isVisible());
    // Closed, its box still counts for the find commands.
    f.edit.setSelStart(0);
    f.search.N12Click();
    EXPECT_EQ(f.edit.selStart(), 4u);

    f.dialog.showFindDialog();
    EXPECT_EQ(f.findWhat()->text(), "abc");
    EXPECT_TRUE(f.matchCase()->isChecked());
    EXPECT_TRUE(f.up()->isChecked());
    EXPECT_EQ(f.findWhat()->selectedText(), "abc") << "the kept text is selected for typing over";
}

// Catches Esc leaving the modeless dialog open.
TEST(FindDialog, EscapeHidesIt) {
    FindFixture f;
    f.dialog.showFindDialog();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&f.dialog, &esc);
    EXPECT_FALSE(f.dialog.isVisible());
}

}  // namespace
}  // namespace korvane
