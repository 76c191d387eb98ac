// The Qt side of the dialogs, shell and system colours, checked without
// showing a dialog or starting anything: what a file dialog is set up to
// show, the save question's buttons and answers, palette colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <functional>
#include <utility>

#include "convert/uthtml.h"
#include "platform/file_filter.h"
#include "platform/font_style_names.h"
#include "platform/qt_common_dialogs.h"
#include "platform/qt_shell.h"
#include "platform/system_colors.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/dialog_keys.h"

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

// Catches Qt's own overwrite question left on (a second question, about the
// name without its default extension), an open dialog that accepts names
// of missing files, and the wrong filter preselected.
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
    EXPECT_TRUE(open.defaultSuffix().isEmpty());  // Qt would add it to names that exist as typed
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

// Types `text` into a chooser's name box, as a person would.
void typeName(QtFileChooser& dialog, const QString& text) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(text);
}

bool openButtonEnabled(const QtFileChooser& dialog) {
    const auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return buttons != nullptr && buttons->button(QDialogButtonBox::Open) != nullptr &&
           buttons->button(QDialogButtonBox::Open)->isEnabled();
}

// Closes any modal box that a chooser opens (Qt's "file not found") and fails
// the test: such a box would wait for a person.
class NoModalBoxes {
  public:
    NoModalBoxes() {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a modal box opened: " << box->windowTitle().toStdString();
                box->close();
            }
        });
        m_timer.start(100);
    }

  private:
    QTimer m_timer;
};

// Catches the default extension added to a typed name that exists as it
// stands (that file could not be opened), and a name without extension that
// is no longer completed when only the completed file exists.
TEST(QtFileChooser, OpensTypedNamesAsWindowsDoes) {
    const NoModalBoxes noBoxes;
    const test::TempDir folder;
    for (const char* name : {"readme", "memo.txt", "both", "both.txt", "page.htm"})
        test::writeFile(folder.file(name), "x");
    std::filesystem::create_directory(folder.file("sub"));
    const struct {
        const char* typed;
        const char* opened;
    } rows[] = {
        {"readme", "readme"},     {"memo", "memo.txt"},     {"both", "both"},
        {"memo.txt", "memo.txt"}, {"page.htm", "page.htm"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        FileDialogQuery query = queryFor(FileDialogKind::Open, folder.path());
        query.fileName.clear();
        QtFileChooser dialog(query);
        dialog.show();
        typeName(dialog, QString::fromUtf8(row.typed));
        EXPECT_TRUE(openButtonEnabled(dialog));
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.chosenPath(), folder.file(row.opened));
    }
}

// Catches a typed pattern returned as a file name (a save would write a file
// called "*.htm"; an open would say the file is missing) instead of
// filtering the list, in the folder the pattern names.
TEST(QtFileChooser, TypedPatternFiltersTheList) {
    const NoModalBoxes noBoxes;
    const test::TempDir folder;
    std::filesystem::create_directory(folder.file("sub"));
    for (const char* name : {"sub/a.htm", "sub/b.txt", "c.htm"})
        test::writeFile(folder.file(name), "x");
    const struct {
        FileDialogKind kind;
        const char* typed;
        const char* folder;  // where the list is afterwards
        const char* pattern;
    } rows[] = {
        {FileDialogKind::Open, "sub/*", "sub", "*"},
        {FileDialogKind::Open, "*.htm", "", "*.htm"},
        {FileDialogKind::Save, "sub/*.htm", "sub", "*.htm"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        QtFileChooser dialog(queryFor(row.kind, folder.path()));
        dialog.show();
        typeName(dialog, QString::fromUtf8(row.typed));
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(dialog.chosenPath().empty());
        EXPECT_TRUE(dialog.isVisible());
        const std::string shown = *row.folder ? folder.file(row.folder) : folder.path();
        EXPECT_EQ(QDir(dialog.directory()).canonicalPath(),
                  QDir(QString::fromStdString(shown)).canonicalPath());
        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->nameFilters(), QStringList{QString::fromUtf8(row.pattern)});
        EXPECT_FALSE(model->nameFilterDisables());
    }
}

