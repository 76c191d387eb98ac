// The detail dialog over a settings store on a temporary file: its
// controls, the field state, OK, Cancel and the keep options.
#include "convert/tf_detail.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/settings_store.h"
#include "editor/sjis_line_edit.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

const std::string kTaro = "\x91\xBE\x98\x59";  // 太郎

class TfDetailTest : public ::testing::Test {
  protected:
    TfDetailTest()
        : m_store(m_dir.file("krv13.ini")),
          m_dialog(m_store.page(), [this] { return m_store.storeDetails(); }) {
        m_store.load();
        m_store.setMessages(m_scripted.messages);
    }

    SjisLineEdit* field(const char* name) { return child<SjisLineEdit>(m_dialog, name); }
    QPlainTextEdit* head() { return child<QPlainTextEdit>(m_dialog, "mHead"); }
    QCheckBox* detail() { return child<QCheckBox>(m_dialog, "cbDetail"); }
    void press(const char* name) { child<QPushButton>(m_dialog, name)->click(); }
    std::string ini() const {
        return std::filesystem::exists(m_store.path()) ? test::readFile(m_store.path()) : "";
    }

    test::TempDir m_dir;
    test::ScriptedDialogs m_scripted;
    SettingsStore m_store;
    TfDetail m_dialog;
};

