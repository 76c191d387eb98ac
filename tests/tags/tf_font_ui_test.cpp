// The font tag dialog driven over the in-memory editor, without a main
// window: its controls, the font list, the chosen colour and the OK rule.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <string>
#include <vector>

#include "convert/page_settings.h"
#include "edit/tag_highlighter.h"
#include "platform/system_colors.h"
#include "tags/tf_font.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

const std::string kMidashi = "\x8C\xA9\x8F\x6F\x82\xB5";  // 見出し
const std::string kMsGothic932 = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
const QString kMsGothic = QStringLiteral("ＭＳ ゴシック");

class TfFontTest : public ::testing::Test {
  protected:
    TfFontTest()
        : m_highlighter(m_edit),
          m_set(m_scripted.release()),
          m_dialog(m_edit, m_highlighter, m_set, m_page) {
        m_page.BackColor = 0x00FFFF;  // yellow
        m_page.FontColor = 0x808000;  // teal
        m_dialog.setFontFamilies([this] { return m_families; });
        m_edit.setChangeHandler([this] {
            m_hiddenAtChange.push_back(m_edit.hideSelection());
            m_highlighter.reMainChange();
        });
    }

    void select(const std::string& before, const std::string& selection) {
        m_edit.setText(before + selection);
        m_edit.setSelection(before.size(), before.size() + selection.size());
    }

    QCheckBox* box(const char* name) { return child<QCheckBox>(m_dialog, name); }
    QComboBox* list(const char* name) { return child<QComboBox>(m_dialog, name); }
    QLabel* label(const char* name) { return child<QLabel>(m_dialog, name); }

    test::MemoryEditControl m_edit;
    TagHighlighter m_highlighter;
    test::ScriptedDialogs m_scripted;
    CommonDialogs m_set;
    PageSettings m_page;
    QStringList m_families = {QStringLiteral("@") + kMsGothic, kMsGothic, QStringLiteral("Arial"),
                              QStringLiteral("Arial")};
    TfFont m_dialog;
    std::vector<bool> m_hiddenAtChange;
};

// Catches a control missing, misnamed or captioned differently, and a
// wrong initial state (a box checked, a control enabled, size not "3").
TEST_F(TfFontTest, ControlsAndInitialState) {
    EXPECT_EQ(m_dialog.objectName(), QStringLiteral("TfFont"));
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("ﾌｫﾝﾄ指定"));
    EXPECT_FALSE(m_dialog.isModal());
    EXPECT_FALSE(m_dialog.isVisible());
    const std::pair<const char*, QString> boxes[] = {
        {"cbSize", QStringLiteral("ｻｲｽﾞを指定する(&S)")},
        {"cbColor", QStringLiteral("色を指定する(&C)")},
        {"cbFace", QStringLiteral("種類を指定する(&F)")},
    };
    for (const auto& [name, caption] : boxes) {
        EXPECT_EQ(box(name)->text(), caption) << name;
        EXPECT_FALSE(box(name)->isChecked()) << name;
    }
    QComboBox* coSize = list("coSize");
    EXPECT_FALSE(coSize->isEnabled());
    EXPECT_FALSE(coSize->isEditable());
    EXPECT_EQ(coSize->currentText(), QStringLiteral("3"));
    ASSERT_EQ(coSize->count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(coSize->itemText(i), QString::number(i + 1));
    auto* bColor = child<QPushButton>(m_dialog, "bColor");
    EXPECT_EQ(bColor->text(), QStringLiteral("設定"));
    EXPECT_FALSE(bColor->isEnabled());
    QComboBox* cbFont = list("cbFont");
    EXPECT_FALSE(cbFont->isEnabled());
    EXPECT_FALSE(cbFont->isEditable());
    EXPECT_EQ(cbFont->count(), 0);
    EXPECT_NE(child<QFrame>(m_dialog, "Shape1"), nullptr);
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("あいうえお"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("アイウエオ"));
    EXPECT_EQ(label("Label3")->text(), QStringLiteral("ABCDEFG"));
    EXPECT_EQ(label("Label4")->text(), QString());
    auto* bOK = child<QPushButton>(m_dialog, "bOK");
    EXPECT_EQ(bOK->text(), QStringLiteral("ＯＫ"));
    EXPECT_TRUE(bOK->isDefault());
    EXPECT_EQ(child<QPushButton>(m_dialog, "bCancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
}

// Catches a check box that enables the wrong control, or does not disable
// it again.
TEST_F(TfFontTest, CheckBoxesEnableTheirControls) {
    const std::pair<const char*, const char*> pairs[] = {
        {"cbSize", "coSize"}, {"cbColor", "bColor"}, {"cbFace", "cbFont"}};
    for (const auto& [boxName, controlName] : pairs) {
        QWidget* control = child<QWidget>(m_dialog, controlName);
        box(boxName)->setChecked(true);
        EXPECT_TRUE(control->isEnabled()) << boxName;
        box(boxName)->setChecked(false);
        EXPECT_FALSE(control->isEnabled()) << boxName;
    }
}

// Catches access keys that do not reach their check boxes.
TEST_F(TfFontTest, AccessKeys) {
    test::showActive(m_dialog);
    const std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_S, "cbSize"}, {Qt::Key_C, "cbColor"}, {Qt::Key_F, "cbFace"}};
    for (const auto& [key, name] : keys) {
        test::pressKey(key, Qt::AltModifier);
        test::waitForAnimatedClick();
        EXPECT_TRUE(box(name)->isChecked()) << name;
        EXPECT_EQ(QApplication::focusWidget(), box(name)) << name;
    }
    m_dialog.hide();
}