// Catches a file name that is not UTF-8 (a Shift_JIS name from an old
// archive) coming back as Qt's text of it, U+FFFD written as EF BF BD: the
// open would fail and the save would write another file. Qt cannot list
// such names, but the folder and name the dialog proposes keep their bytes.
TEST(QtFileChooser, ProposedNamesKeepTheirBytes) {
    const NoModalBoxes noBoxes;
    const test::TempDir root;
    const std::string sjisFolder = root.file("\x83\x41");  // "ア" in Shift_JIS
    std::filesystem::create_directory(sjisFolder);
    test::writeFile(root.file("\x82\xa0.txt"), "x");  // "あ.txt" in Shift_JIS
    test::writeFile(sjisFolder + "/a.txt", "x");
    test::writeFile(root.file("日本語.txt"), "x");
    const struct {
        const char* name;
        FileDialogKind kind;
        std::string folder;
        std::string fileName;
    } rows[] = {
        {"open, name not UTF-8", FileDialogKind::Open, root.path(), "\x82\xa0.txt"},
        {"save, name not UTF-8", FileDialogKind::Save, root.path(), "\x82\xa2.txt"},  // "い"
        {"open, folder not UTF-8", FileDialogKind::Open, sjisFolder, "a.txt"},
        {"save, folder not UTF-8", FileDialogKind::Save, sjisFolder, "new.txt"},
        {"open, UTF-8 name", FileDialogKind::Open, root.path(), "日本語.txt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FileDialogQuery query = queryFor(row.kind, row.folder);
        query.fileName = row.fileName;
        QtFileChooser dialog(query);
        dialog.show();
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.chosenPath(), row.folder + "/" + row.fileName);
    }
}

enum class Answer { None, Yes, No, Enter, Escape, CloseBox };

// Answers the question a save dialog asks, as a person would, and keeps what
// it showed.
class ReplaceAnswerer {
  public:
    explicit ReplaceAnswerer(Answer how) : m_answer(how) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(50);
    }

    bool asked() const { return m_asked; }
    const QString& text() const { return m_text; }
    const QString& title() const { return m_title; }
    const QWidget* parent() const { return m_parent; }
    const QString& defaultButton() const { return m_default; }

  private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        m_asked = true;
        m_text = box->text();
        m_title = box->windowTitle();
        m_parent = box->parentWidget();
        m_default = box->defaultButton() ? box->defaultButton()->text() : QString();
        QStringList buttons;
        for (QAbstractButton* button : box->buttons())
            buttons.append(button->text());
        EXPECT_EQ(buttons.size(), 2) << buttons.join(u',').toStdString();
        const auto press = [box](int key) {
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(box, &down);
        };
        switch (m_answer) {
            case Answer::Yes:
            case Answer::No: {
                const QString caption = m_answer == Answer::Yes ? QStringLiteral("はい(&Y)")
                                                                : QStringLiteral("いいえ(&N)");
                QAbstractButton* button = nullptr;
                for (QAbstractButton* one : box->buttons()) {
                    if (one->text() == caption)
                        button = one;
                }
                EXPECT_NE(button, nullptr) << caption.toStdString();
                if (button != nullptr)
                    button->click();
                else
                    box->reject();
                break;
            }
            case Answer::Enter:
                press(Qt::Key_Return);
                break;
            case Answer::Escape:
                press(Qt::Key_Escape);
                break;
            case Answer::None:
            case Answer::CloseBox:
                box->close();
                break;
        }
    }

    Answer m_answer;
    QTimer m_timer;
    bool m_asked = false;
    QString m_text;
    QString m_title;
    QPointer<QWidget> m_parent;
    QString m_default;
};

