#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/status_line.h"
#include "app/tvantler.h"
#include "editor/rich_edit.h"
#include "editor/sjis_line_edit.h"
#include "platform/program_folder.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/scripted_window.h"
#include "tests/support/ui/window_actions.h"

namespace korvane {
namespace {

using Args = std::vector<std::string>;

using test::ProgramHome;

class DocumentsUiTest : public ::testing::Test {
  protected:
    void create() { test::createScriptedWindow(m_window, m_scripted, m_shell); }
    QAction* action(const char* name) const { return test::findAction(m_window.get(), name); }
    void trigger(const char* name) const { test::triggerAction(m_window.get(), name); }
    std::string file(const char* name, std::string_view bytes) const {
        const std::string path = m_dir.file(name);
        test::writeFile(path, bytes);
        return path;
    }
    RichEdit& editor() const { return *m_window->editor(); }
    const std::vector<std::string>& errors() const { return m_scripted->messages->errors(); }

    // Drags `paths` onto `target` and drops them there, as the desktop does.
    static void dropOn(QWidget* target, const std::vector<std::string>& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        // As a file manager sends them: the name's bytes percent-encoded,
        // whatever they are.
        for (const std::string& p : paths) {
            urls << QUrl::fromEncoded("file://" +
                                      QByteArray::fromStdString(p).toPercentEncoding("/"));
        }
        mime.setUrls(urls);
        mime.setText(urls.isEmpty() ? QString() : urls.first().toString());
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();  // the window handles drops after the drag
    }

