// The link and mail dialog driven over the in-memory editor, without a
// main window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <string>
#include <vector>

#include "edit/tag_highlighter.h"
#include "editor/sjis_line_edit.h"
#include "tags/tf_nr_link.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

const std::string kTop = "\x83\x67\x83\x62\x83\x76";  // トップ

class TfNrLinkTest : public ::testing::Test {
  protected:
    TfNrLinkTest()
        : m_highlighter(m_edit),
          m_set(m_scripted.release()),
          m_dialog(
              m_edit, m_highlighter, m_set, [this] { return m_currentFile; }, PathStyle::Posix) {
        m_edit.setChangeHandler([this] {
            m_hiddenAtChange.push_back(m_edit.hideSelection());
            m_highlighter.reMainChange();
        });
    }

    void select(const std::string& before, const std::string& selection) {
        m_edit.setText(before + selection);
        m_edit.setSelection(before.size(), before.size() + selection.size());
    }

    SjisLineEdit* eAddress() { return child<SjisLineEdit>(m_dialog, "eAddress"); }
    SjisLineEdit* eName() { return child<SjisLineEdit>(m_dialog, "eName"); }
    QCheckBox* CheckBox1() { return child<QCheckBox>(m_dialog, "CheckBox1"); }
    QPushButton* bAddress() { return child<QPushButton>(m_dialog, "bAddress"); }

    test::MemoryEditControl m_edit;
    TagHighlighter m_highlighter;
    test::ScriptedDialogs m_scripted;
    CommonDialogs m_set;
    std::string m_currentFile = "/web/index.htm";
    TfNrLink m_dialog;
    std::vector<bool> m_hiddenAtChange;
};

// Catches a control missing, misnamed or captioned differently, the mail
// box checked at start, and the file dialog without its filter or default
// extension.
TEST_F(TfNrLinkTest, ControlsAndInitialState) {
    EXPECT_EQ(m_dialog.objectName(), QStringLiteral("TfNrLink"));
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("ﾘﾝｸ・ﾒｰﾙ"));
    EXPECT_FALSE(m_dialog.isModal());
    EXPECT_EQ(CheckBox1()->text(), QStringLiteral("ﾒｰﾙｱﾄﾞﾚｽ(&M)"));
    EXPECT_FALSE(CheckBox1()->isChecked());
    EXPECT_EQ(bAddress()->text(), QStringLiteral("ｱﾄﾞﾚｽ参照(&R)"));
    QStringList labels;
    for (const QLabel* label : m_dialog.findChildren<QLabel*>())
        labels.push_back(label->text());
    EXPECT_TRUE(labels.contains(QStringLiteral("ｱﾄﾞﾚｽ(&A)")));
    EXPECT_TRUE(labels.contains(QStringLiteral("名前(&N)")));
    EXPECT_TRUE(child<QPushButton>(m_dialog, "bOK")->isDefault());
    const FileDialogQuery query = m_set.odLink->query();
    EXPECT_EQ(query.defaultExtension, "htm");
    ASSERT_EQ(query.filters.size(), 2u);
    EXPECT_EQ(query.filters[0].description, "htmlﾌｧｲﾙ(*.htm;*.html)");
}

// Catches the name box not taking the selection (double-byte text
// included), browsing left on for an unnamed document, and browsing
// offered while the mail box from an earlier use is still checked.
TEST_F(TfNrLinkTest, ShowTakesTheSelectionAndTheDocumentsName) {
    select("x", kTop);
    m_dialog.showModeless();
    EXPECT_EQ(eName()->bytes(), kTop);
    EXPECT_TRUE(bAddress()->isEnabled());
    m_dialog.hide();

    m_currentFile = "Untitled";
    select("", "");
    m_dialog.showModeless();
    EXPECT_EQ(eName()->bytes(), "");
    EXPECT_FALSE(bAddress()->isEnabled());
    m_dialog.hide();

    m_currentFile = "/web/index.htm";
    CheckBox1()->setChecked(true);
    m_dialog.showModeless();
    EXPECT_FALSE(bAddress()->isEnabled());
    m_dialog.hide();
}