// Catches a save dialog that replaces an existing file without a question,
// one that asks about the name as typed instead of the name written (the
// default extension added) or about a new file, an answer other than
// "はい" that replaces the file (Enter pressed by habit, Esc, the close box),
// and a "いいえ" that closes the dialog or loses the typed name.
TEST(QtFileChooser, AsksBeforeReplacingAFile) {
    const test::TempDir folder;
    const std::string sjisName = "\x82\xa0.htm";  // "あ.htm" in Shift_JIS
    for (const std::string& name : {std::string("old.htm"), std::string("bare"), sjisName})
        test::writeFile(folder.file(name), "x");
    const struct {
        const char* name;
        std::string proposed;  // the name the dialog opens with
        const char* typed;     // then typed over it; nullptr: left as proposed
        Answer answer;
        const char* asksAbout;  // the name the question shows; nullptr: no question
        bool accepted;
    } rows[] = {
        {"existing, yes", "", "old.htm", Answer::Yes, "old.htm", true},
        {"existing, no", "", "old.htm", Answer::No, "old.htm", false},
        {"existing, Enter", "", "old.htm", Answer::Enter, "old.htm", false},
        {"existing, Esc", "", "old.htm", Answer::Escape, "old.htm", false},
        {"existing, close box", "", "old.htm", Answer::CloseBox, "old.htm", false},
        {"extension added, exists", "", "old", Answer::Yes, "old.htm", true},
        {"exists only without the extension", "", "bare", Answer::None, nullptr, true},
        {"new name", "", "new.htm", Answer::None, nullptr, true},
        {"proposed name not UTF-8, exists", sjisName, nullptr, Answer::No, "", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FileDialogQuery query = queryFor(FileDialogKind::Save, folder.path());
        query.fileName = row.proposed;
        query.defaultExtension = "htm";
        QtFileChooser dialog(query);
        test::showActive(dialog);
        if (row.typed != nullptr)
            typeName(dialog, QString::fromUtf8(row.typed));
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        const QString typed = name->text();

        const ReplaceAnswerer answerer(row.answer);
        dialog.accept();
        EXPECT_EQ(answerer.asked(), row.asksAbout != nullptr);
        if (answerer.asked()) {
            EXPECT_EQ(answerer.parent(), &dialog);
            EXPECT_EQ(answerer.title(), QStringLiteral("korvane"));
            EXPECT_EQ(answerer.defaultButton(), QStringLiteral("いいえ(&N)"));
            const QString question = QStringLiteral(" は既に存在します。\n上書きしますか？");
            EXPECT_TRUE(answerer.text().endsWith(question)) << answerer.text().toStdString();
            if (*row.asksAbout != '\0') {
                EXPECT_EQ(answerer.text(), QString::fromUtf8(row.asksAbout) + question);
            }
        }
        EXPECT_EQ(dialog.result() == QDialog::Accepted, row.accepted);
        if (row.accepted) {
            const std::string given = row.typed != nullptr ? row.typed : row.proposed;
            EXPECT_EQ(dialog.chosenPath(), folder.file(given));
        } else {
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(name->text(), typed);
            // Back in the dialog, where the name can be changed.
            test::waitFor([] { return QApplication::focusWidget() != nullptr; });
            EXPECT_EQ(QApplication::focusWidget(), name);
        }
    }
}

// Makes the default locale Japanese for the life of the guard, as main()
// does for the program.
class JapaneseLocale {
  public:
    JapaneseLocale() { QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan)); }
    ~JapaneseLocale() { QLocale::setDefault(m_old); }
    JapaneseLocale(const JapaneseLocale&) = delete;
    JapaneseLocale& operator=(const JapaneseLocale&) = delete;

  private:
    QLocale m_old;
};

// Catches English in the file list under an English or C system locale:
// "Folder" as a type (missing from Qt's Japanese translation), and sizes and
// dates in the system's form ("5 bytes", "2 Jan 2024 03:04:05").
TEST(QtFileChooser, ListSpeaksJapanese) {
    const JapaneseLocale japanese;
    const test::TempDir folder;
    std::filesystem::create_directory(folder.file("sub"));
    test::writeFile(folder.file("memo.txt"), "12345");
    {
        QFile memo(QString::fromStdString(folder.file("memo.txt")));
        ASSERT_TRUE(memo.open(QIODevice::ReadWrite));
        ASSERT_TRUE(memo.setFileTime(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)),
                                     QFileDevice::FileModificationTime));
    }
    FileDialogQuery query = queryFor(FileDialogKind::Open, folder.path());
    query.filters.clear();
    QtFileChooser dialog(query);
    dialog.show();
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex sub = model->index(QString::fromStdString(folder.file("sub")));
    const QModelIndex memo = model->index(QString::fromStdString(folder.file("memo.txt")));
    ASSERT_TRUE(test::waitFor([&] {
        return !model->data(sub.siblingAtColumn(2)).toString().isEmpty() &&
               !model->data(memo.siblingAtColumn(2)).toString().isEmpty();
    }));
    EXPECT_EQ(model->data(sub.siblingAtColumn(2)).toString(),
              QStringLiteral("ファイル フォルダー"));
    const QString memoType = model->data(memo.siblingAtColumn(2)).toString();
    EXPECT_TRUE(std::any_of(memoType.begin(), memoType.end(), [](QChar c) {
        return c.unicode() > 0x7F;
    })) << memoType.toStdString();
    EXPECT_EQ(fileListText(memo.siblingAtColumn(kFileSizeColumn)), QStringLiteral("5 バイト"));
    EXPECT_EQ(fileListText(memo.siblingAtColumn(kFileDateColumn)),
              QStringLiteral("2024/01/02 3:04"));
    EXPECT_TRUE(fileListText(memo.siblingAtColumn(0)).isNull());  // names stay the model's
    EXPECT_TRUE(fileListText(sub.siblingAtColumn(kFileSizeColumn)).isNull());
    EXPECT_TRUE(fileListText(sub.siblingAtColumn(kFileDateColumn)).contains(QLatin1Char('/')));
    const auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(details, nullptr);
    EXPECT_NE(details->itemDelegateForColumn(kFileSizeColumn), nullptr);
    EXPECT_NE(details->itemDelegateForColumn(kFileDateColumn), nullptr);
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