    ProgramHome m_home;
    test::TempDir m_dir;
    std::unique_ptr<test::ScriptedDialogs> m_scripted;
    test::RecordingShell* m_shell = nullptr;
    std::unique_ptr<Tvantler> m_window;
};

// Files opened and saved without an edit through the real editor and codec:
// catches bytes changed on the way (a final line break added, a file's LF
// or CR line breaks turned CR LF, invalid bytes
// or user-defined characters lost, CR LF doubled, duplicate codes put in
// Windows' form, a UTF-8 page read as Shift_JIS changed).
TEST_F(DocumentsUiTest, OpenAndSaveKeepsTheBytes) {
    struct Row {
        const char* name;
        std::string file;
        std::string saved;
    };
    const Row rows[] = {
        {"double-byte text with CR LF", "\x93\xfa\x96\x7b\x8c\xea\r\n\x83\x5c\x83\x74\x83\x67\r\n",
         "\x93\xfa\x96\x7b\x8c\xea\r\n\x83\x5c\x83\x74\x83\x67\r\n"},
        {"no final line break", "a\r\nb", "a\r\nb"},
        {"LF and CR, each line's own kept", "a\nb\rc", "a\nb\rc"},
        {"LF throughout", "a\nb\n\nc\n", "a\nb\n\nc\n"},
        {"invalid and single bytes", "x\x81\r\n\x80\xa0\xfd\xfe\xff y",
         "x\x81\r\n\x80\xa0\xfd\xfe\xff y"},
        {"user-defined character", "\xf0\x40\xf9\xfc", "\xf0\x40\xf9\xfc"},
        {"empty file", "", ""},
        {"NEC row 13 duplicate", "\x87\x90", "\x87\x90"},
        {"NEC-selected IBM extension", "\xed\x40", "\xed\x40"},
        {"IBM roman numeral", "\xfa\x4a", "\xfa\x4a"},
        {"UTF-8 page", "<P>\xed\x95\x9c\xea\xb8\x80\xe6\x97\xa5\xe6\x9c\xac caf\xc3\xa9</P>\r\n",
         "<P>\xed\x95\x9c\xea\xb8\x80\xe6\x97\xa5\xe6\x9c\xac caf\xc3\xa9</P>\r\n"},
        {"UTF-8 with LF, an emoji and a broken byte", "\xf0\x9f\x98\x80\n\xe6\x97\xa5\xff\n",
         "\xf0\x9f\x98\x80\n\xe6\x97\xa5\xff\n"},
        {"UTF-8 with a mark", "\xef\xbb\xbf\xe6\x97\xa5\r\n", "\xef\xbb\xbf\xe6\x97\xa5\r\n"},
        {"UTF-16 LE with LF", std::string("\xff\xfe\xe5\x65\n\0a\0", 8),
         std::string("\xff\xfe\xe5\x65\n\0a\0", 8)},
        {"UTF-16 BE", std::string("\xfe\xff\x65\xe5\0\r\0\n", 8),
         std::string("\xfe\xff\x65\xe5\0\r\0\n", 8)},
        {"EUC-JP", "\xc6\xfc\xcb\xdc\xb8\xec\n\xa4\xa2", "\xc6\xfc\xcb\xdc\xb8\xec\n\xa4\xa2"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        create();
        const std::string path = file("doc.txt", r.file);
        m_scripted->odMain->choose(path);
        trigger("Open1");
        EXPECT_EQ(m_window->currentFile().toStdString(), path);
        EXPECT_FALSE(editor().modified());
        trigger("Save1");
        EXPECT_EQ(test::readFile(path), r.saved);
        EXPECT_TRUE(errors().empty());
    }
}

// A UTF-8 page in the real window: catches typed Korean and an emoji
// written as Shift_JIS (a page in two encodings) or replaced, a tag command
// that cuts a character, the LF line breaks turned CR LF, and a status line
// that does not say what the file is.
TEST_F(DocumentsUiTest, Utf8PageIsEditedAndSavedAsItself) {
    create();
    trigger("morvixS1");
    const std::string hangul = "\xed\x95\x9c";
    const std::string path = file("page.htm", "<P>" + hangul + "</P>\n<P>x</P>\n");
    m_scripted->odMain->choose(path);
    trigger("Open2");
    QApplication::processEvents();
    EXPECT_NE(m_window->statusLine()->text().indexOf(QStringLiteral("UTF-8  LF")), -1)
        << m_window->statusLine()->text().toStdString();
    EXPECT_TRUE(editor().toPlainText().startsWith(QStringLiteral("<P>\uD55C</P>")));
    // Select the Korean character and make it bold, then type after it.
    editor().setSelection(3, 3 + hangul.size());
    trigger("ToolButton31");
    const std::size_t after = editor().text().find("</B>") + 4;
    editor().setSelection(after, after);
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("\uAE00\U0001F600"));
    QApplication::sendEvent(&editor(), &press);
    trigger("Save2");
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(test::readFile(path),
              "<P><B>" + hangul + "</B>\xea\xb8\x80\xf0\x9f\x98\x80</P>\n<P>x</P>\n");
}

// Catches the file items left disabled, the title box saved with the text,
// and the default extension not appended.
TEST_F(DocumentsUiTest, SaveAsWritesTheEditorTextOnly) {
    create();
    editor().setText("\x93\xfa\x96\x7b");
    m_window->titleBox()->setBytes("title");
    m_scripted->sdMain->choose(m_dir.file("new"));
    trigger("SaveAs1");
    EXPECT_EQ(test::readFile(m_dir.file("new.txt")), "\x93\xfa\x96\x7b");
    EXPECT_EQ(m_window->windowTitle(),
              QStringLiteral("korvane -") + QString::fromStdString(m_dir.file("new.txt")) + "-");
    EXPECT_FALSE(editor().modified());
}

// The simple-image button comes on once a tag-mode document has a file:
// catches a button enabled from the start (a picture location needs the
// page's own location) or one that a tag-mode open leaves off; pressed, it
// puts the picture's location relative to the page.
TEST_F(DocumentsUiTest, ImageButtonComesOnWithATagModeFile) {
    create();
    trigger("morvixS1");
    QAction* button = action("ToolButton29");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled());
    m_scripted->odMain->choose(file("page.htm", "<P>x"));
    trigger("Open2");
    EXPECT_EQ(m_window->windowTitle(),
              QStringLiteral("morvix -") + QString::fromStdString(m_dir.file("page.htm")) + "-");
    ASSERT_TRUE(button->isEnabled());
    editor().setSelection(editor().textLength(), editor().textLength());
    m_scripted->odBackPicture->choose(m_dir.file("img/b.gif"));
    trigger("ToolButton29");
    EXPECT_NE(editor().text().find("img/b.gif"), std::string::npos) << editor().text();
}

// Opening into the other mode brings that mode's editor font: catches a page
// shown in tag mode with the text-mode font, or the reverse.
TEST_F(DocumentsUiTest, OpeningIntoTheOtherModeTakesItsFont) {
    struct Row {
        const char* name;
        const char* settings;
        bool startInTagMode;
        const char* file;
        int pointSize;
    };
    const Row rows[] = {
        {"page into tag mode", "[Option]\r\nkvnHtml=1\r\n", false, "p.htm", 17},
        {"text into text mode", "[Option]\r\nmvxHtml=0\r\n", true, "n.txt", 11},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        m_home.writeSettings(std::string("[Font]\r\nkvnSize=11\r\nmvxSize=17\r\n") + r.settings);
        create();
        m_window->show();
        if (r.startInTagMode)
            trigger("morvixS1");
        m_scripted->odMain->choose(file(r.file, "<P>x"));
        trigger(r.startInTagMode ? "Open2" : "Open1");
        EXPECT_EQ(m_window->isTagMode(), !r.startInTagMode);
        EXPECT_EQ(editor().font().pointSize(), r.pointSize);
        EXPECT_FALSE(editor().modified());
    }
}

// Catches the dialogs' names kept across a switch of mode.
TEST_F(DocumentsUiTest, SwitchCommandsForgetTheDialogsNames) {
    create();
    editor().setText("x");
    m_scripted->sdMain->choose(m_dir.file("a.txt"));
    trigger("SaveAs1");
    EXPECT_FALSE(m_scripted->sdMain->fileName().empty());
    trigger("htmlmorvixH1");
    EXPECT_TRUE(m_scripted->sdMain->fileName().empty());
    EXPECT_EQ(m_window->currentFile(), QStringLiteral("Untitled"));
}

// New and the hand-over to copies go through the shell with argument lists:
// catches a copy started with a quoted or joined command line.
TEST_F(DocumentsUiTest, CopiesAreStartedThroughTheShell) {
    m_home.writeSettings("[Option]\r\nkvnHtml=1\r\n");
    create();
    trigger("New1");
    editor().setText("typed");
    const std::string page = file("my page.htm", "<P>");
    m_scripted->odMain->choose(page);
    trigger("Open1");
    EXPECT_EQ(m_shell->startedCopies(), (std::vector<Args>{{}, {"/h", page}}));
    EXPECT_EQ(editor().text(), "typed");
}

// Dropped files reach the window wherever they land: catches the editor or
// the title box pasting "file:///..." as text, and drops in the wrong order.
TEST_F(DocumentsUiTest, FilesDroppedAnywhereOpen) {
    const char* targets[] = {"editor", "title box", "window"};
    for (const char* where : targets) {
        SCOPED_TRACE(where);
        create();
        m_window->show();
        QWidget* target = m_window.get();
        if (std::string(where) == "editor")
            target = editor().viewport();
        else if (std::string(where) == "title box")
            target = m_window->titleBox();
        const std::string a = file("a.txt", "A");
        const std::string b = file("b.txt", "B");
        dropOn(target, {a, b});
        EXPECT_EQ(editor().text(), "A");
        EXPECT_EQ(m_window->titleBox()->bytes(), "");
        EXPECT_EQ(m_window->currentFile().toStdString(), a);
        EXPECT_EQ(m_shell->startedCopies(), (std::vector<Args>{{b}}));
    }
}

// The close question through the window's close: catches a window that
// closes on Cancel, loses the text on a cancelled name dialog, or asks when
// nothing changed.
TEST_F(DocumentsUiTest, ClosingAsksAndHonoursTheAnswer) {
    create();
    m_window->show();
    editor().setText("work");
    m_scripted->messages->answerSave(SaveAnswer::Cancel);
    EXPECT_FALSE(m_window->close());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(editor().text(), "work");
    EXPECT_TRUE(editor().modified());

    m_scripted->messages->answerSave(SaveAnswer::Yes);
    m_scripted->sdMain->cancel();
    EXPECT_FALSE(m_window->close());
    EXPECT_EQ(editor().text(), "work");

    m_scripted->messages->answerSave(SaveAnswer::Yes);
    m_scripted->sdMain->choose(m_dir.file("work"));
    EXPECT_TRUE(m_window->close());
    EXPECT_EQ(test::readFile(m_dir.file("work.txt")), "work");

    create();
    m_window->show();
    editor().setText("gone");
    m_scripted->messages->answerSave(SaveAnswer::No);
    EXPECT_TRUE(m_window->close());
    EXPECT_EQ(m_scripted->messages->saveQuestions().size(), 1u);

    create();
    m_window->show();
    EXPECT_TRUE(m_window->close());  // nothing typed: no question
    EXPECT_TRUE(m_scripted->messages->saveQuestions().empty());
}

// Start-up from the command line: catches a relative path kept relative, and
// the second file opened over the first.
TEST_F(DocumentsUiTest, CommandLineOpensTheFirstAndHandsOnTheRest) {
    const std::string a = file("a.txt", "A");
    file("b.txt", "B");
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(m_dir.path())));
    create();
    m_window->interpretCommandLine({"a.txt", "./b.txt"});
    QDir::setCurrent(old);
    EXPECT_EQ(m_window->currentFile().toStdString(), a);
    EXPECT_EQ(editor().text(), "A");
    EXPECT_EQ(m_shell->startedCopies(), (std::vector<Args>{{m_dir.file("b.txt")}}));
    EXPECT_EQ(m_window->windowTitle(),
              QStringLiteral("korvane -") + QString::fromStdString(a) + "-");
}

