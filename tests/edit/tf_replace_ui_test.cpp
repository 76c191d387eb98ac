// The replace dialog driven directly over the in-memory editor: its
// controls, what it keeps between uses, OK and replace-all.
#include "edit/tf_replace.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>

#include <initializer_list>

#include "edit/tag_highlighter.h"
#include "editor/sjis_line_edit.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

struct ReplaceFixture {
    ReplaceFixture() : edit("a-b-a"), highlighter(edit), search(edit), dialog(search) {
        search.setDialogs(nullptr, &dialog);
        edit.setChangeHandler([this] { highlighter.reMainChange(); });
    }
    SjisLineEdit* ePre() { return child<SjisLineEdit>(dialog, "ePre"); }
    SjisLineEdit* eAfter() { return child<SjisLineEdit>(dialog, "eAfter"); }
    QCheckBox* cbIgnore() { return child<QCheckBox>(dialog, "cbIgnore"); }
    QRadioButton* up() { return child<QRadioButton>(dialog, "rgDirectionUp"); }
    QRadioButton* down() { return child<QRadioButton>(dialog, "rgDirectionDown"); }
    QPushButton* button(const char* name) { return child<QPushButton>(dialog, name); }

    test::MemoryEditControl edit;
    TagHighlighter highlighter;
    Search search;
    TfReplace dialog;
};

// Catches wrong captions, access keys, buddies, initial states or the
// buttons' roles and order.
TEST(TfReplace, ControlsAsDesigned) {
    ReplaceFixture f;
    EXPECT_EQ(f.dialog.windowTitle(), "置換");
    EXPECT_FALSE(f.dialog.isModal());
    auto* label1 = child<QLabel>(f.dialog, "Label1");
    auto* label2 = child<QLabel>(f.dialog, "Label2");
    EXPECT_EQ(label1->text(), "置換前(&P)");
    EXPECT_EQ(label1->buddy(), f.ePre());
    EXPECT_EQ(label2->text(), "置換後(&A)");
    EXPECT_EQ(label2->buddy(), f.eAfter());
    EXPECT_EQ(f.cbIgnore()->text(), "大/小文字の区別(&I)");
    EXPECT_FALSE(f.cbIgnore()->isChecked());
    EXPECT_EQ(child<QGroupBox>(f.dialog, "rgDirection")->title(), "検索方向(&D)");
    EXPECT_EQ(f.up()->text(), "上");
    EXPECT_EQ(f.down()->text(), "下");
    EXPECT_TRUE(f.down()->isChecked());
    EXPECT_TRUE(f.eAfter()->text().isEmpty());
    EXPECT_EQ(f.button("bOK")->text(), "ＯＫ");
    EXPECT_TRUE(f.button("bOK")->isDefault());
    EXPECT_EQ(f.button("bAll")->text(), "全て置換(&R)");
    EXPECT_EQ(f.button("bCancel")->text(), "ｷｬﾝｾﾙ");
    // The fixed frame's client area, and the buttons in a column at the
    // right: OK at the top, replace-all below it, Cancel at the bottom.
    f.dialog.showReplaceDialog();
    EXPECT_EQ(f.dialog.size(), QSize(339, 90));
    EXPECT_EQ(f.dialog.minimumSize(), f.dialog.maximumSize());
    const QRect ok = f.button("bOK")->geometry();
    const QRect all = f.button("bAll")->geometry();
    const QRect cancel = f.button("bCancel")->geometry();
    EXPECT_LT(ok.top(), all.top());
    EXPECT_LT(all.top(), cancel.top());
    EXPECT_GT(ok.left(), f.ePre()->geometry().left());
    EXPECT_LE(cancel.bottom(), 90);
}

