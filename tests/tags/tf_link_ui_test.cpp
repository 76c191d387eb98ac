// The page-internal link dialog driven over the in-memory editor, without
// a main window, and the radio group it shares with the image dialog.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <string>

#include "edit/tag_highlighter.h"
#include "editor/sjis_line_edit.h"
#include "tags/radio_group.h"
#include "tags/tf_link.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

const std::string kMokujiE = "\x96\xDA\x8E\x9F\x82\xD6";  // 目次へ
const std::string kMokuji = "\x96\xDA\x8E\x9F";           // 目次

class TfLinkTest : public ::testing::Test {
  protected:
    TfLinkTest() : m_highlighter(m_edit), m_dialog(m_edit, m_highlighter) {
        m_edit.setChangeHandler([this] { m_highlighter.reMainChange(); });
    }

    void select(const std::string& before, const std::string& selection) {
        m_edit.setText(before + selection);
        m_edit.setSelection(before.size(), before.size() + selection.size());
    }

    RadioGroup* rgLink() { return child<RadioGroup>(m_dialog, "rgLink"); }
    SjisLineEdit* eLink() { return child<SjisLineEdit>(m_dialog, "eLink"); }

    test::MemoryEditControl m_edit;
    TagHighlighter m_highlighter;
    TfLink m_dialog;
};