// Catches the mail box leaving browsing on, and unchecking it enabling
// browsing for an unnamed document.
TEST_F(TfNrLinkTest, MailBoxSwitchesBrowsing) {
    m_dialog.showModeless();
    CheckBox1()->setChecked(true);
    EXPECT_FALSE(bAddress()->isEnabled());
    CheckBox1()->setChecked(false);
    EXPECT_TRUE(bAddress()->isEnabled());
    m_dialog.hide();

    m_currentFile = "Untitled";
    m_dialog.showModeless();
    CheckBox1()->setChecked(true);
    CheckBox1()->setChecked(false);
    EXPECT_FALSE(bAddress()->isEnabled());
    m_dialog.hide();
}

struct BrowseRow {
    const char* name;
    const char* picked;
    std::string expected;
};

// Catches a picked file not made relative to the document, and a name
// Shift_JIS cannot hold put into the box mangled instead of refused.
TEST_F(TfNrLinkTest, BrowsePutsTheLocation) {
    const BrowseRow rows[] = {
        {"same folder", "/web/about.htm", "about.htm"},
        {"sub-folder", "/web/img/a.htm", "img/a.htm"},
        {"up one folder", "/other/a.htm", "../other/a.htm"},
        {"japanese name", "/web/\xE7\x8C\xAB.htm", "\x94\x4C.htm"},
    };
    m_dialog.showModeless();
    for (const auto& row : rows) {
        m_scripted.odLink->choose(row.picked);
        m_dialog.bAddressClick();
        EXPECT_EQ(eAddress()->bytes(), row.expected) << row.name;
    }
    m_scripted.odLink->cancel();
    m_dialog.bAddressClick();
    EXPECT_EQ(eAddress()->bytes(), "\x94\x4C.htm") << "cancel keeps the box";
    m_scripted.odLink->choose("/web/\xEB\x82\x98.htm");
    m_dialog.bAddressClick();
    EXPECT_EQ(eAddress()->bytes(), "\x94\x4C.htm") << "unwritable name refused";
    ASSERT_EQ(m_scripted.messages->errors().size(), 1u);
    EXPECT_NE(m_scripted.messages->errors()[0].find("/web/\xEB\x82\x98.htm"), std::string::npos);
    // The open dialog proposes the file it last gave.
    EXPECT_EQ(m_scripted.odLink->shown().back().fileName, "\xE7\x8C\xAB.htm");
    m_dialog.hide();
}

struct OkRow {
    const char* name;
    std::string selection;
    std::string address;
    std::string typedName;  // empty: the name box keeps the selection
    bool mail;
    std::string expected;  // empty: nothing inserted
};