// Catches the direction group squeezed below what its caption and buttons
// need (its frame then ran into the dialog's edge), and a group that covers
// the fields, the box or the buttons or leaves the dialog's margin.
TEST(TfReplace, DirectionGroupHasItsRoom) {
    ReplaceFixture f;
    f.dialog.showReplaceDialog();
    const auto* group = child<QGroupBox>(f.dialog, "rgDirection");
    const QRect bounds = group->geometry();
    EXPECT_GE(bounds.height(), group->minimumSizeHint().height());
    EXPECT_GE(bounds.width(), group->minimumSizeHint().width());
    const QMargins margins = f.dialog.layout()->contentsMargins();
    EXPECT_TRUE(f.dialog.rect().marginsRemoved(margins).contains(bounds));
    for (const QWidget* other :
         std::initializer_list<const QWidget*>{f.ePre(), f.eAfter(), f.cbIgnore(), f.button("bOK"),
                                               f.button("bAll"), f.button("bCancel")})
        EXPECT_FALSE(bounds.intersects(other->geometry())) << other->objectName().toStdString();
    for (const QRadioButton* item : {f.up(), f.down()}) {
        EXPECT_GE(item->height(), item->fontMetrics().height());
        EXPECT_GE(item->width(), item->minimumSizeHint().width());
    }
}

// Catches the search text not offered on show, OK that stays open or
// ignores the direction, replace-all that goes past the caret, and the
// replacement, box or direction forgotten between uses.
TEST(TfReplace, ReplacesAndKeepsItsValues) {
    ReplaceFixture f;
    f.search.FdmainFind("b", true);
    f.edit.setSelStart(5);
    f.dialog.showReplaceDialog();
    EXPECT_EQ(f.ePre()->text(), "b") << "the search text on every show";

    f.ePre()->setText(QStringLiteral("a"));
    f.eAfter()->setText(QStringLiteral("xy"));
    f.up()->setChecked(true);
    f.button("bOK")->click();
    EXPECT_EQ(f.edit.text(), "a-b-xy");
    EXPECT_EQ(f.edit.selStart(), 4u) << "up: before the inserted text";
    EXPECT_FALSE(f.dialog.isVisible());
    EXPECT_EQ(f.search.SearchText(), "a") << "F3 repeats it";

    f.dialog.showReplaceDialog();
    EXPECT_EQ(f.eAfter()->text(), "xy");
    EXPECT_TRUE(f.up()->isChecked());
    f.button("bAll")->click();
    EXPECT_EQ(f.edit.text(), "xy-b-xy");
    EXPECT_EQ(f.edit.selStart(), 0u);
    EXPECT_FALSE(f.dialog.isVisible());
    f.edit.undo();
    EXPECT_EQ(f.edit.text(), "a-b-xy") << "replace-all is one undo step";

    // Match case ticked: «A» is not «a».
    f.edit.setText("A-a");
    f.dialog.showReplaceDialog();
    f.down()->setChecked(true);
    f.cbIgnore()->setChecked(true);
    f.eAfter()->setText(QString());
    f.button("bAll")->click();
    EXPECT_EQ(f.edit.text(), "A-");

    f.dialog.showReplaceDialog();
    EXPECT_TRUE(f.cbIgnore()->isChecked());
    f.button("bCancel")->click();
    EXPECT_FALSE(f.dialog.isVisible());
    EXPECT_EQ(f.edit.text(), "A-") << "Cancel changes nothing";
}

// Catches the search text put back over what was typed when the dialog
// comes back from being minimised (with the main window, on most
// desktops): only opening the dialog loads it.
TEST(TfReplace, RestoredFromMinimisedKeepsWhatWasTyped) {
    ReplaceFixture f;
    f.search.FdmainFind("b", true);
    f.dialog.showReplaceDialog();
    f.ePre()->setText(QStringLiteral("a"));
    f.dialog.showMinimized();
    ASSERT_TRUE(test::waitFor([&] { return f.dialog.isMinimized(); }));
    f.dialog.showNormal();
    ASSERT_TRUE(test::waitFor([&] { return !f.dialog.isMinimized(); }));
    EXPECT_EQ(f.ePre()->text(), "a");

    f.dialog.hide();
    f.dialog.showReplaceDialog();
    EXPECT_EQ(f.ePre()->text(), "b") << "opened again: the search text";
}

}  // namespace
}  // namespace korvane