// Catches vertical fonts in the list, duplicates left, a list built once
// only (or differently each time), and a choice that survives a rebuild.
TEST_F(TfFontTest, FontListIsRebuiltOnEachDropDown) {
    box("cbFace")->setChecked(true);
    QComboBox* cbFont = list("cbFont");
    m_dialog.cbFontDDown();
    const QStringList expected = {QStringLiteral("Arial"), kMsGothic};
    QStringList shown;
    for (int i = 0; i < cbFont->count(); ++i)
        shown.push_back(cbFont->itemText(i));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(cbFont->currentIndex(), -1);

    cbFont->setCurrentIndex(1);
    m_families.push_back(QStringLiteral("Courier"));
    // The real drop-down, as a click or Alt+Down opens it.
    cbFont->showPopup();
    cbFont->hidePopup();
    EXPECT_EQ(cbFont->count(), 3);
    EXPECT_EQ(cbFont->currentText(), QString());
    m_dialog.cbFontDDown();
    EXPECT_EQ(cbFont->count(), 3);
}

// Catches foundry-qualified names listed and written into face= (no browser
// knows "Nimbus Roman [urw]"), and a family listed once per foundry.
TEST_F(TfFontTest, ListAndFaceHoldFamilyNames) {
    m_families = {QStringLiteral("Nimbus Roman [urw]"), QStringLiteral("C059 [UKWN]"),
                  QStringLiteral("Nimbus Roman [UKWN]"), QStringLiteral("C059 [urw]")};
    m_dialog.showModeless();
    box("cbFace")->setChecked(true);
    QComboBox* cbFont = list("cbFont");
    cbFont->showPopup();
    cbFont->hidePopup();
    QStringList shown;
    for (int i = 0; i < cbFont->count(); ++i)
        shown.push_back(cbFont->itemText(i));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("C059"), QStringLiteral("Nimbus Roman")}));
    cbFont->setCurrentIndex(1);
    select("", "x");
    m_dialog.bOKClick();
    EXPECT_EQ(m_edit.text(), "<FONT face=\"Nimbus Roman\">x</FONT>");
}

// Catches the preview not following a chosen font.
TEST_F(TfFontTest, ChosenFontShowsInThePreview) {
    box("cbFace")->setChecked(true);
    m_dialog.cbFontDDown();
    list("cbFont")->setCurrentIndex(0);
    EXPECT_EQ(label("Label4")->text(), QStringLiteral("Arial"));
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"})
        EXPECT_EQ(label(name)->font().family(), QStringLiteral("Arial")) << name;
}

struct OkRow {
    const char* name;
    bool face;
    int fontIndex;  // -1: none picked
    bool size;
    int sizeIndex;
    bool color;
    std::optional<ColorValue> chosenColor;  // confirmed in the colour dialog
    std::string selection;
    std::string expected;  // empty: nothing inserted
};

