#include "app/documents.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/shift_jis.h"
#include "tests/support/child_process.h"
#include "tests/support/environment.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

using Args = std::vector<std::string>;
using Params = std::vector<std::string>;

// The window as the documents see it: its mode, title box and caption, with
// the calls recorded.
class FakeWindow : public DocumentWindow {
  public:
    bool isTagMode() const override { return tag; }
    void enterTagMode() override {
        tag = true;
        title.clear();  // the tag layout empties the title box
        layouts.push_back("tag");
    }
    void enterTextMode() override {
        tag = false;
        layouts.push_back("text");
    }
    std::string titleBytes() const override { return title; }
    void setTitleBytes(std::string_view bytes) override { title = std::string(bytes); }
    void showCaption() override {
        caption = (tag ? "morvix -" : "korvane -") + docs->CurrentFile() + "-";
    }
    void documentRenamed() override { renamedTo.push_back(docs->CurrentFile()); }
    // The name the window was last told of; "" when it was told of none.
    std::string lastRename() const { return renamedTo.empty() ? "" : renamedTo.back(); }

    const Documents* docs = nullptr;
    bool tag = false;
    std::string title;
    std::string caption = "korvane";
    std::vector<std::string> renamedTo;
    std::vector<std::string> layouts;
};

const std::string kPage =
    "<HTML><HEAD><TITLE>\x93\xfa\x8b\x4c</TITLE></HEAD>\r\n<BODY>a<B>b</B></BODY></HTML>";

class DocumentsTest : public ::testing::Test {
  protected:
    DocumentsTest() {
        window.docs = &docs;
        edit.setChangeHandler([this] { highlighter.reMainChange(); });
    }

    std::string file(const char* name, std::string_view bytes) {
        const std::string path = dir.file(name);
        test::writeFile(path, bytes);
        return path;
    }
    void type(std::string_view bytes) {
        edit.setSelStart(edit.textLength());
        edit.replaceSelection(bytes);
    }
    bool coloured() const { return test::hasColour(edit); }
    const std::vector<Args>& copies() const { return shell.startedCopies(); }
    const std::vector<std::string>& errors() const { return scripted.messages->errors(); }

    test::TempDir dir;
    test::MemoryEditControl edit;
    TagHighlighter highlighter{edit};
    StartupSettings settings;
    test::ScriptedDialogs scripted;
    CommonDialogs dialogs = scripted.release();
    test::RecordingShell shell;
    FakeWindow window;
    Documents docs{edit, highlighter, settings, dialogs, shell, window};
};

// A window of its own, for table rows that each need a new document.
struct Session {
    Session() {
        w.docs = &d;
        e.setChangeHandler([this] { h.reMainChange(); });
    }
    bool coloured() const { return test::hasColour(e); }

    test::MemoryEditControl e;
    TagHighlighter h{e};
    StartupSettings s;
    test::ScriptedDialogs sd;
    CommonDialogs cd = sd.release();
    test::RecordingShell sh;
    FakeWindow w;
    Documents d{e, h, s, cd, sh, w};
};

// --- text mode's Open ---

// Catches the wrong filters, default extension or filter index offered.
TEST_F(DocumentsTest, OpenDialogsAreConfiguredPerMode) {
    scripted.odMain->cancel();
    docs.Open1Click();
    scripted.odMain->cancel();
    docs.Open2Click();
    ASSERT_EQ(scripted.odMain->shown().size(), 2u);
    const FileDialogQuery& text = scripted.odMain->shown()[0];
    EXPECT_EQ(text.defaultExtension, "txt");
    ASSERT_EQ(text.filters.size(), 3u);
    EXPECT_EQ(text.filters[0].description, "ﾃｷｽﾄﾌｧｲﾙ(*.txt)");
    EXPECT_EQ(text.filters[1].patterns, (std::vector<std::string>{"*.htm", "*.html"}));
    EXPECT_EQ(text.filters[2].patterns, (std::vector<std::string>{"*"}));
    EXPECT_EQ(text.filterIndex, 0u);
    const FileDialogQuery& tag = scripted.odMain->shown()[1];
    EXPECT_EQ(tag.defaultExtension, "htm");
    EXPECT_EQ(tag.filters[0].description, "htmlﾌｧｲﾙ(*.htm;*.html)");
    EXPECT_EQ(tag.filterIndex, 0u);
    EXPECT_EQ(docs.CurrentFile(), kUntitled);
    EXPECT_TRUE(copies().empty());
}