// Catches a message box sized to its text alone: with a short text it is
// narrower than its caption, and the window manager's title bar, which
// holds an icon and three buttons as well, cuts "korvane" down to a dot.
TEST(QtMessageBoxes, WideEnoughForTheirCaption) {
    QtMessageBoxes boxes(nullptr);
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"message", [&] { boxes.showMessage("x"); }},
        {"error", [&] { boxes.showError("x"); }},
        {"save question", [&] { boxes.askSave("x"); }},
        {"yes or no", [&] { boxes.askYesNo("x"); }},
        {"choice", [&] { boxes.askChoice("x", {"a"}, 0, 0); }},
    };
    for (const auto& [name, ask] : rows) {
        SCOPED_TRACE(name);
        int width = 0;
        QString caption;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                width = box->width();
                caption = box->windowTitle();
                box->close();
            }
        });
        closer.start(20);
        ask();
        closer.stop();
        EXPECT_EQ(caption, QStringLiteral("korvane"));
        QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        title.setBold(true);
        const QFontMetrics metrics(title);
        EXPECT_GE(width, metrics.horizontalAdvance(caption) + 5 * metrics.height());
    }
}

// Catches the font dialog's style list in the fonts' English ("Bold"), the
// box above it too, and a style chosen by the shown name instead of the
// font's own (the dialog would then pick no style at all).
TEST(QtFontDialogStyles, ShownInJapanese) {
    QStringList families;  // two with a bold style
    for (const QString& candidate : QFontDatabase::families()) {
        if (QFontDatabase::styles(candidate).contains(QStringLiteral("Bold")) &&
            QFontDatabase::writingSystems(candidate).contains(QFontDatabase::Latin))
            families << candidate;
    }
    if (families.size() < 2)
        GTEST_SKIP() << "not two fonts with a bold style";
    const QString family = families[0];
    const QStringList styles = QFontDatabase::styles(family);
    QStringList shown;
    QString boxText;
    QString boxTextInOtherFamily;
    bool boldChosen = false;
    bool boldKept = false;
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        QListView* familyList = nullptr;
        QLineEdit* styleBox = nullptr;
        for (QListView* list : dialog->findChildren<QListView*>()) {
            auto* model = qobject_cast<QStringListModel*>(list->model());
            if (model != nullptr && model->stringList().contains(families[1]))
                familyList = list;
            if (model == nullptr || model->stringList() != styles)
                continue;
            for (int row = 0; row < model->rowCount(); ++row) {
                const QModelIndex index = model->index(row);
                auto* delegate =
                    qobject_cast<QStyledItemDelegate*>(list->itemDelegateForIndex(index));
                shown << (delegate ? delegate->displayText(index.data(), QLocale()) : QString());
            }
            list->setCurrentIndex(model->index(static_cast<int>(styles.indexOf("Bold"))));
            for (QLineEdit* box : dialog->findChildren<QLineEdit*>()) {
                if (box->focusProxy() == list)
                    styleBox = box;
            }
        }
        if (styleBox != nullptr)
            boxText = styleBox->text();
        boldChosen = dialog->currentFont().weight() == QFont::Bold;
        // Another family keeps the chosen style, by its own name.
        if (familyList != nullptr && styleBox != nullptr) {
            const auto* model = qobject_cast<QStringListModel*>(familyList->model());
            familyList->setCurrentIndex(
                model->index(static_cast<int>(model->stringList().indexOf(families[1]))));
            boxTextInOtherFamily = styleBox->text();
            boldKept = dialog->currentFont().weight() == QFont::Bold;
        }
        dialog->reject();
    });
    chooser.start(20);
    QtFontDialog dialog(nullptr);
    dialog.setFont({family.toStdString(), 12});
    EXPECT_FALSE(dialog.run());
    chooser.stop();

    std::vector<std::string> english;
    for (const QString& style : styles)
        english.push_back(style.toStdString());
    QStringList expected;
    for (const std::string& name : japaneseStyleNames(english))
        expected << QString::fromStdString(name);
    EXPECT_EQ(shown.join(QLatin1Char('|')).toStdString(),
              expected.join(QLatin1Char('|')).toStdString());
    EXPECT_TRUE(shown.contains(QStringLiteral("太字")));
    EXPECT_EQ(boxText.toStdString(), "太字");
    EXPECT_TRUE(boldChosen);
    EXPECT_EQ(boxTextInOtherFamily.toStdString(), "太字");
    EXPECT_TRUE(boldKept);
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
