// The page check dialog driven over the in-memory editor and a made-up
// folder, without a main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>

#include <string>

#include "tags/tf_check.h"
#include "tests/support/fake_page_files.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

class TfCheckTest : public ::testing::Test {
  protected:
    TfCheckTest()
        : m_files({{"/site/index.htm", ""}, {"/site/a.gif", "GIF89a"}}),
          m_check(m_edit, m_files,
                  {[this] { return m_currentFile; }, [] { return TextEncoding::ShiftJis; },
                   [] { return std::string(); }}),
          m_dialog(m_check) {}

    QTreeView* list() { return child<QTreeView>(m_dialog, "lvFindings"); }
    QString summary() { return child<QLabel>(m_dialog, "lSummary")->text(); }
    QStringList row(int r) {
        QStringList cells;
        for (int c = 0; c < list()->model()->columnCount(); ++c)
            cells << list()->model()->index(r, c).data().toString();
        return cells;
    }

    test::MemoryEditControl m_edit;
    test::FakePageFiles m_files;
    std::string m_currentFile = "/site/index.htm";
    DocumentCheck m_check;
    TfCheck m_dialog;
};

// Catches a control missing, misnamed or captioned differently, a modal
// dialog, and a button that would take Enter from the list.
TEST_F(TfCheckTest, Controls) {
    EXPECT_EQ(m_dialog.objectName(), QStringLiteral("TfCheck"));
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("ﾍﾟｰｼﾞの点検"));
    EXPECT_FALSE(m_dialog.isModal());
    QStringList headers;
    for (int c = 0; c < list()->model()->columnCount(); ++c)
        headers << list()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{"行", "桁", "種類", "内容"}));
    for (const char* name : {"bRecheck", "bClose"}) {
        auto* button = child<QPushButton>(m_dialog, name);
        EXPECT_FALSE(button->autoDefault()) << name;
        EXPECT_FALSE(button->isDefault()) << name;
    }
    EXPECT_EQ(child<QPushButton>(m_dialog, "bRecheck")->text(), QStringLiteral("再点検(&R)"));
}

// Catches a showing that does not check, a finding listed without its line,
// column, kind or message, and an empty list that does not say so.
TEST_F(TfCheckTest, ShowingChecksAndListsTheFindings) {
    m_edit.setText("<P>ok</P>\r\n\x82\xa0<IMG src=\"b.gif\">");
    m_dialog.showModeless();
    ASSERT_EQ(list()->model()->rowCount(), 2);
    EXPECT_EQ(row(0), (QStringList{"2", "2", "altなし", "画像に alt（代わりの文字）がありません"}));
    EXPECT_EQ(row(1), (QStringList{"2", "12", "ファイルなし", "「b.gif」が見つかりません"}));
    EXPECT_EQ(summary(), QStringLiteral("2 件見つかりました"));
    m_dialog.hide();

    m_edit.setText("<IMG src=\"a.gif\" alt=\"\">");
    m_dialog.showModeless();
    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_EQ(summary(), QStringLiteral("問題は見つかりませんでした"));
}

// Catches Enter or a double click on a row that does not select its place
// in the editor and focus it, and Enter taken by the dialog (closing it or
// pressing a button) instead.
TEST_F(TfCheckTest, EnterAndDoubleClickGoToTheFinding) {
    m_edit.setText("abc</B>\r\n<I>x");
    test::showActive(m_dialog);
    ASSERT_EQ(list()->model()->rowCount(), 2);
    list()->setFocus();
    list()->setCurrentIndex(list()->model()->index(1, 0));
    test::pressKey(Qt::Key_Return);
    EXPECT_EQ(m_edit.selStart(), 9u);
    EXPECT_EQ(m_edit.selLength(), 3u);
    EXPECT_EQ(m_edit.windowCalls().focus, 1);
    EXPECT_EQ(m_edit.windowCalls().scrollCaret, 1);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(list()->model()->rowCount(), 2);

    const QRect first = list()->visualRect(list()->model()->index(0, 3));
    ASSERT_TRUE(first.isValid());
    const QPointF at = first.center();
    const QPointF global = list()->viewport()->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(list()->viewport(), &event);
    }
    EXPECT_EQ(m_edit.selStart(), 3u);
    EXPECT_EQ(m_edit.selLength(), 4u);
    EXPECT_GE(m_edit.windowCalls().focus, 2);
}

// Catches "再点検" that lists what was there before the edit, a save that
// does not check again while the dialog is shown, and one that checks (for
// nothing) while it is hidden.
TEST_F(TfCheckTest, ChecksAgainOnDemandAndAfterASave) {
    m_edit.setText("<B>");
    m_dialog.showModeless();
    ASSERT_EQ(list()->model()->rowCount(), 1);
    m_edit.setText("<B></B>");
    child<QPushButton>(m_dialog, "bRecheck")->click();
    EXPECT_EQ(list()->model()->rowCount(), 0);

    m_edit.setText("<I>");
    m_dialog.recheckIfShown();
    EXPECT_EQ(list()->model()->rowCount(), 1);

    child<QPushButton>(m_dialog, "bClose")->click();
    EXPECT_FALSE(m_dialog.isVisible());
    m_edit.setText("");
    m_dialog.recheckIfShown();
    EXPECT_EQ(list()->model()->rowCount(), 1);

    // The command on an open dialog checks again too.
    m_dialog.showAndCheck();
    EXPECT_EQ(list()->model()->rowCount(), 0);
    m_edit.setText("</U>");
    m_dialog.showAndCheck();
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(list()->model()->rowCount(), 1);
}

// Catches a page not saved yet reported once per location, and the note
// not saying what to do.
TEST_F(TfCheckTest, AnUntitledPageSaysItWaitsForASave) {
    m_currentFile = "Untitled";
    m_edit.setText("<IMG src=\"a.gif\" alt=\"\"><IMG src=\"b.gif\" alt=\"\">");
    m_dialog.showModeless();
    ASSERT_EQ(list()->model()->rowCount(), 1);
    EXPECT_TRUE(row(0)[3].startsWith(QStringLiteral("保存すると点検できます")))
        << row(0)[3].toStdString();
}

}  // namespace
}  // namespace korvane