// Catches a control missing, misnamed or captioned differently, and a
// label whose access key does not lead to its field.
TEST_F(TfDetailTest, ControlsAndLabels) {
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("詳細設定"));
    EXPECT_EQ(detail()->text(), QStringLiteral("詳細設定をする(&D)"));
    const struct {
        const char* label;
        const char* caption;
        const char* field;
    } labels[] = {{"lAuthor", "製作者名(&A)", "eAuthor"},
                  {"lDescription", "内容説明(&E)", "eDescription"},
                  {"lKeywords", "キーワード(&K)", "eKeywords"},
                  {"lHead", "<HEAD>に追加する内容(&H)", "mHead"}};
    for (const auto& row : labels) {
        QLabel* label = child<QLabel>(m_dialog, row.label);
        EXPECT_EQ(label->text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(label->buddy(), child<QWidget>(m_dialog, row.field)) << row.label;
    }
    EXPECT_EQ(child<QPushButton>(m_dialog, "bOK")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(child<QPushButton>(m_dialog, "bOK")->isDefault());
    EXPECT_EQ(child<QPushButton>(m_dialog, "lCancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
}

// Catches fields that stay editable with the switch off, or that lose
// their texts on OK then: they are kept, only not written into pages.
TEST_F(TfDetailTest, FieldsGreyedButStored) {
    m_dialog.showModeless();
    EXPECT_FALSE(detail()->isChecked());
    for (const char* name : {"eAuthor", "eDescription", "eKeywords", "mHead"})
        EXPECT_FALSE(child<QWidget>(m_dialog, name)->isEnabled()) << name;
    const QColor greyed = head()->palette().color(QPalette::Base);
    detail()->click();
    for (const char* name : {"eAuthor", "eDescription", "eKeywords", "mHead"})
        EXPECT_TRUE(child<QWidget>(m_dialog, name)->isEnabled()) << name;
    EXPECT_NE(head()->palette().color(QPalette::Base), greyed);
    field("eAuthor")->setBytes(kTaro);
    head()->setPlainText(QStringLiteral("<LINK rel=\"stylesheet\">\n<BASE target=\"_top\">"));
    detail()->click();
    EXPECT_FALSE(field("eAuthor")->isEnabled());
    press("bOK");
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_FALSE(m_store.page().DetailOn);
    EXPECT_EQ(m_store.page().Author, kTaro);
    // The memo's line breaks reach the head text as CR LF.
    EXPECT_EQ(m_store.page().HeadText, "<LINK rel=\"stylesheet\">\r\n<BASE target=\"_top\">");
}

// Catches a cancel that stores the typed texts or keeps them for the next
// showing.
TEST_F(TfDetailTest, CancelLeavesEverything) {
    m_store.page().Author = kTaro;
    m_dialog.showModeless();
    EXPECT_EQ(field("eAuthor")->bytes(), kTaro);
    field("eAuthor")->setBytes("someone");
    detail()->click();
    press("lCancel");
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_store.page().Author, kTaro);
    EXPECT_FALSE(m_store.page().DetailOn);
    EXPECT_EQ(ini(), "");
    m_dialog.showModeless();
    EXPECT_EQ(field("eAuthor")->bytes(), kTaro);
    EXPECT_FALSE(detail()->isChecked());
    m_dialog.hide();
}

// Catches the keep options ignored: each text is written only while its
// option is on, all only while keep-detail is on; the run has every value.
TEST_F(TfDetailTest, KeepOptionsDecideWhatIsWritten) {
    struct Row {
        const char* name;
        bool keepDetail, keepAuthor, keepKeywords, keepDescription, keepHead;
        const char* file;
    };
    const Row rows[] = {
        {"defaults", true, true, false, false, true,
         "[Detail]\r\nDetail=1\r\nAuthor=a\r\nHead=h\r\n"},
        {"everything", true, true, true, true, true,
         "[Detail]\r\nDetail=1\r\nAuthor=a\r\nDescription=d\r\nKeywords=k\r\nHead=h\r\n"},
        {"keep-detail off", false, true, true, true, true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(m_store.path());
        Options options;
        options.keepDetail = row.keepDetail;
        options.keepAuthor = row.keepAuthor;
        options.keepKeywords = row.keepKeywords;
        options.keepDescription = row.keepDescription;
        options.keepHead = row.keepHead;
        ASSERT_TRUE(m_store.storeOptions(options));
        std::filesystem::remove(m_store.path());
        m_dialog.showModeless();
        if (!detail()->isChecked())
            detail()->click();
        field("eAuthor")->setBytes("a");
        field("eDescription")->setBytes("d");
        field("eKeywords")->setBytes("k");
        head()->setPlainText(QStringLiteral("h"));
        press("bOK");
        EXPECT_EQ(ini(), row.file);
        EXPECT_TRUE(m_store.page().DetailOn);
        EXPECT_EQ(m_store.page().Keywords, "k");
    }
}

// Catches the dialog stealing Enter in the memo (a head of several lines
// could not be typed) and a character Shift_JIS cannot hold kept in it.
TEST_F(TfDetailTest, MemoTakesLineBreaksAndOnlyShiftJis) {
    test::showActive(m_dialog);
    detail()->click();
    head()->setFocus();
    test::pressKey(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    test::pressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    test::pressKey(Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    EXPECT_TRUE(m_dialog.isVisible());
    head()->insertPlainText(QString::fromUtf8("\xEA\xB0\x80"));  // a Hangul syllable
    EXPECT_EQ(head()->toPlainText().indexOf(QString::fromUtf8("\xEA\xB0\x80")), -1);
    press("bOK");
    EXPECT_EQ(m_store.page().HeadText.substr(0, 5), "a\r\nb?");
}

// Catches the check box on the frame's edge reaching down over the first
// row (the desktop's font is taller than the design's), and any control
// over another or outside the dialog.
TEST_F(TfDetailTest, NoControlCoversAnother) {
    m_dialog.showModeless();
    const char* const names[] = {"cbDetail",     "lAuthor",   "eAuthor",   "lDescription",
                                 "eDescription", "lKeywords", "eKeywords", "lHead",
                                 "mHead",        "bOK",       "lCancel"};
    std::vector<std::pair<const char*, QRect>> placed;
    for (const char* name : names) {
        const QWidget* widget = child<QWidget>(m_dialog, name);
        const QRect bounds(widget->mapTo(&m_dialog, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(m_dialog.rect().contains(bounds)) << name;
        EXPECT_GE(bounds.height(), widget->minimumSizeHint().height()) << name;
        for (const auto& [other, otherBounds] : placed)
            EXPECT_FALSE(bounds.intersects(otherBounds)) << name << " over " << other;
        placed.emplace_back(name, bounds);
    }
    m_dialog.hide();
}

}  // namespace
}  // namespace korvane