// Catches the OK rule: an insertion with an empty field, the name box's
// text written instead of the selection, the mail prefix missing or
// checked, the caret not after the tag, the dialog left open, more than
// one undo step, and the selection painted while the tags go in.
TEST_F(TfNrLinkTest, OkRule) {
    const OkRow rows[] = {
        {"worked example", kTop, "../index.htm", "", false,
         "<A href=\"../index.htm\">" + kTop + "</A>"},
        {"mail", "x", "info", "", true, "<A href=\"mailto:info\">x</A>"},
        {"prefix not checked", "x", "mailto:a@b", "", true, "<A href=\"mailto:mailto:a@b\">x</A>"},
        {"empty address", "x", "", "", false, ""},
        {"no selection and no name", "", "a.htm", "", false, ""},
        {"no selection, a typed name", "", "a.htm", "typed", false, "<A href=\"a.htm\"></A>"},
        {"typed name is not written", "sel", "a.htm", "typed", false, "<A href=\"a.htm\">sel</A>"},
    };
    for (bool highlighted : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (highlighted ? " highlighted" : ""));
            select("<P>", row.selection);
            if (highlighted)
                m_highlighter.forceWholeTextPass();
            m_dialog.showModeless();
            eAddress()->setBytes(row.address);
            if (!row.typedName.empty())
                eName()->setBytes(row.typedName);
            CheckBox1()->setChecked(row.mail);
            m_hiddenAtChange.clear();
            m_dialog.bOKClick();
            EXPECT_FALSE(m_dialog.isVisible());
            if (row.expected.empty()) {
                EXPECT_EQ(m_edit.text(), "<P>" + row.selection);
                EXPECT_FALSE(m_edit.canUndo());
            } else {
                EXPECT_EQ(m_edit.text(), "<P>" + row.expected);
                EXPECT_EQ(m_edit.selStart(), m_edit.textLength());
                EXPECT_EQ(m_hiddenAtChange, std::vector<bool>{true});
                EXPECT_FALSE(m_edit.hideSelection());
                if (highlighted) {
                    EXPECT_EQ(m_edit.colorAt(3), CharColor::of(m_highlighter.HighlightColor()));
                }
                m_edit.undo();
                EXPECT_EQ(m_edit.text(), "<P>" + row.selection);
                EXPECT_EQ(m_edit.selText(), row.selection);
            }
            m_highlighter.turnOff();
        }
    }
}

// Catches the address or the mail box not kept for the next use.
TEST_F(TfNrLinkTest, AddressAndMailBoxAreKept) {
    select("", "a");
    m_dialog.showModeless();
    eAddress()->setBytes("info");
    CheckBox1()->setChecked(true);
    m_dialog.bOKClick();
    select("", "b");
    m_dialog.showModeless();
    EXPECT_EQ(eAddress()->bytes(), "info");
    EXPECT_TRUE(CheckBox1()->isChecked());
    EXPECT_EQ(eName()->bytes(), "b");
    m_dialog.bCancelClick();
    EXPECT_FALSE(m_dialog.isVisible());
}

// Catches access keys that do not reach their fields, box and button.
TEST_F(TfNrLinkTest, AccessKeys) {
    test::showActive(m_dialog);
    test::pressKey(Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), eName());
    test::pressKey(Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), eAddress());
    m_scripted.odLink->cancel();
    test::pressKey(Qt::Key_R, Qt::AltModifier);
    test::waitForAnimatedClick();
    EXPECT_EQ(m_scripted.odLink->shown().size(), 1u);
    test::pressKey(Qt::Key_M, Qt::AltModifier);
    test::waitForAnimatedClick();
    EXPECT_TRUE(CheckBox1()->isChecked());
    m_dialog.hide();
}

// Catches a text field that takes characters Shift_JIS cannot write.
TEST_F(TfNrLinkTest, FieldsHoldOnlyShiftJis) {
    test::showActive(m_dialog);
    eAddress()->setFocus();
    test::pressKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\xEB\x82\x98"));
    EXPECT_EQ(eAddress()->bytes(), "?");
    m_dialog.hide();
}

// A UTF-8 page: catches the name box showing the selection's UTF-8 bytes
// as Shift_JIS, and the address (a Shift_JIS field) inserted as Shift_JIS
// bytes into the page, which would then be in two encodings.
TEST_F(TfNrLinkTest, FieldsGoIntoAUtf8PageAsUtf8) {
    m_edit.setCodec(utf8Codec());
    const std::string hangul = "\xed\x95\x9c";
    const std::string nichi = "\xe6\x97\xa5";
    select("<P>", nichi + hangul);
    m_dialog.showModeless();
    EXPECT_EQ(eName()->bytes(), "\x93\xfa?");
    eAddress()->setBytes("\x93\xfa.htm");
    child<QPushButton>(m_dialog, "bOK")->click();
    EXPECT_EQ(m_edit.text(), "<P><A href=\"" + nichi + ".htm\">" + nichi + hangul + "</A>");
}

}  // namespace
}  // namespace korvane
