// The image placement dialog driven over the in-memory editor, without a
// main window, with JPEG pictures made in the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <string>

#include "edit/tag_highlighter.h"
#include "editor/sjis_line_edit.h"
#include "tags/radio_group.h"
#include "tags/tf_image.h"
#include "tests/support/jpeg_files.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/picture_files.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/dialog_keys.h"
#include "tests/support/ui/qt_pictures.h"

namespace korvane {
namespace {

using test::child;

const std::string kNeko932 = "\x94\x4C";  // 猫

class TfImageTest : public ::testing::Test {
  protected:
    TfImageTest()
        : m_highlighter(m_edit),
          m_set(m_scripted.release()),
          m_dialog(
              m_edit, m_highlighter, m_set, [this] { return m_currentFile; }, PathStyle::Posix) {
        m_edit.setChangeHandler([this] { m_highlighter.reMainChange(); });
        std::filesystem::create_directory(m_dir.file("img"));
        test::writeFile(m_dir.file("img/cat.jpg"),
                        test::makeJpeg(test::JpegKind::Baseline, 320, 240));
        test::writeFile(m_dir.file("img/dog.jpeg"),
                        test::makeJpeg(test::JpegKind::Progressive, 64, 48));
        test::writeFile(m_dir.file("photo.JPG"), test::makeJpeg(test::JpegKind::Baseline, 9, 7));
        test::writeFile(m_dir.file("img/pic.png"), test::qtPicture("png", 30, 20));
        test::writeFile(m_dir.file("anim.gif"), test::makeGif(200, 3));
        test::writeFile(m_dir.file("a.bmp"), test::qtPicture("bmp", 4, 70));
        test::writeFile(m_dir.file("fake.jpg"), test::qtPicture("png", 8, 6));
        test::writeFile(m_dir.file("broken.jpg"), "\xFF\xD8 not a picture");
        test::writeFile(m_dir.file("a.png"), "\x89PNG");
        m_currentFile = m_dir.file("index.htm");
    }

    void select(const std::string& before, const std::string& selection) {
        m_edit.setText(before + selection);
        m_edit.setSelection(before.size(), before.size() + selection.size());
    }

    SjisLineEdit* field(const char* name) { return child<SjisLineEdit>(m_dialog, name); }
    RadioGroup* rgPosition() { return child<RadioGroup>(m_dialog, "rgPosition"); }
    QPushButton* bRefer() { return child<QPushButton>(m_dialog, "bRefer"); }

    void pick(const std::string& path) {
        m_scripted.odImage->choose(path);
        m_dialog.bReferClick();
    }

