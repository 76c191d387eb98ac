// The Qt side of the dialogs, shell and system colours, checked without
// showing a dialog or starting anything: what a file dialog is set up to
// show, the save question's buttons and answers, palette colours.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/file_filter.h"
#include "platform/qt_common_dialogs.h"
#include "platform/qt_shell.h"
#include "convert/uthtml.h"
#include "platform/system_colors.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

const char* const kTextFirst =
    "ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|htmlﾌｧｲﾙ(*.htm;*.html)|*.htm;*.html|全てのﾌｧｲﾙ(*.*)|*.*";

FileDialogQuery queryFor(FileDialogKind kind, const std::string& folder) {
    FileDialogQuery query;
    query.kind = kind;
    query.filters = parseFileFilter(kTextFirst);
    query.filterIndex = 1;
    query.folder = folder;
    query.fileName = "memo";
    query.defaultExtension = "txt";
    return query;
}

// Catches a save dialog that asks before replacing a file, an open dialog
// that accepts names of missing files, and the wrong filter preselected.
TEST(QtFileDialogSetup, ShowsTheQuery) {
    const test::TempDir folder;
    QFileDialog save;
    configureFileDialog(save, queryFor(FileDialogKind::Save, folder.path()));
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(save.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(save.nameFilters(),
              (QStringList{QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt) (*.txt)"),
                           QStringLiteral("htmlﾌｧｲﾙ(*.htm;*.html) (*.htm *.html)"),
                           QStringLiteral("全てのﾌｧｲﾙ(*.*) (*)")}));
    EXPECT_EQ(selectedFilterIndex(save, queryFor(FileDialogKind::Save, "")), 1u);
    EXPECT_EQ(save.defaultSuffix(), QStringLiteral("txt"));
    EXPECT_EQ(QDir(save.directory()).canonicalPath(),
              QDir(QString::fromStdString(folder.path())).canonicalPath());

    QFileDialog open;
    configureFileDialog(open, queryFor(FileDialogKind::Open, folder.path()));
    EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
}

// Catches the filter the user picked going unnoticed, so the dialog would
// not keep it for the next use.
TEST(QtFileDialogSetup, ReadsBackTheSelectedFilter) {
    const FileDialogQuery query = queryFor(FileDialogKind::Save, "");
    QFileDialog dialog;
    configureFileDialog(dialog, query);
    for (std::size_t i = 0; i < query.filters.size(); ++i) {
        dialog.selectNameFilter(QString::fromStdString(qtNameFilter(query.filters[i])));
        EXPECT_EQ(selectedFilterIndex(dialog, query), i);
    }
}

// Catches filters Qt does not read as description plus patterns: the list
// would then show Qt's pattern copy, or the whole text, not the description.
TEST(QtFileDialogSetup, ListShowsTheDescriptions) {
    QFileDialog dialog;
    configureFileDialog(dialog, queryFor(FileDialogKind::Open, ""));
    const QComboBox* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i)
        shown.append(types->itemText(i));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt)"),
                                  QStringLiteral("htmlﾌｧｲﾙ(*.htm;*.html)"),
                                  QStringLiteral("全てのﾌｧｲﾙ(*.*)")}));
}

QAbstractButton* buttonWithText(const QMessageBox& box, const QString& text) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Catches a save question with an icon, other captions, or Esc and the close
// button answering anything but Cancel (which would close and lose text).
TEST(SaveQuestion, HasTheThreeButtonsAndEscapeCancels) {
    const QString text = QString::fromUtf8(kSaveQuestionText);
    const std::unique_ptr<QMessageBox> box = makeSaveQuestion(nullptr, text);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("korvane"));
    EXPECT_EQ(box->text(), text);
    EXPECT_EQ(box->buttons().size(), 3);
    ASSERT_NE(box->escapeButton(), nullptr);
    EXPECT_EQ(box->escapeButton()->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(saveAnswerOf(*box), SaveAnswer::Cancel);

    const struct {
        const char* button;
        SaveAnswer answer;
    } rows[] = {
        {"はい(&Y)", SaveAnswer::Yes},
        {"いいえ(&N)", SaveAnswer::No},
        {"キャンセル", SaveAnswer::Cancel},
    };
    for (const auto& row : rows) {
        const std::unique_ptr<QMessageBox> asked = makeSaveQuestion(nullptr, text);
        QAbstractButton* button = buttonWithText(*asked, QString::fromUtf8(row.button));
        ASSERT_NE(button, nullptr) << row.button;
        button->click();
        EXPECT_EQ(saveAnswerOf(*asked), row.answer) << row.button;
    }

    const std::unique_ptr<QMessageBox> closed = makeSaveQuestion(nullptr, text);
    closed->close();
    EXPECT_EQ(saveAnswerOf(*closed), SaveAnswer::Cancel);
}