// The three kvnHtml ways of a page opened into a new window: catches a page
// loaded raw where it should be stripped, a conversion that keeps the name,
// and tag mode entered without its colours.
TEST_F(DocumentsTest, TextModeOpenOfAPageFollowsKvnHtml) {
    struct Row {
        const char* name;
        int kvnHtml;
        bool tagMode;
        bool named;
        bool stripped;
    };
    const Row rows[] = {
        {"as it is", 0, false, true, false},
        {"tag mode", 1, true, true, false},
        {"stripped", 2, false, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        test::MemoryEditControl e;
        TagHighlighter h(e);
        StartupSettings s;
        s.options.kvnHtml = r.kvnHtml;
        test::ScriptedDialogs sd;
        CommonDialogs cd = sd.release();
        test::RecordingShell sh;
        FakeWindow w;
        Documents d(e, h, s, cd, sh, w);
        w.docs = &d;
        const std::string path = file("page.htm", kPage);
        sd.odMain->choose(path);
        d.Open1Click();
        EXPECT_EQ(w.tag, r.tagMode);
        EXPECT_EQ(d.CurrentFile(), r.named ? path : std::string(kUntitled));
        EXPECT_EQ(w.caption, (r.tagMode ? "morvix -" : "korvane -") + d.CurrentFile() + "-");
        EXPECT_FALSE(e.modified());
        EXPECT_EQ(h.TagsHighlighted(), r.tagMode);
        if (r.stripped) {
            EXPECT_EQ(e.text().find('<'), std::string::npos);
            EXPECT_EQ(w.title, "\x93\xfa\x8b\x4c");
        } else {
            EXPECT_EQ(e.text(), kPage);
        }
        EXPECT_TRUE(sh.startedCopies().empty());
    }
}

// The title box is not part of the document: catches a text file or a page
// without a title that wipes the typed title, and a stale title kept into
// tag mode (where it would go into every converted page).
TEST_F(DocumentsTest, TitleBoxAfterOpening) {
    struct Row {
        const char* name;
        const char* file;
        std::string bytes;
        int kvnHtml;
        std::string title;
    };
    const Row rows[] = {
        {"text file keeps the title", "a.txt", "<TITLE>x</TITLE>", 2, "keep"},
        {"page kept as it is keeps it", "p.htm", kPage, 0, "keep"},
        {"stripped page without a title keeps it", "p.htm", "<P>x", 2, "keep"},
        {"stripped page takes its own", "p.htm", kPage, 2, "\x93\xfa\x8b\x4c"},
        {"page into tag mode empties it", "p.htm", kPage, 1, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Session w;
        w.s.options.kvnHtml = r.kvnHtml;
        w.w.title = "keep";
        w.sd.odMain->choose(file(r.file, r.bytes));
        w.d.Open1Click();
        EXPECT_EQ(w.w.title, r.title);
    }
}

// Colours after a load into tag mode: catches the toggle run on colours that
// are already on (it would take them off, against HighlightByDefault), a
// flag left claiming colours the new text does not have, and colours put on
// a page that only opens as it is.
TEST_F(DocumentsTest, ColoursAfterALoadIntoTagMode) {
    struct Row {
        const char* name;
        bool drop;  // else the text-mode Open
        bool tagMode;
        bool highlightedBefore;
        bool byDefault;
        int kvnHtml;
        bool coloured;
    };
    const Row rows[] = {
        {"open into tag mode, by default", false, false, false, true, 1, true},
        {"open into tag mode, not by default", false, false, false, false, 1, false},
        {"drop into tag mode, colours already on", true, true, true, true, 1, true},
        {"drop as it is, colours on though not by default", true, true, true, false, 0, true},
        {"drop as it is, colours off", true, true, false, true, 0, false},
        {"drop stripped, colours on", true, true, true, true, 2, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Session w;
        w.s.options.kvnHtml = r.kvnHtml;
        w.h.setHighlightByDefault(r.byDefault);
        w.w.tag = r.tagMode;
        if (r.highlightedBefore)
            w.h.forceWholeTextPass();
        const std::string page = file("p.htm", "<P>x<B>y</B>");
        if (r.drop) {
            w.d.WMDropFiles({page});
        } else {
            w.sd.odMain->choose(page);
            w.d.Open1Click();
        }
        EXPECT_TRUE(w.w.tag);
        EXPECT_EQ(w.h.TagsHighlighted(), r.coloured);
        if (r.kvnHtml != 2) {  // the stripped text has no tags to colour
            EXPECT_EQ(w.coloured(), r.coloured);
        }
        EXPECT_FALSE(w.e.modified());
    }
}

// A window that holds a named document hands every file on and stays as it
// is: catches the wrong switch for the copy, a folder started as a copy, and
// the document or caption of this window changed.
TEST_F(DocumentsTest, NamedDocumentHandsFilesOn) {
    struct Row {
        const char* name;
        bool drop;  // else the text-mode Open
        int kvnHtml;
        const char* file;  // nullptr: a folder
        Args args;         // with the path appended; empty: no copy
    };
    const Row rows[] = {
        {"open of a page, kvnHtml 2", false, 2, "page.htm", {"/t"}},
        {"drop of a page, kvnHtml 1", true, 1, "page.htm", {"/h"}},
        {"drop of a text file, kvnHtml 1", true, 1, "b.txt", {}},
        {"drop of a folder", true, 0, nullptr, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Session w;
        w.s.options.kvnHtml = r.kvnHtml;
        const std::string mine = file("mine.txt", "mine");
        w.d.WMDropFiles({mine});
        ASSERT_EQ(w.d.CurrentFile(), mine);
        const std::string caption = w.w.caption;
        const std::string path = r.file ? file(r.file, "<P>") : dir.path();
        if (r.drop) {
            w.d.WMDropFiles({path});
        } else {
            w.sd.odMain->choose(path);
            w.d.Open1Click();
        }
        if (r.file) {
            Args want = r.args;
            want.push_back(path);
            EXPECT_EQ(w.sh.startedCopies(), std::vector<Args>{want});
        } else {
            EXPECT_TRUE(w.sh.startedCopies().empty());
        }
        EXPECT_EQ(w.d.CurrentFile(), mine);
        EXPECT_EQ(w.e.text(), "mine");
        EXPECT_EQ(w.w.caption, caption);
        EXPECT_FALSE(w.w.tag);
    }
}

// A read that fails after the layout step: catches the mode switch undone,
// the new name dropped, and a caption that still names the old mode and
// document (the next Save writes to the new name).
TEST_F(DocumentsTest, ReadFailureAfterTheLayoutStepKeepsWhatWasDone) {
    settings.options.kvnHtml = 1;
    const std::string folder = dir.file("site.htm");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    scripted.odMain->choose(folder);
    docs.Open1Click();
    EXPECT_EQ(errors(), (std::vector<std::string>{"ファイル " + folder + " は開けません"}));
    EXPECT_TRUE(window.tag);
    EXPECT_EQ(docs.CurrentFile(), folder);
    EXPECT_EQ(window.caption, "morvix -" + folder + "-");
}

// A kvnHtml of no meaning (a hand-edited settings file): catches the page
// loaded anyway or handed to a copy. The name is taken, as for every file
// the window takes, and the caption shows it.
TEST_F(DocumentsTest, UnknownKvnHtmlOnlyNamesTheDocument) {
    settings.options.kvnHtml = 5;
    const std::string page = file("p.htm", "<P>");
    scripted.odMain->choose(page);
    docs.Open1Click();
    EXPECT_EQ(docs.CurrentFile(), page);
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(window.caption, "korvane -" + page + "-");
    EXPECT_TRUE(copies().empty());
    EXPECT_TRUE(errors().empty());
}

// A document named after a file it never read (the read failed, or the
// opening rule only takes the name): catches Ctrl+S silently replacing that
// file with whatever the editor holds. Saving goes through the name dialog,
// proposed on that path, in either mode.
TEST_F(DocumentsTest, FileThatWasNotReadIsSavedOnlyThroughTheDialog) {
    const std::string folder = dir.file("folder.htm");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string page = file("p.htm", "<P>kept</P>");
    const struct {
        const char* name;
        int kvnHtml;
        std::string path;
        bool dropped;
        const char* proposed;
    } rows[] = {
        {"folder from the dialog", 1, folder, false, "folder.htm"},
        {"page only named", 5, page, false, "p.htm"},
        {"folder dropped", 0, folder, true, "folder.htm"},
    };
    for (const auto& row : rows) {
        Session s;
        s.s.options.kvnHtml = row.kvnHtml;
        if (row.dropped) {
            s.d.WMDropFiles({row.path});
        } else {
            s.sd.odMain->choose(row.path);
            s.d.Open1Click();
        }
        ASSERT_EQ(s.d.CurrentFile(), row.path) << row.name;
        s.e.setSelStart(s.e.textLength());
        s.e.replaceSelection("typed");
        s.sd.sdMain->cancel();
        const SaveOutcome outcome = s.w.tag ? s.d.Save2Click() : s.d.Save1Click();
        EXPECT_EQ(outcome, SaveOutcome::Cancelled) << row.name;
        ASSERT_EQ(s.sd.sdMain->shown().size(), 1u) << row.name;
        EXPECT_EQ(s.sd.sdMain->shown().back().fileName, row.proposed) << row.name;
        EXPECT_EQ(test::readFile(page), "<P>kept</P>") << row.name;
    }

    // Confirming the proposed name is the user's choice: then it is written,
    // and later saves go there without a dialog.
    Session s;
    s.s.options.kvnHtml = 5;
    s.sd.odMain->choose(page);
    s.d.Open1Click();
    s.e.replaceSelection("new");
    s.sd.sdMain->choose(page);
    EXPECT_EQ(s.d.Save1Click(), SaveOutcome::Saved);
    EXPECT_EQ(test::readFile(page), "new");
    s.e.replaceSelection("er");
    EXPECT_EQ(s.d.Save1Click(), SaveOutcome::Saved);
    EXPECT_EQ(s.sd.sdMain->shown().size(), 1u);
}

// What is not a regular file (a FIFO nobody writes to, an endless device)
// named on the command line, chosen in the dialog or dropped: catches a
// program that hangs or fills its memory reading it, a read without the
// message, and a later save that writes into it unasked.
TEST_F(DocumentsTest, WhatIsNotARegularFileIsRefused) {
    const std::string fifo = dir.file("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(path + " way " + std::to_string(way));
            Session s;
            if (way == 0) {
                s.d.interpretCommandLine({StartupKind::FileList, {path}});
            } else if (way == 1) {
                s.sd.odMain->choose(path);
                s.d.Open1Click();
            } else {
                s.d.WMDropFiles({path});
            }
            EXPECT_EQ(s.sd.messages->errors(),
                      std::vector<std::string>{"ファイル " + path + " は開けません"});
            EXPECT_EQ(s.e.text(), "");
            s.sd.sdMain->cancel();
            EXPECT_EQ(s.d.Save1Click(), SaveOutcome::Cancelled);
        }
    }
}

// Files in other encodings open as themselves, without a question:
// catches a question asked (its two answers were both wrong), a text
// converted to Shift_JIS, the editor not told the file's codec, an encoding
// guessed from the start alone when the file's last lines say otherwise,
// and a save that does not give back the file's bytes (mark, UTF-16, line
// breaks).
TEST_F(DocumentsTest, FilesInOtherEncodingsOpenAsThemselves) {
    const std::string ascii((std::size_t{1} << 20) + 10, 'a');
    struct Row {
        const char* name;
        std::string file;
        TextEncoding encoding;
        std::string held;  // what the editor holds
    };
    const Row rows[] = {
        {"UTF-8 with an emoji", "\xe6\x97\xa5\xf0\x9f\x98\x80\n", TextEncoding::Utf8,
         "\xe6\x97\xa5\xf0\x9f\x98\x80\r\n"},
        {"UTF-8 with a mark", "\xef\xbb\xbf\xed\x95\x9c\r\n", TextEncoding::Utf8Bom,
         "\xed\x95\x9c\r\n"},
        {"UTF-16 LE", std::string("\xff\xfe\xe5\x65\r\0\n\0", 8), TextEncoding::Utf16Le,
         "\xe6\x97\xa5\r\n"},
        {"EUC-JP", "\xc6\xfc\xcb\xdc\xb8\xec\r\n", TextEncoding::EucJp,
         "\xc6\xfc\xcb\xdc\xb8\xec\r\n"},
        {"UTF-8 after a megabyte of ASCII", ascii + "\n\xc3\xa9", TextEncoding::Utf8,
         ascii + "\r\n\xc3\xa9"},
        {"Shift_JIS", "\x93\xfa\x96\x7b", TextEncoding::ShiftJis, "\x93\xfa\x96\x7b"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Session s;
        const std::string path = dir.file("in.txt");
        test::writeFile(path, row.file);
        s.sd.odMain->choose(path);
        s.d.Open1Click();
        EXPECT_TRUE(s.sd.messages->questions().empty());
        EXPECT_TRUE(s.sd.messages->errors().empty());
        EXPECT_EQ(s.d.encoding(), row.encoding);
        EXPECT_EQ(&s.e.codec(), &codecOf(row.encoding));
        EXPECT_TRUE(s.e.text() == row.held);
        EXPECT_EQ(s.d.Save1Click(), SaveOutcome::Saved);
        EXPECT_TRUE(test::readFile(path) == row.file);
    }
}

// Catches a reopen that asks nothing, keeps the old guess, loses unsaved
// text without the usual question, or leaves the encoding or the status of
// the document behind; and a wrong choice of UTF-16 for bytes that are not
// UTF-16 taken without a word.
TEST_F(DocumentsTest, ReopenInAnotherEncodingReadsTheFileAsThat) {
    Session s;
    const std::string path = dir.file("page.txt");
    // Valid EUC-JP, and valid Shift_JIS as half-width katakana: the guess
    // takes EUC-JP, the user knows better.
    const std::string bytes = "\xc6\xfc\xcb\xdc";
    test::writeFile(path, bytes);
    s.sd.odMain->choose(path);
    s.d.Open1Click();
    ASSERT_EQ(s.d.encoding(), TextEncoding::EucJp);
    s.e.setSelection(0, 0);
    s.e.replaceSelection("x");
    s.sd.messages->answerChoice(0);  // Shift_JIS
    s.sd.messages->answerSave(SaveAnswer::No);
    s.d.reopenInEncoding();
    EXPECT_EQ(s.sd.messages->saveQuestions().size(), 1u);
    EXPECT_EQ(s.d.encoding(), TextEncoding::ShiftJis);
    EXPECT_EQ(&s.e.codec(), &shiftJisCodec());
    EXPECT_EQ(s.e.text(), bytes);
    EXPECT_FALSE(s.e.modified());
    EXPECT_EQ(s.d.CurrentFile(), path);

    s.sd.messages->answerChoice(4);  // ｷｬﾝｾﾙ
    s.d.reopenInEncoding();
    EXPECT_EQ(s.d.encoding(), TextEncoding::ShiftJis);

    test::writeFile(path, "odd");
    s.sd.messages->answerChoice(3);  // UTF-16, of an odd number of bytes
    s.d.reopenInEncoding();
    ASSERT_FALSE(s.sd.messages->errors().empty());
    EXPECT_EQ(s.d.encoding(), TextEncoding::ShiftJis);
}

// Catches characters the new encoding cannot hold written without the
// user's leave, a page's META left declaring the old charset (or changed
// invisibly, or in several undo steps), a page without one not offered
// one, and the file not written in the new encoding.
TEST_F(DocumentsTest, SaveInAnotherEncodingConvertsListsAndDeclares) {
    const std::string smile = "\xf0\x9f\x98\x80";
    const std::string nichi = "\xe6\x97\xa5";
    const std::string page =
        "<HTML><HEAD>\r\n<META http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=UTF-8\">\r\n</HEAD><BODY>" +
        nichi + smile + "</BODY></HTML>";
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        Session s;
        s.w.tag = true;
        const std::string path = dir.file("page.htm");
        test::writeFile(path, page);
        s.sd.odMain->choose(path);
        s.d.Open2Click();
        ASSERT_EQ(s.d.encoding(), TextEncoding::Utf8);
        s.sd.messages->answerChoice(0);                // Shift_JIS
        s.sd.messages->answerChoice(replace ? 0 : 1);  // 置き換えて保存 or ｷｬﾝｾﾙ
        const SaveOutcome outcome = s.d.saveInEncoding();
        ASSERT_EQ(s.sd.messages->choiceQuestions().size(), 2u);
        EXPECT_NE(s.sd.messages->choiceQuestions()[1].find(smile), std::string::npos);
        if (!replace) {
            EXPECT_EQ(outcome, SaveOutcome::Cancelled);
            EXPECT_EQ(s.e.text(), page);
            EXPECT_EQ(test::readFile(path), page);
            continue;
        }
        EXPECT_EQ(outcome, SaveOutcome::Saved);
        EXPECT_EQ(s.d.encoding(), TextEncoding::ShiftJis);
        const std::string saved = test::readFile(path);
        EXPECT_NE(saved.find("charset=Shift_JIS\">"), std::string::npos) << saved;
        EXPECT_NE(saved.find("<BODY>\x93\xfa?</BODY>"), std::string::npos);
        EXPECT_EQ(s.e.text(), saved);
        s.e.undo();
        EXPECT_NE(s.e.text().find("charset=UTF-8"), std::string::npos) << "one step back";
    }

    // A page without a declaration is offered one, behind its HEAD tag.
    Session s;
    s.w.tag = true;
    const std::string path = dir.file("bare.htm");
    test::writeFile(path, "<HTML><HEAD>\r\n<TITLE>t</TITLE></HEAD></HTML>");
    s.sd.odMain->choose(path);
    s.d.Open2Click();
    s.sd.messages->answerChoice(1);  // UTF-8
    s.sd.messages->answerChoice(0);  // 追加する
    EXPECT_EQ(s.d.saveInEncoding(), SaveOutcome::Saved);
    EXPECT_EQ(test::readFile(path),
              "<HTML><HEAD>\r\n<META http-equiv=\"Content-Type\" content=\"text/html; "
              "charset=UTF-8\">\r\n<TITLE>t</TITLE></HEAD></HTML>");
}

// A file whose in-place save was killed midway may be a mixture of old and
// new contents, the old ones only in a hidden copy. Catches such a file
// opened without a word, the copy's contents not given on request or given
// as if saved (closing would lose them), the copy removed before the file is
// whole again, and a copy left behind after a save has made it whole (the
// question would come back for a repaired file).
TEST_F(DocumentsTest, InterruptedSaveIsToldAndItsOldContentsOffered) {
    const std::string old = "old\r\ncontents\r\n";
    for (const bool take : {true, false}) {
        SCOPED_TRACE(take ? "yes" : "no");
        test::TempDir folder;
        test::Environment environment;
        environment.set("XDG_CACHE_HOME", folder.file("cache").c_str());
        const std::string path = folder.file("page.txt");
        test::writeFile(path, old);
        // A second name makes the save go in place.
        ASSERT_EQ(::link(path.c_str(), folder.file("other.txt").c_str()), 0);
        ASSERT_GT(test::interruptSaveInPlace(path, std::string(64, 'n')), 0);
        const std::string mixed = test::readFile(path);
        std::set<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            left.insert(entry.path().filename().string());
        ASSERT_EQ(left.size(), 3u);
        left.erase("page.txt");
        left.erase("other.txt");
        const std::string backup = folder.file(*left.begin());

        Session s;
        s.sd.messages->answerYesNo(take);
        s.sd.odMain->choose(path);
        s.d.Open1Click();
        ASSERT_EQ(s.sd.messages->questions().size(), 1u);
        const std::string& question = s.sd.messages->questions()[0];
        EXPECT_NE(question.find(path), std::string::npos) << question;
        EXPECT_NE(question.find(backup), std::string::npos) << question;
        EXPECT_EQ(s.d.CurrentFile(), path);
        EXPECT_EQ(s.e.text(), take ? old : mixed);
        EXPECT_EQ(s.e.modified(), take);
        EXPECT_TRUE(std::filesystem::exists(backup));

        EXPECT_EQ(s.d.Save1Click(), SaveOutcome::Saved);
        EXPECT_EQ(test::readFile(path), take ? old : mixed);
        EXPECT_FALSE(std::filesystem::exists(backup));
        EXPECT_TRUE(s.sd.messages->errors().empty());
    }
}

// Catches a copy started with the switch in the path's argument, a copy for
// a vanished file, and the window's own document touched.
TEST_F(DocumentsTest, TextModeOpenHandsFilesToCopies) {
    struct Row {
        const char* name;
        const char* file;
        int kvnHtml;
        Args args;  // with the path appended
    };
    const Row rows[] = {
        {"text file", "a.txt", 2, {}},
        {"page, kvnHtml 0", "p.htm", 0, {}},
        {"page, kvnHtml 1", "p.htm", 1, {"/h"}},
        {"page, kvnHtml 2", "p.html", 2, {"/t"}},
        {"upper-case page is no page", "P.HTM", 2, {}},
    };
    type("typed");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        settings.options.kvnHtml = r.kvnHtml;
        const std::string path = file(r.file, "x");
        scripted.odMain->choose(path);
        docs.Open1Click();
        Args want = r.args;
        want.push_back(path);
        ASSERT_FALSE(copies().empty());
        EXPECT_EQ(copies().back(), want);
    }
    EXPECT_EQ(copies().size(), 5u);
    EXPECT_EQ(edit.text(), "typed");
    EXPECT_EQ(docs.CurrentFile(), kUntitled);

    settings.options.kvnHtml = 9;  // a value of no meaning starts nothing
    scripted.odMain->choose(file("q.htm", "x"));
    docs.Open1Click();
    scripted.odMain->choose(dir.file("gone.txt"));
    docs.Open1Click();
    EXPECT_EQ(copies().size(), 5u);
}

// --- tag mode's Open ---

// Catches mvxHtml ignored, a converted text that keeps the file's name (a
// save would overwrite the text file with HTML), and the image button left
// off after opening a page.
TEST_F(DocumentsTest, TagModeOpenFollowsMvxHtml) {
    window.tag = true;
    settings.options.mvxHtml = 1;
    const std::string notes = file("notes.txt", "a<b\r\n");
    scripted.odMain->choose(notes);
    docs.Open2Click();
    EXPECT_TRUE(window.tag);
    EXPECT_EQ(docs.CurrentFile(), kUntitled);
    EXPECT_NE(edit.text().find("a&lt;b<BR>"), std::string::npos);
    EXPECT_EQ(edit.text().find("<TITLE>"), std::string::npos);
    EXPECT_TRUE(highlighter.TagsHighlighted());
    EXPECT_TRUE(coloured());
    EXPECT_FALSE(edit.modified());
    EXPECT_EQ(window.lastRename(), kUntitled);

    // The converted page has no name yet: saving asks, offering "html".
    const std::string out = dir.file("notes");
    scripted.sdMain->choose(out);
    EXPECT_EQ(docs.Save2Click(), SaveOutcome::Saved);
    EXPECT_EQ(scripted.sdMain->shown().back().defaultExtension, "html");
    EXPECT_EQ(docs.CurrentFile(), out + ".html");
    EXPECT_EQ(test::readFile(out + ".html"), edit.text());
    EXPECT_EQ(window.lastRename(), out + ".html");
}

TEST_F(DocumentsTest, TagModeOpenOfTextSwitchesToTextModeWithMvxHtml0) {
    // Catches the colouring left on text that is no longer tag source.
    window.tag = true;
    settings.options.mvxHtml = 0;
    edit.setText("<B>");
    highlighter.html1Click();
    edit.setText({});
    const std::string notes = file("notes.txt", "plain\n");
    scripted.odMain->choose(notes);
    docs.Open2Click();
    EXPECT_FALSE(window.tag);
    EXPECT_FALSE(highlighter.TagsHighlighted());
    EXPECT_EQ(edit.text(), "plain\r\n");
    EXPECT_EQ(docs.CurrentFile(), notes);
    EXPECT_EQ(window.caption, "korvane -" + notes + "-");
}

// A file without extension or ending in .TXT is tag source: catches a
// case-folded or missing-extension test that converts it.
TEST_F(DocumentsTest, TagModeOpenTakesOtherFilesAsSource) {
    for (const char* name : {"README", "NOTES.TXT"}) {
        SCOPED_TRACE(name);
        docs.forgetFile();
        edit.setText({});
        window.tag = true;
        window.renamedTo.clear();
        const std::string path = file(name, "<P>x");
        scripted.odMain->choose(path);
        docs.Open2Click();
        EXPECT_EQ(edit.text(), "<P>x");
        EXPECT_EQ(docs.CurrentFile(), path);
        EXPECT_EQ(window.lastRename(), path);
        EXPECT_TRUE(coloured());
    }
    // Now the window holds a document: the next one goes to a copy as source.
    const std::string other = file("other", "y");
    scripted.odMain->choose(other);
    docs.Open2Click();
    const std::string notes = file("n.txt", "y");
    scripted.odMain->choose(notes);
    docs.Open2Click();
    settings.options.mvxHtml = 0;
    scripted.odMain->choose(notes);
    docs.Open2Click();
    EXPECT_EQ(copies(), (std::vector<Args>{{"/h", other}, {"/t", notes}, {notes}}));
}

// --- saving ---

// Catches the default extension not appended, a save that asks again after
// the dialog (which asks before it returns an existing file's name), a
// caption that still names the old file, and Modified left set.
TEST_F(DocumentsTest, SaveAsAppendsExtensionAndReplacesWhatTheDialogConfirmed) {
    type("\x93\xfa\x96\x7b\r\nend");
    const std::string existing = file("old.txt", "old");
    scripted.sdMain->choose(dir.file("name"));
    EXPECT_EQ(docs.Save1Click(), SaveOutcome::Saved);
    EXPECT_EQ(docs.CurrentFile(), dir.file("name.txt"));
    EXPECT_EQ(test::readFile(dir.file("name.txt")), "\x93\xfa\x96\x7b\r\nend");
    EXPECT_EQ(window.caption, "korvane -" + dir.file("name.txt") + "-");
    EXPECT_FALSE(edit.modified());
    const FileDialogQuery& shown = scripted.sdMain->shown().back();
    EXPECT_EQ(shown.kind, FileDialogKind::Save);
    EXPECT_EQ(shown.defaultExtension, "txt");
    EXPECT_EQ(shown.filters.size(), 3u);

    scripted.sdMain->choose(existing);
    EXPECT_EQ(docs.SaveAs1Click(), SaveOutcome::Saved);
    EXPECT_EQ(test::readFile(existing), "\x93\xfa\x96\x7b\r\nend");
    EXPECT_TRUE(scripted.messages->saveQuestions().empty());

    // A named document saves without a dialog.
    type("!");
    EXPECT_EQ(docs.Save1Click(), SaveOutcome::Saved);
    EXPECT_EQ(test::readFile(existing), "\x93\xfa\x96\x7b\r\nend!");
    EXPECT_EQ(scripted.sdMain->shown().size(), 2u);
}

// Catches a cancelled dialog that renames or writes.
TEST_F(DocumentsTest, CancelledSaveChangesNothing) {
    type("x");
    scripted.sdMain->cancel();
    EXPECT_EQ(docs.Save1Click(), SaveOutcome::Cancelled);
    EXPECT_EQ(docs.CurrentFile(), kUntitled);
    EXPECT_TRUE(edit.modified());
    EXPECT_EQ(window.caption, "korvane");
}

// The background picture in tag mode: catches the editor's text rewritten,
// and a full path written by Save As or by the Save after it (one page,
// two different files depending on the command that wrote it).
TEST_F(DocumentsTest, TagModeSavesWriteThePictureRelative) {
    window.tag = true;
    const std::string picture = dir.file("img/bg.jpg");
    settings.page.BackPicture = encodeShiftJisFromUtf8(picture).bytes;
    settings.page.BackPictureOn = true;
    const std::string text = "<BODY background=\"" + settings.page.BackPicture + "\">";
    edit.setText(text);
    scripted.sdMain->choose(dir.file("index.html"));
    EXPECT_EQ(docs.SaveAs2Click(), SaveOutcome::Saved);
    EXPECT_EQ(test::readFile(dir.file("index.html")), "<BODY background=\"img/bg.jpg\">");
    EXPECT_EQ(edit.text(), text);
    EXPECT_EQ(window.caption, "morvix -" + dir.file("index.html") + "-");
    EXPECT_EQ(window.lastRename(), dir.file("index.html"));
    edit.setSelStart(edit.textLength());
    edit.replaceSelection("<P>more</P>");
    EXPECT_EQ(docs.Save2Click(), SaveOutcome::Saved);
    EXPECT_EQ(test::readFile(dir.file("index.html")),
              "<BODY background=\"img/bg.jpg\"><P>more</P>");
    EXPECT_EQ(edit.text(), text + "<P>more</P>");
}

// Catches a failure reported as success, a message without the path, the old
// file damaged, and the new name undone (the next Save must go there too).
TEST_F(DocumentsTest, WriteFailureIsReportedAndKeepsTheOldFile) {
    type("new");
    const std::string locked = file("locked.txt", "old\r\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    scripted.sdMain->choose(locked);
    EXPECT_EQ(docs.SaveAs1Click(), SaveOutcome::Failed);
    EXPECT_EQ(errors(), (std::vector<std::string>{"ファイル " + locked + " を作成できません"}));
    EXPECT_EQ(test::readFile(locked), "old\r\n");
    EXPECT_EQ(docs.CurrentFile(), locked);
    EXPECT_EQ(window.caption, "korvane -" + locked + "-");
    EXPECT_TRUE(edit.modified());
}

// Convert and save: catches the document renamed, the editor showing the
// page, the picture left absolute, and Modified left set (or cleared after a
// failure).
TEST_F(DocumentsTest, ConvertAndSaveExportsThePage) {
    settings.page.BackPicture = encodeShiftJisFromUtf8(dir.file("bg.gif")).bytes;
    settings.page.BackPictureOn = true;
    window.title = "T";
    type("a<b");
    scripted.sdHtml->choose(dir.file("sub/../page"));
    docs.htmlH1Click();
    EXPECT_EQ(scripted.sdHtml->shown().back().defaultExtension, "htm");
    EXPECT_EQ(scripted.sdHtml->shown().back().filters.size(), 2u);
    EXPECT_EQ(errors().size(), 1u);  // "sub" does not exist: nothing written
    EXPECT_TRUE(edit.modified());

    scripted.sdHtml->choose(dir.file("page"));
    docs.htmlH1Click();
    const std::string page = test::readFile(dir.file("page.htm"));
    EXPECT_NE(page.find("<TITLE>T</TITLE>"), std::string::npos);
    EXPECT_NE(page.find("<BODY background=\"bg.gif\">"), std::string::npos);
    EXPECT_NE(page.find("a&lt;b"), std::string::npos);
    EXPECT_EQ(edit.text(), "a<b");
    EXPECT_FALSE(edit.modified());
    EXPECT_EQ(docs.CurrentFile(), kUntitled);
    EXPECT_EQ(window.caption, "korvane");
}

// The options choose UTF-8 for new pages: catches a new document still in
// Shift_JIS, its page declaring Shift_JIS or writing the title box, the
// background picture's location or a tab's full-width spaces in Shift_JIS
// bytes, and a Korean character lost on the way.
TEST_F(DocumentsTest, NewPagesInUtf8AreUtf8Throughout) {
    test::MemoryEditControl e;
    TagHighlighter h{e};
    StartupSettings s;
    s.options.newPageEncoding = 1;
    s.options.tab = 0;  // one full-width space
    s.page.BackPicture = encodeShiftJisFromUtf8(dir.file("\xe7\x94\xbb.gif")).bytes;  // 画
    s.page.BackPictureOn = true;
    test::ScriptedDialogs sd;
    CommonDialogs cd = sd.release();
    test::RecordingShell sh;
    FakeWindow w;
    Documents d{e, h, s, cd, sh, w};
    w.docs = &d;
    EXPECT_EQ(d.encoding(), TextEncoding::Utf8);
    EXPECT_EQ(&e.codec(), &utf8Codec());
    w.title = "\x93\xfa";  // 日, as the title box holds it
    e.setText("\xed\x95\x9c\t");
    sd.sdHtml->choose(dir.file("page.htm"));
    d.htmlH1Click();
    const std::string page = test::readFile(dir.file("page.htm"));
    EXPECT_NE(page.find("charset=UTF-8\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<TITLE>\xe6\x97\xa5</TITLE>"), std::string::npos);
    EXPECT_NE(page.find("background=\"\xe7\x94\xbb.gif\""), std::string::npos);
    EXPECT_NE(page.find("\xed\x95\x9c\xe3\x80\x80"), std::string::npos);
}

// A file another program changed: catches a save that writes over it
// without a word, a change asked about again at every activation or save,
// a reload that loses unsaved text without the usual question, and the
// program's own saves taken for another program's.
TEST_F(DocumentsTest, AFileChangedElsewhereIsAskedAboutOnce) {
    const std::string path = file("page.txt", "first\r\n");
    scripted.odMain->choose(path);
    docs.Open1Click();
    type("mine");
    EXPECT_EQ(docs.Save1Click(), SaveOutcome::Saved);
    docs.checkDisk();
    EXPECT_TRUE(scripted.messages->choiceQuestions().empty());

    test::writeFile(path, "theirs, longer\r\n");
    type("!");
    scripted.messages->answerYesNo(false);
    EXPECT_EQ(docs.Save1Click(), SaveOutcome::Cancelled);
    EXPECT_EQ(test::readFile(path), "theirs, longer\r\n");
    ASSERT_EQ(scripted.messages->questions().size(), 1u);
    EXPECT_NE(scripted.messages->questions()[0].find(path), std::string::npos);
    docs.checkDisk();  // told already
    EXPECT_TRUE(scripted.messages->choiceQuestions().empty());

    test::writeFile(path, "theirs again\r\n");
    scripted.messages->answerChoice(0);                 // read it again
    scripted.messages->answerSave(SaveAnswer::Cancel);  // ... but not over unsaved text
    docs.checkDisk();
    EXPECT_EQ(edit.text(), "first\r\nmine!");
    test::writeFile(path, "theirs at last\r\n");
    scripted.messages->answerChoice(0);
    scripted.messages->answerSave(SaveAnswer::No);
    docs.checkDisk();
    EXPECT_EQ(edit.text(), "theirs at last\r\n");
    EXPECT_FALSE(edit.modified());
    EXPECT_EQ(scripted.messages->choiceQuestions().size(), 2u);

    std::filesystem::remove(path);
    docs.checkDisk();
    EXPECT_EQ(scripted.messages->messages().size(), 1u);
    EXPECT_TRUE(edit.modified());  // the editor holds the only copy now
    docs.checkDisk();
    EXPECT_EQ(scripted.messages->messages().size(), 1u);
}

// Catches a file's LF line breaks turned CR LF by a save, and a line typed
// into it given CR LF.
TEST_F(DocumentsTest, ASaveKeepsTheFilesLineBreaks) {
    const std::string path = file("notes.txt", "a\nb\n");
    scripted.odMain->choose(path);
    docs.Open1Click();
    EXPECT_EQ(edit.text(), "a\r\nb\r\n");
    type("c\r\n");
    EXPECT_EQ(docs.Save1Click(), SaveOutcome::Saved);
    EXPECT_EQ(test::readFile(path), "a\nb\nc\n");
}

// --- the close question ---

// The three answers and a failed save: catches a window that closes on
// Cancel, a text lost when the name dialog is cancelled, an error box inside
// the question, and a question asked for an unmodified text.
TEST_F(DocumentsTest, CloseQuestion) {
    EXPECT_TRUE(docs.FormCloseQuery());
    EXPECT_TRUE(scripted.messages->saveQuestions().empty());

    type("unsaved");
    scripted.messages->answerSave(SaveAnswer::Cancel);
    EXPECT_FALSE(docs.FormCloseQuery());
    EXPECT_EQ(edit.text(), "unsaved");
    EXPECT_TRUE(edit.modified());
    EXPECT_EQ(scripted.messages->saveQuestions(), (std::vector<std::string>{kSaveQuestionText}));

    scripted.messages->answerSave(SaveAnswer::No);
    EXPECT_TRUE(docs.FormCloseQuery());

    scripted.messages->answerSave(SaveAnswer::Yes);
    scripted.sdMain->cancel();
    EXPECT_FALSE(docs.FormCloseQuery());
    EXPECT_EQ(edit.text(), "unsaved");

    const std::string locked = file("locked.txt", "old");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    scripted.messages->answerSave(SaveAnswer::Yes);
    scripted.sdMain->choose(locked);
    EXPECT_FALSE(docs.FormCloseQuery());
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(test::readFile(locked), "old");

    // Outside the question the same failure is shown again.
    EXPECT_EQ(docs.Save1Click(), SaveOutcome::Failed);
    EXPECT_EQ(errors().size(), 1u);

    scripted.messages->answerSave(SaveAnswer::Yes);
    scripted.sdMain->choose(dir.file("saved.txt"));
    docs.forgetFile();
    EXPECT_TRUE(docs.FormCloseQuery());
    EXPECT_EQ(test::readFile(dir.file("saved.txt")), "unsaved");
    EXPECT_FALSE(edit.modified());
    EXPECT_TRUE(docs.FormCloseQuery());
    EXPECT_EQ(scripted.messages->saveQuestions().size(), 5u);
}

// Tag mode's Yes runs tag mode's save: catches the text-mode dialog (with
// "txt") used for a page.
TEST_F(DocumentsTest, CloseQuestionSavesInTheModeShown) {
    window.tag = true;
    type("<P>");
    scripted.messages->answerSave(SaveAnswer::Yes);
    scripted.sdMain->choose(dir.file("p"));
    EXPECT_TRUE(docs.FormCloseQuery());
    EXPECT_EQ(test::readFile(dir.file("p.html")), "<P>");
}

// --- drops ---

// Catches every dropped file sent to a copy (or all into the window), a copy
// for the first file, and a zero-byte file that wrongly counts as content.
TEST_F(DocumentsTest, DropsOpenTheFirstHereAndHandOnTheRest) {
    const std::string a = file("a.txt", "A");
    const std::string b = file("b.txt", "B");
    const std::string c = file("c.txt", "C");
    docs.WMDropFiles({a, b, c});
    EXPECT_EQ(edit.text(), "A");
    EXPECT_EQ(docs.CurrentFile(), a);
    EXPECT_EQ(window.caption, "korvane -" + a + "-");
    EXPECT_EQ(copies(), (std::vector<Args>{{b}, {c}}));
}

TEST_F(DocumentsTest, DropAfterAZeroByteFileGoesToACopy) {
    // An empty file still names the document, so the window is no longer a
    // new one: catches the window judged by its text alone, which would
    // rename the document the user just opened.
    const std::string empty = file("empty.txt", "");
    const std::string b = file("b.txt", "B");
    docs.WMDropFiles({empty, b});
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(docs.CurrentFile(), empty);
    EXPECT_EQ(copies(), (std::vector<Args>{{b}}));
}

// An empty page stripped of its tags leaves a new, empty document (no name,
// no text): catches the next dropped file sent to a copy although this
// window is free to take it.
TEST_F(DocumentsTest, DropAfterAnEmptyStrippedPageOpensHere) {
    settings.options.kvnHtml = 2;
    const std::string empty = file("empty.htm", "");
    const std::string b = file("b.txt", "B");
    docs.WMDropFiles({empty, b});
    EXPECT_EQ(edit.text(), "B");
    EXPECT_EQ(docs.CurrentFile(), b);
    EXPECT_TRUE(copies().empty());
}

// Drops read kvnHtml in both modes and never mvxHtml: catches a text file
// converted in tag mode, a page switched by case-folded extension, and a
// dropped page that turns tag mode's highlighting off.
TEST_F(DocumentsTest, DropsFollowKvnHtmlInEitherMode) {
    settings.options.mvxHtml = 1;
    window.tag = true;
    const std::string notes = file("notes.txt", "<no>");
    docs.WMDropFiles({notes});
    EXPECT_TRUE(window.tag);
    EXPECT_EQ(edit.text(), "<no>");
    EXPECT_EQ(docs.CurrentFile(), notes);

    docs.forgetFile();
    edit.setText({});
    window.tag = false;
    settings.options.kvnHtml = 1;
    const std::string upper = file("PAGE.HTM", "<P>");
    docs.WMDropFiles({upper});
    EXPECT_FALSE(window.tag);
    EXPECT_EQ(edit.text(), "<P>");
    EXPECT_EQ(docs.CurrentFile(), upper);

    docs.forgetFile();
    edit.setText({});
    window.tag = true;
    highlighter.forceWholeTextPass();
    const std::string page = file("p.htm", "<P>x");
    docs.WMDropFiles({page});
    EXPECT_TRUE(window.tag);
    EXPECT_TRUE(highlighter.TagsHighlighted());
    EXPECT_TRUE(coloured());
}

// Catches a dropped folder started as a copy, an unreadable file that lets
// the remaining drops through, and a read failure without a message.
TEST_F(DocumentsTest, DroppedFoldersAndUnreadableFiles) {
    type("x");
    docs.WMDropFiles({dir.path()});
    EXPECT_TRUE(copies().empty());

    edit.setText({});
    const std::string b = file("b.txt", "B");
    docs.WMDropFiles({dir.path(), b});
    EXPECT_EQ(errors(), (std::vector<std::string>{"ファイル " + dir.path() + " は開けません"}));
    EXPECT_EQ(docs.CurrentFile(), dir.path());
    EXPECT_TRUE(copies().empty());
    EXPECT_EQ(edit.text(), "");
}

// --- start-up ---

// No file at start-up: catches a caption left at the design caption.
TEST_F(DocumentsTest, CommandLineWithoutFiles) {
    docs.interpretCommandLine({});
    EXPECT_FALSE(window.tag);
    EXPECT_EQ(docs.CurrentFile(), kUntitled);
    EXPECT_EQ(window.caption, "korvane -Untitled-");
}

// Catches the switches' file loaded in the wrong mode, a conversion that
// keeps the file's name, and the caption left at the design caption.
TEST_F(DocumentsTest, CommandLineSwitches) {
    const std::string page = file("a.htm", kPage);
    docs.interpretCommandLine({StartupKind::OpenAsHtml, {page}});
    EXPECT_TRUE(window.tag);
    EXPECT_EQ(edit.text(), kPage);
    EXPECT_EQ(window.caption, "morvix -" + page + "-");
    EXPECT_FALSE(highlighter.TagsHighlighted());  // the first activation colours it
    EXPECT_FALSE(edit.modified());
}

TEST_F(DocumentsTest, CommandLineConvertsPagesAndTexts) {
    // Page to text: the title box gets the page's title.
    const std::string page = file("a.HTML", kPage);
    docs.interpretCommandLine({StartupKind::Convert, {page}});
    EXPECT_FALSE(window.tag);
    EXPECT_EQ(window.title, "\x93\xfa\x8b\x4c");
    EXPECT_EQ(docs.CurrentFile(), kUntitled);
    EXPECT_EQ(window.caption, "korvane -Untitled-");
    EXPECT_FALSE(edit.modified());
}

TEST_F(DocumentsTest, CommandLineConvertsTextToAnUntitledPage) {
    // Catches a page with the old title box's title, or without tag mode.
    window.title = "stale";
    const std::string text = file("a.txt", "x\r\n");
    docs.interpretCommandLine({StartupKind::Convert, {text}});
    EXPECT_TRUE(window.tag);
    EXPECT_NE(edit.text().find("x<BR>"), std::string::npos);
    EXPECT_EQ(edit.text().find("<TITLE>"), std::string::npos);
    EXPECT_EQ(window.caption, "morvix -Untitled-");
    EXPECT_FALSE(edit.modified());
    // The new page has no file: saving asks for one (a page, not a text).
    type("!");
    scripted.sdMain->choose(dir.file("page"));
    EXPECT_EQ(docs.Save2Click(), SaveOutcome::Saved);
    EXPECT_EQ(scripted.sdMain->shown().back().defaultExtension, "html");
    EXPECT_NE(test::readFile(dir.file("page.html")).find("x<BR>"), std::string::npos);
    EXPECT_EQ(test::readFile(text), "x\r\n");
}

// A switch with a path that names no file: catches a mode change or a load
// attempt (with an error box) for a file that does not exist.
TEST_F(DocumentsTest, CommandLineSwitchWithoutFileKeepsTheName) {
    const std::string missing = dir.file("none.htm");
    docs.interpretCommandLine({StartupKind::OpenAsHtml, {missing}});
    EXPECT_FALSE(window.tag);
    EXPECT_EQ(docs.CurrentFile(), missing);
    EXPECT_EQ(window.caption, "korvane -" + missing + "-");  // the file a save writes
    EXPECT_TRUE(errors().empty());
    type("x");
    EXPECT_EQ(docs.Save1Click(), SaveOutcome::Saved);  // no dialog: the name stands
    EXPECT_EQ(test::readFile(missing), "x");
}

// The plain list: catches a second file opened over the first, a missing
// first file that sends the next to a copy, and an existence test before a
// copy (there is none on this path).
TEST_F(DocumentsTest, CommandLineFileList) {
    settings.options.kvnHtml = 2;
    const std::string missing = dir.file("none.txt");
    const std::string empty = file("empty.txt", "");
    const std::string a = file("a.txt", "A");
    const std::string b = file("b.txt", "B");
    const std::string page = file("p.HTM", kPage);
    const std::string gone = dir.file("gone.htm");
    docs.interpretCommandLine({StartupKind::FileList, {missing, empty, a, b, page, gone}});
    EXPECT_EQ(docs.CurrentFile(), a);
    EXPECT_EQ(edit.text(), "A");
    EXPECT_EQ(window.caption, "korvane -" + a + "-");
    EXPECT_EQ(copies(), (std::vector<Args>{{b}, {"/t", page}, {"/t", gone}}));
}

// Names the command line could not resolve (the working folder is gone):
// catches a refusal nobody is told about, a document named after such a
// name (a save would write into "/"), a copy started for one, and the
// resolvable names left unopened.
TEST_F(DocumentsTest, CommandLineRefusedNames) {
    const std::string a = file("a.txt", "A");
    const std::string b = file("b.txt", "B");
    struct Row {
        const char* name;
        Params params;
        std::string currentFile;
        std::string text;
        std::vector<Args> copies;
    };
    const Row rows[] = {
        {"relative name", {"a.txt"}, kUntitled, "", {}},
        {"/h and a relative name", {"/h", "a.txt"}, kUntitled, "", {}},
        {"/t and a relative name", {"/t", "a.txt"}, kUntitled, "", {}},
        {"refused among absolute names", {"x.txt", a, "y.txt", b}, a, "A", {{b}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Session s;
        const StartupPlan plan = parseCommandLine(r.params, "");
        ASSERT_FALSE(plan.refused.empty());
        s.d.interpretCommandLine(plan);
        std::vector<std::string> told;
        for (const RefusedName& refused : plan.refused)
            told.push_back(refusedNameText(refused));
        EXPECT_EQ(s.sd.messages->errors(), told);
        EXPECT_EQ(s.d.CurrentFile(), r.currentFile);
        EXPECT_EQ(s.e.text(), r.text);
        EXPECT_EQ(s.w.caption, "korvane -" + r.currentFile + "-");
        EXPECT_EQ(s.sh.startedCopies(), r.copies);
    }
    // The untitled document asks where to save.
    Session s;
    s.d.interpretCommandLine(parseCommandLine({"a.txt"}, ""));
    s.e.replaceSelection("x");
    s.sd.sdMain->cancel();
    EXPECT_EQ(s.d.Save1Click(), SaveOutcome::Cancelled);
    EXPECT_EQ(s.sd.sdMain->shown().size(), 1u);
}

TEST_F(DocumentsTest, CommandLinePageIntoTagModeWithKvnHtml1) {
    // Catches ".HTM" treated as text at start-up.
    settings.options.kvnHtml = 1;
    const std::string page = file("P.HTM", kPage);
    docs.interpretCommandLine({StartupKind::FileList, {page}});
    EXPECT_TRUE(window.tag);
    EXPECT_EQ(window.caption, "morvix -" + page + "-");
}

// --- the rest ---

// New starts a copy without arguments; a switch of mode forgets the dialogs'
// names: catches a New that replaces this window's document.
TEST_F(DocumentsTest, NewAndForgetFile) {
    type("keep");
    docs.New1Click();
    EXPECT_EQ(copies(), (std::vector<Args>{{}}));
    EXPECT_EQ(edit.text(), "keep");

    scripted.sdMain->choose(dir.file("a.txt"));
    docs.SaveAs1Click();
    EXPECT_FALSE(dialogs.sdMain->fileName().empty());
    docs.forgetFile();
    EXPECT_EQ(docs.CurrentFile(), kUntitled);
    EXPECT_TRUE(dialogs.sdMain->fileName().empty());
    EXPECT_TRUE(dialogs.odMain->fileName().empty());
}

}  // namespace
}  // namespace korvane