// Catches the OK rule: attributes in the wrong order, a face written for an
// unpicked font, a blank left before the first attribute, an insertion with
// no box checked, the caret not after the tag, the dialog left open, more
// than one undo step, and the selection painted while the tags go in.
TEST_F(TfFontTest, OkRule) {
    const OkRow rows[] = {
        {"worked example", true, 1, true, 4, true, 0x0000FF, kMidashi,
         "<FONT face=\"" + kMsGothic932 + "\" size=\"5\" color=\"#FF0000\">" + kMidashi +
             "</FONT>"},
        {"no box checked", false, 1, false, 4, false, std::nullopt, "abc", ""},
        {"face without a font", true, -1, false, 2, false, std::nullopt, "abc",
         "<FONT >abc</FONT>"},
        {"colour never confirmed", false, -1, false, 2, true, std::nullopt, "abc",
         "<FONT color=\"#000000\">abc</FONT>"},
        {"size alone", false, -1, true, 2, false, std::nullopt, "abc",
         "<FONT size=\"3\">abc</FONT>"},
        {"empty selection", false, -1, true, 0, false, std::nullopt, "",
         "<FONT size=\"1\"></FONT>"},
    };
    for (bool highlighted : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (highlighted ? " highlighted" : ""));
            test::ScriptedDialogs fresh;
            CommonDialogs set = fresh.release();
            TfFont dialog(m_edit, m_highlighter, set, m_page);
            dialog.setFontFamilies([this] { return m_families; });
            select("<P>", row.selection);
            if (highlighted)
                m_highlighter.forceWholeTextPass();
            dialog.showModeless();
            dialog.findChild<QCheckBox*>(QStringLiteral("cbFace"))->setChecked(row.face);
            dialog.cbFontDDown();
            dialog.findChild<QComboBox*>(QStringLiteral("cbFont"))->setCurrentIndex(row.fontIndex);
            dialog.findChild<QCheckBox*>(QStringLiteral("cbSize"))->setChecked(row.size);
            dialog.findChild<QComboBox*>(QStringLiteral("coSize"))->setCurrentIndex(row.sizeIndex);
            dialog.findChild<QCheckBox*>(QStringLiteral("cbColor"))->setChecked(row.color);
            if (row.chosenColor) {
                fresh.fontTagColor->choose(*row.chosenColor);
                dialog.bColorClick();
            }
            m_hiddenAtChange.clear();
            dialog.bOKClick();
            EXPECT_FALSE(dialog.isVisible());
            if (row.expected.empty()) {
                EXPECT_EQ(m_edit.text(), "<P>" + row.selection);
                EXPECT_FALSE(m_edit.canUndo());
            } else {
                EXPECT_EQ(m_edit.text(), "<P>" + row.expected);
                EXPECT_EQ(m_edit.selStart(), m_edit.textLength());
                EXPECT_EQ(m_edit.selLength(), 0u);
                EXPECT_EQ(m_hiddenAtChange, std::vector<bool>{true});
                EXPECT_FALSE(m_edit.hideSelection());
                if (highlighted) {
                    EXPECT_EQ(m_edit.colorAt(3), CharColor::of(m_highlighter.HighlightColor()));
                }
                m_edit.undo();
                EXPECT_EQ(m_edit.text(), "<P>" + row.selection);
                EXPECT_EQ(m_edit.selText(), row.selection);
                EXPECT_FALSE(m_edit.canUndo());
            }
            m_highlighter.turnOff();
        }
    }
}

// Catches a chosen colour that is lost between uses or by a cancelled
// colour dialog, and a preview that is not reset to the page's colours
// when the dialog is shown again.
TEST_F(TfFontTest, ChosenColourIsKeptForTheRun) {
    m_dialog.showModeless();
    EXPECT_EQ(label("Label1")->palette().color(QPalette::WindowText), qColorOf(m_page.FontColor));
    EXPECT_EQ(child<QFrame>(m_dialog, "Shape1")->palette().color(QPalette::Window),
              qColorOf(m_page.BackColor));
    box("cbColor")->setChecked(true);
    m_scripted.fontTagColor->choose(0x0000FF);
    m_dialog.bColorClick();
    EXPECT_EQ(label("Label3")->palette().color(QPalette::WindowText), QColor(Qt::red));
    m_scripted.fontTagColor->cancel();
    m_dialog.bColorClick();
    m_dialog.bCancelClick();
    EXPECT_FALSE(m_dialog.isVisible());

    m_dialog.showModeless();
    EXPECT_EQ(label("Label1")->palette().color(QPalette::WindowText), qColorOf(m_page.FontColor));
    EXPECT_EQ(m_scripted.fontTagColor->shown(), (std::vector<ColorValue>{0, 0x0000FF}));
    select("", "x");
    m_dialog.bOKClick();
    EXPECT_EQ(m_edit.text(), "<FONT color=\"#FF0000\">x</FONT>");
}

// Catches a dialog that is destroyed, or forgets its controls, when it is
// hidden by Esc or the close button; and a second show that runs the show
// handler again while the dialog is open.
TEST_F(TfFontTest, HiddenNotDestroyed) {
    test::showActive(m_dialog);
    box("cbSize")->setChecked(true);
    test::pressKey(Qt::Key_Escape);
    EXPECT_FALSE(m_dialog.isVisible());
    m_dialog.showModeless();
    m_dialog.close();
    EXPECT_FALSE(m_dialog.isVisible());
    m_dialog.showModeless();
    EXPECT_TRUE(box("cbSize")->isChecked());
    m_scripted.fontTagColor->choose(0x0000FF);
    m_dialog.bColorClick();
    m_dialog.showModeless();
    EXPECT_EQ(label("Label1")->palette().color(QPalette::WindowText), QColor(Qt::red));
    m_dialog.hide();
}

}  // namespace
}  // namespace korvane