// Catches system colours read from the wrong palette role or group, and red
// and blue swapped on the way to 0x00BBGGRR.
TEST(SystemColors, ComeFromThePalette) {
    QPalette palette;
    palette.setColor(QPalette::All, QPalette::Base, QColor(0x12, 0x34, 0x56));
    palette.setColor(QPalette::All, QPalette::Text, QColor(0x01, 0x02, 0x03));
    palette.setColor(QPalette::All, QPalette::Button, QColor(0x21, 0x22, 0x23));
    palette.setColor(QPalette::All, QPalette::Highlight, QColor(0x31, 0x32, 0x33));
    palette.setColor(QPalette::All, QPalette::HighlightedText, QColor(0x41, 0x42, 0x43));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x51, 0x52, 0x53));
    const struct {
        const char* name;
        int index;
        std::uint32_t expected;
    } rows[] = {
        {"window", kColorWindow, 0x563412},
        {"window text", kColorWindowText, 0x030201},
        {"button face", kColorBtnFace, 0x232221},
        {"highlight", kColorHighlight, 0x333231},
        {"highlight text", kColorHighlightText, 0x434241},
        {"grey text is disabled text", kColorGrayText, 0x535251},
        {"desktop has no role", kColorDesktop, defaultSystemColor(kColorDesktop)},
        {"unknown index", 99, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(systemColor(palette, row.index), row.expected) << row.name;

    const SystemColorLookup lookup = systemColorLookup(palette);
    EXPECT_EQ(ColorToHtml(systemColorValue(kColorWindow), lookup), "#123456");
    EXPECT_EQ(qColorOf(systemColorValue(kColorWindow), lookup), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(qColorOf(0x0080FF), QColor(0xFF, 0x80, 0x00));
}

// Catches copies started from the KORVANE_HOME folder (another build, or
// nothing) instead of beside the running program, and arguments split or
// quoted on the way.
TEST(QtShellCopy, StartsTheProgramBesideThisOneWithArgumentsAsTheyStand) {
    const test::TempDir home;
    const QByteArray before = qgetenv("KORVANE_HOME");
    qputenv("KORVANE_HOME", QByteArray::fromStdString(home.path()));
    const QString program = copyProgram();
    if (before.isNull())
        qunsetenv("KORVANE_HOME");
    else
        qputenv("KORVANE_HOME", before);
    EXPECT_EQ(program, QCoreApplication::applicationDirPath() + QStringLiteral("/korvane"));

    const std::vector<std::string> args = {"/h", "/home/u/my \"web\" pages/ページ.htm"};
    EXPECT_EQ(
        copyArguments(args),
        (QStringList{QStringLiteral("/h"), QStringLiteral("/home/u/my \"web\" pages/ページ.htm")}));
}

// Catches fractional sizes truncated, tiny sizes becoming 0, and a pixel
// size read as a point size.
TEST(QtFontChoice, TakesWholePointSizes) {
    QFont fractional(QStringLiteral("Noto Sans"));
    fractional.setPointSizeF(10.6);
    EXPECT_EQ(fontChoiceOf(fractional), (FontChoice{"Noto Sans", 11}));
    QFont tiny(QStringLiteral("Noto Sans"));
    tiny.setPointSizeF(0.4);
    EXPECT_EQ(fontChoiceOf(tiny).pointSize, 1);
    QFont pixels(QStringLiteral("Noto Sans"));
    pixels.setPixelSize(16);
    EXPECT_EQ(fontChoiceOf(pixels).pointSize, 0);
}

}  // namespace
}  // namespace korvane