// File names are bytes: catches the working folder taken through a QString,
// which turns a folder name that is not valid UTF-8 into "\uFFFD" and names
// the document after a file that does not exist (the next save then fails).
TEST_F(DocumentsUiTest, CommandLineInAFolderWhoseNameIsNotUtf8) {
    const std::string folder = m_dir.file("\xff\xfe-\x93\xfa");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/a.txt";
    test::writeFile(path, "A");
    const QString old = QDir::currentPath();
    ASSERT_EQ(::chdir(folder.c_str()), 0);
    create();
    m_window->interpretCommandLine({"a.txt"});
    QDir::setCurrent(old);
    EXPECT_EQ(editor().text(), "A");
    editor().setSelection(1, 1);
    editor().replaceSelection("B");
    trigger("Save1");
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(test::readFile(path), "AB");
}

// A file bigger than the memory the window may still use: catches the
// program ending on std::bad_alloc (or Qt's abort) instead of the message,
// and the next save's name taken. Runs in a child process whose address
// space is limited to a little more than it uses.
TEST_F(DocumentsUiTest, FileThatDoesNotFitInMemoryIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    const std::string big = file("big.txt", std::string(40u << 20, 'a'));
    create();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(60);  // never hang the suite
        std::size_t pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%zu", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlim_t room = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (300u << 20);
        const rlimit limit{room, room};
        if (pages == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
            ::_exit(3);
        try {
            m_scripted->odMain->choose(big);
            trigger("Open1");
            const bool reported =
                errors() == std::vector<std::string>{"ファイル " + big + " は開けません"};
            m_scripted->sdMain->cancel();
            trigger("Save1");  // must ask for a name, not write over the big file
            const bool asked = m_scripted->sdMain->shown().size() == 1;
            ::_exit(reported && asked && editor().text().empty() ? 0 : 1);
        } catch (...) {
            ::_exit(2);  // the child must never go on to run other tests
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

// A dropped file whose name is not valid UTF-8: catches the name decoded
// through a QString (U+FFFD), so that the file is not found or the next save
// writes another file.
TEST_F(DocumentsUiTest, DroppedFileWhoseNameIsNotUtf8OpensAndSaves) {
    const std::string path = file("\x93\xfa\xff.txt", "A");
    create();
    m_window->show();
    dropOn(m_window.get(), {path});
    EXPECT_EQ(editor().text(), "A");
    editor().setSelection(1, 1);
    editor().replaceSelection("B");
    trigger("Save1");
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(test::readFile(path), "AB");
}

// "/h" with a page: catches tag mode entered without the first activation's
// colouring.
TEST_F(DocumentsUiTest, CommandLineOpensPagesInTagMode) {
    const std::string page = file("p.htm", "<B>x</B>");
    create();
    m_window->interpretCommandLine({"/h", page});
    m_window->show();
    EXPECT_TRUE(m_window->isTagMode());
    EXPECT_TRUE(m_window->tagsHighlighted());
    EXPECT_FALSE(editor().modified());
}

}  // namespace
}  // namespace korvane