    test::TempDir m_dir;
    test::MemoryEditControl m_edit;
    TagHighlighter m_highlighter;
    test::ScriptedDialogs m_scripted;
    CommonDialogs m_set;
    std::string m_currentFile;
    TfImage m_dialog;
};

// Catches a control missing, misnamed or captioned differently, number
// boxes not right-aligned, positions out of order, and the picture dialog
// without its filter.
TEST_F(TfImageTest, ControlsAndInitialState) {
    EXPECT_EQ(m_dialog.objectName(), QStringLiteral("TfImage"));
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("画像配置"));
    EXPECT_FALSE(m_dialog.isModal());
    EXPECT_EQ(bRefer()->text(), QStringLiteral("参照(&R)"));
    const std::pair<const char*, QString> labelled[] = {
        {"eFile", QStringLiteral("ファイル名(&F)")},   {"eHeight", QStringLiteral("高さ(&H)")},
        {"eWidth", QStringLiteral("幅(&W)")},          {"eAlt", QStringLiteral("代替文字(&A)")},
        {"eBorder", QStringLiteral("枠線の太さ(&B)")},
    };
    for (const auto& [name, caption] : labelled) {
        bool found = false;
        for (const QLabel* label : m_dialog.findChildren<QLabel*>())
            found |= label->text() == caption && label->buddy() == field(name);
        EXPECT_TRUE(found) << name;
    }
    for (const char* name : {"eHeight", "eWidth", "eBorder"})
        EXPECT_TRUE(field(name)->alignment() & Qt::AlignRight) << name;
    EXPECT_EQ(rgPosition()->title(), QStringLiteral("画像の位置(&P)"));
    const QStringList items = {
        QStringLiteral("指定無し"),           QStringLiteral("left(画像左)"),
        QStringLiteral("right(画像右)"),      QStringLiteral("top(画像上揃え)"),
        QStringLiteral("middle(画像中揃え)"), QStringLiteral("bottom(画像下揃え)")};
    ASSERT_EQ(rgPosition()->count(), items.size());
    for (int i = 0; i < rgPosition()->count(); ++i)
        EXPECT_EQ(rgPosition()->item(i)->text(), items[i]);
    EXPECT_TRUE(child<QPushButton>(m_dialog, "bOK")->isDefault());
    const FileDialogQuery query = m_set.odImage->query();
    ASSERT_EQ(query.filters.size(), 5u);
    EXPECT_EQ(query.filters[1].description, "JPEGﾌｧｲﾙ(*.jpeg;*.jpg)");
}

// Catches fields kept from the last use, the position not reset, and
// browsing left on for an unnamed document.
TEST_F(TfImageTest, ShowClearsTheFields) {
    m_dialog.showModeless();
    EXPECT_TRUE(bRefer()->isEnabled());
    for (const char* name : {"eFile", "eHeight", "eWidth", "eAlt", "eBorder"})
        field(name)->setBytes("x");
    rgPosition()->setItemIndex(3);
    m_dialog.bCancelClick();
    m_currentFile = "Untitled";
    m_dialog.showModeless();
    for (const char* name : {"eFile", "eHeight", "eWidth", "eAlt", "eBorder"})
        EXPECT_EQ(field(name)->bytes(), "") << name;
    EXPECT_EQ(rgPosition()->itemIndex(), 0);
    EXPECT_FALSE(bRefer()->isEnabled());
    m_dialog.hide();
}

struct BrowseRow {
    const char* name;
    const char* picked;  // in the test folder
    std::string file;
    const char* height;  // the size fields afterwards
    const char* width;
};

// Catches a size read only for lower-case ".jpeg" and ".jpg" names (a
// camera's ".JPG", a PNG, GIF or BMP left with the size of the picture
// picked before), a reader chosen by the extension instead of the content,
// sizes swapped, a picture whose size cannot be read leaving the previous
// picture's size to be written for it, and the location not relative to the
// document.
TEST_F(TfImageTest, BrowseFillsTheFileAndPictureSize) {
    const BrowseRow rows[] = {
        {"jpeg in a sub-folder", "img/cat.jpg", "img/cat.jpg", "240", "320"},
        {"second jpeg", "img/dog.jpeg", "img/dog.jpeg", "48", "64"},
        {"upper-case extension", "photo.JPG", "photo.JPG", "7", "9"},
        {"png", "img/pic.png", "img/pic.png", "20", "30"},
        {"gif", "anim.gif", "anim.gif", "3", "200"},
        {"bmp", "a.bmp", "a.bmp", "70", "4"},
        {"png whose extension says jpeg", "fake.jpg", "fake.jpg", "6", "8"},
        {"broken jpeg after a readable picture", "broken.jpg", "broken.jpg", "", ""},
    };
    m_dialog.showModeless();
    for (const auto& row : rows) {
        pick(m_dir.file(row.picked));
        EXPECT_EQ(field("eFile")->bytes(), row.file) << row.name;
        EXPECT_EQ(field("eHeight")->bytes(), row.height) << row.name;
        EXPECT_EQ(field("eWidth")->bytes(), row.width) << row.name;
    }
    // The picture dialog proposes the file it last gave.
    m_scripted.odImage->cancel();
    m_dialog.bReferClick();
    EXPECT_EQ(m_scripted.odImage->shown().back().fileName, "broken.jpg");
    EXPECT_EQ(field("eFile")->bytes(), "broken.jpg");
    m_dialog.hide();
}

// Catches browsing that starts where some other dialog was last confirmed
// rather than in the document's folder, beside which its pictures usually
// are; a picture once picked is proposed again where it is.
TEST_F(TfImageTest, BrowsingStartsInTheDocumentsFolder) {
    m_scripted.odMain->choose(m_dir.file("img/other.htm"));
    ASSERT_TRUE(m_set.odMain->run());
    m_dialog.showModeless();
    m_scripted.odImage->cancel();
    m_dialog.bReferClick();
    ASSERT_EQ(m_scripted.odImage->shown().size(), 1u);
    EXPECT_EQ(m_scripted.odImage->shown()[0].folder, m_dir.path());
    pick(m_dir.file("img/cat.jpg"));
    m_scripted.odImage->cancel();
    m_dialog.bReferClick();
    EXPECT_EQ(m_scripted.odImage->shown().back().folder, m_dir.file("img"));
    EXPECT_EQ(m_scripted.odImage->shown().back().fileName, "cat.jpg");
    m_dialog.hide();
}

// Catches a PNG that cannot be read given a size, and a name Shift_JIS
// cannot hold put into the file field mangled instead of refused.
TEST_F(TfImageTest, BrowseRefusesUnwritableNames) {
    m_dialog.showModeless();
    pick(m_dir.file("a.png"));
    EXPECT_EQ(field("eHeight")->bytes(), "");
    const std::string unwritable = m_dir.file("\xEB\x82\x98.jpg");
    test::writeFile(unwritable, test::makeJpeg(test::JpegKind::Baseline, 5, 6));
    pick(unwritable);
    EXPECT_EQ(field("eFile")->bytes(), "a.png");
    EXPECT_EQ(field("eHeight")->bytes(), "");
    ASSERT_EQ(m_scripted.messages->errors().size(), 1u);
    EXPECT_NE(m_scripted.messages->errors()[0].find(unwritable), std::string::npos);
    m_dialog.hide();
}

// Catches Enter in a number box that types a line break or presses OK,
// letters refused, and a pasted line break written into the tag.
TEST_F(TfImageTest, NumberBoxesTakeNoLineBreak) {
    select("", "");
    test::showActive(m_dialog);
    field("eFile")->setBytes("a.gif");
    for (const char* name : {"eHeight", "eWidth", "eBorder"}) {
        SjisLineEdit* box = field(name);
        box->setFocus();
        test::pressKey(Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
        test::pressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        test::pressKey(Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"));
        test::pressKey(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        EXPECT_EQ(box->bytes(), "1x") << name;
        EXPECT_TRUE(m_dialog.isVisible()) << name;
    }
    EXPECT_EQ(m_edit.text(), "");
    QApplication::clipboard()->setText(QStringLiteral("24\r\n0\n"));
    field("eHeight")->clear();
    field("eHeight")->paste();
    EXPECT_EQ(field("eHeight")->bytes(), "240");
    // Enter elsewhere still presses OK.
    field("eAlt")->setFocus();
    test::pressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_edit.text(), "<IMAGE src=\"a.gif\" height=\"240\" width=\"1x\" border=\"1x\">");
}

// Catches the worked example: the picked JPEG's location and size, the
// typed alternative text and border, the alignment, the caret after the
// tag, one undo step, and the tag coloured at once with highlighting.
TEST_F(TfImageTest, WorkedExample) {
    for (bool highlighted : {false, true}) {
        SCOPED_TRACE(highlighted ? "highlighted" : "plain");
        select("", "");
        if (highlighted)
            m_highlighter.forceWholeTextPass();
        m_dialog.showModeless();
        pick(m_dir.file("img/cat.jpg"));
        field("eAlt")->setText(QStringLiteral("猫"));
        field("eBorder")->setBytes("0");
        rgPosition()->setItemIndex(2);
        m_dialog.bOKClick();
        EXPECT_FALSE(m_dialog.isVisible());
        EXPECT_EQ(m_edit.text(), "<IMAGE src=\"img/cat.jpg\" height=\"240\" width=\"320\" alt=\"" +
                                     kNeko932 + "\" border=\"0\" align=\"right\">");
        EXPECT_EQ(m_edit.selStart(), m_edit.textLength());
        EXPECT_EQ(m_edit.selLength(), 0u);
        if (highlighted) {
            EXPECT_EQ(m_edit.colorAt(0), CharColor::of(m_highlighter.HighlightColor()));
        }
        m_edit.undo();
        EXPECT_EQ(m_edit.text(), "");
        EXPECT_FALSE(m_edit.canUndo());
        m_highlighter.turnOff();
    }
}

struct OkRow {
    const char* name;
    std::string selection;
    const char* file;
    int position;
    std::string expected;  // what replaces the selection; empty: nothing
};

// Catches an insertion without a file, the selection not kept in front,
// and each alignment word.
TEST_F(TfImageTest, OkRule) {
    const OkRow rows[] = {
        {"no file", "abc", "", 3, ""},
        {"file alone", "", "pic.gif", 0, "<IMAGE src=\"pic.gif\">"},
        {"selection in front", "abc", "a.gif", 0, "abc<IMAGE src=\"a.gif\">"},
        {"left", "", "a", 1, "<IMAGE src=\"a\" align=\"left\">"},
        {"top", "", "a", 3, "<IMAGE src=\"a\" align=\"top\">"},
        {"middle", "", "a", 4, "<IMAGE src=\"a\" align=\"middle\">"},
        {"bottom", "", "a", 5, "<IMAGE src=\"a\" align=\"bottom\">"},
    };
    m_currentFile = "Untitled";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        select("<P>", row.selection);
        m_dialog.showModeless();
        field("eFile")->setBytes(row.file);
        rgPosition()->setItemIndex(row.position);
        m_dialog.bOKClick();
        EXPECT_FALSE(m_dialog.isVisible());
        EXPECT_EQ(m_edit.text(), "<P>" + (row.expected.empty() ? row.selection : row.expected));
    }
}

// Catches access keys that do not reach their fields, button and group,
// and arrows that do not step through the six positions in order.
TEST_F(TfImageTest, AccessKeysAndArrows) {
    test::showActive(m_dialog);
    const std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_F, "eFile"}, {Qt::Key_H, "eHeight"}, {Qt::Key_W, "eWidth"},
        {Qt::Key_A, "eAlt"},  {Qt::Key_B, "eBorder"},
    };
    for (const auto& [key, name] : keys) {
        test::pressKey(key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), field(name)) << name;
    }
    m_scripted.odImage->cancel();
    test::pressKey(Qt::Key_R, Qt::AltModifier);
    test::waitForAnimatedClick();
    EXPECT_EQ(m_scripted.odImage->shown().size(), 1u);
    test::pressKey(Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), rgPosition()->item(0));
    for (int i = 1; i <= 6; ++i) {
        test::pressKey(Qt::Key_Down);
        EXPECT_EQ(rgPosition()->itemIndex(), i % 6);
    }
    test::pressKey(Qt::Key_Left);
    EXPECT_EQ(rgPosition()->itemIndex(), 5);
    m_dialog.hide();
}

}  // namespace
}  // namespace korvane