// Catches a control missing or captioned differently, and an item chosen
// before the first show.
TEST_F(TfLinkTest, ControlsAndInitialState) {
    EXPECT_EQ(m_dialog.objectName(), QStringLiteral("TfLink"));
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("ﾍﾟｰｼﾞ内ﾘﾝｸ"));
    EXPECT_FALSE(m_dialog.isModal());
    EXPECT_EQ(rgLink()->title(), QStringLiteral("元/先(&L)"));
    ASSERT_EQ(rgLink()->count(), 2);
    EXPECT_EQ(rgLink()->item(0)->text(), QStringLiteral("ﾘﾝｸ元"));
    EXPECT_EQ(rgLink()->item(1)->text(), QStringLiteral("ﾘﾝｸ先"));
    EXPECT_EQ(rgLink()->itemIndex(), -1);
    bool labelled = false;
    for (const QLabel* label : m_dialog.findChildren<QLabel*>())
        labelled |= label->text() == QStringLiteral("名前(&N)") && label->buddy() == eLink();
    EXPECT_TRUE(labelled);
    EXPECT_TRUE(child<QPushButton>(m_dialog, "bOK")->isDefault());
    EXPECT_EQ(child<QPushButton>(m_dialog, "bCancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
}

// Catches a dialog that does not switch ends on every show (after OK,
// Cancel and closing alike), that counts from its own memory rather than
// the item last chosen, or that clears the name.
TEST_F(TfLinkTest, EachShowOffersTheOtherEnd) {
    m_dialog.showModeless();
    EXPECT_EQ(rgLink()->itemIndex(), 0);
    eLink()->setBytes("top");
    m_dialog.bCancelClick();
    m_dialog.showModeless();
    EXPECT_EQ(rgLink()->itemIndex(), 1);
    m_dialog.close();
    m_dialog.showModeless();
    EXPECT_EQ(rgLink()->itemIndex(), 0);
    // Chosen by hand, then cancelled: the next show offers the source.
    rgLink()->setItemIndex(1);
    m_dialog.bCancelClick();
    m_dialog.showModeless();
    EXPECT_EQ(rgLink()->itemIndex(), 0);
    EXPECT_EQ(eLink()->bytes(), "top");
    // Bringing an open dialog to the front is no new show.
    m_dialog.showModeless();
    EXPECT_EQ(rgLink()->itemIndex(), 0);
    m_dialog.hide();
}

// Catches the worked example: a source and then its target made one after
// the other with the same name, each the caret after it, one undo step.
TEST_F(TfLinkTest, SourceThenTarget) {
    for (bool highlighted : {false, true}) {
        SCOPED_TRACE(highlighted ? "highlighted" : "plain");
        TfLink dialog(m_edit, m_highlighter);
        select("", kMokujiE);
        if (highlighted)
            m_highlighter.forceWholeTextPass();
        dialog.showModeless();
        dialog.findChild<SjisLineEdit*>(QStringLiteral("eLink"))->setBytes("top");
        dialog.bOKClick();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(m_edit.text(), "<A href=\"#top\">" + kMokujiE + "</A>");
        EXPECT_EQ(m_edit.selStart(), m_edit.textLength());
        if (highlighted) {
            EXPECT_EQ(m_edit.colorAt(0), CharColor::of(m_highlighter.HighlightColor()));
        }
        m_edit.undo();
        EXPECT_EQ(m_edit.selText(), kMokujiE);
        EXPECT_FALSE(m_edit.canUndo());

        select("<H1>", kMokuji);
        dialog.showModeless();
        dialog.bOKClick();
        EXPECT_EQ(m_edit.text(), "<H1><A name=\"top\">" + kMokuji + "</A>");
        m_highlighter.turnOff();
    }
}

struct OkRow {
    const char* name;
    int end;
    std::string selection;
    const char* anchor;
    std::string expected;  // empty: nothing inserted
};

// Catches an insertion with an empty name, and a typed "#" dropped.
TEST_F(TfLinkTest, OkRule) {
    const OkRow rows[] = {
        {"empty name", 0, "x", "", ""},
        {"target with nothing selected", 1, "", "a", "<A name=\"a\"></A>"},
        {"typed hash kept", 0, "x", "#top", "<A href=\"##top\">x</A>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        select("", row.selection);
        m_dialog.showModeless();
        rgLink()->setItemIndex(row.end);
        eLink()->setBytes(row.anchor);
        m_dialog.bOKClick();
        EXPECT_FALSE(m_dialog.isVisible());
        if (row.expected.empty()) {
            EXPECT_EQ(m_edit.text(), row.selection);
            EXPECT_EQ(m_edit.selText(), row.selection);
        } else {
            EXPECT_EQ(m_edit.text(), row.expected);
            EXPECT_EQ(m_edit.selStart(), m_edit.textLength());
        }
    }
}

// Catches the group's access key not reaching the chosen item, the name's
// access key not reaching its box, and arrow keys that do not step through
// the items in order (Left and Right included) choosing as they go.
TEST_F(TfLinkTest, AccessKeysAndArrows) {
    test::showActive(m_dialog);
    test::pressKey(Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), eLink());
    test::pressKey(Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), rgLink()->item(0));
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Down, 1}, {Qt::Key_Down, 0}, {Qt::Key_Right, 1},
        {Qt::Key_Left, 0}, {Qt::Key_Up, 1},   {Qt::Key_Up, 0},
    };
    for (const auto& [key, index] : steps) {
        test::pressKey(key);
        EXPECT_EQ(rgLink()->itemIndex(), index);
        EXPECT_EQ(QApplication::focusWidget(), rgLink()->item(index));
    }
    m_dialog.hide();
}

// Catches arrow keys that step in screen order or stop at the ends in a
// longer group, and disabled items that are chosen.
TEST(RadioGroup, ArrowsStepInItemOrder) {
    RadioGroup group(QStringLiteral("g(&G)"), {QStringLiteral("a"), QStringLiteral("b"),
                                               QStringLiteral("c"), QStringLiteral("d")});
    test::showActive(group);
    group.setItemIndex(0);
    group.item(0)->setFocus();
    group.item(2)->setEnabled(false);
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Right, 1}, {Qt::Key_Right, 3}, {Qt::Key_Down, 0},
        {Qt::Key_Left, 3},  {Qt::Key_Up, 1},
    };
    for (const auto& [key, index] : steps) {
        test::pressKey(key);
        EXPECT_EQ(group.itemIndex(), index);
    }
    group.setItemIndex(-1);
    EXPECT_EQ(group.itemIndex(), -1);
}

}  // namespace
}  // namespace korvane
