// The Qt editor in UTF-8 and EUC-JP: what comes in from the keyboard, input
// methods and the clipboard, a change of codec, and long runs of random
// edits checked against the in-memory control, a plain byte model.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <random>
#include <string>
#include <vector>

#include "base/text_codec.h"
#include "editor/rich_edit.h"
#include "tests/support/edit_control_contract.h"
#include "tests/support/memory_edit_control.h"

namespace korvane {
namespace {

const std::string kKorean = "\xed\x95\x9c\xea\xb8\x80";  // 한글
const std::string kEmoji = "\xf0\x9f\x98\x80";           // 😀

class RichEditCodecTest : public ::testing::Test {
  protected:
    RichEditCodecTest() {
        m_edit.resize(1000, 400);
        m_edit.show();
        m_edit.setReplacementNotifier([this](const QString& m) { m_notices.push_back(m); });
    }
    void type(const QString& text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(&m_edit, &press);
    }

    RichEdit m_edit;
    std::vector<QString> m_notices;
};

// Catches UTF-8 documents that still filter what comes in to Shift_JIS
// (Korean and emoji replaced by "?"), and EUC-JP documents that let in what
// they cannot hold or tell the user about Shift_JIS.
TEST_F(RichEditCodecTest, IncomingTextIsKeptOrReplacedByTheCodec) {
    const QString korean = QString::fromUtf8(kKorean);
    const QString emoji = QString::fromUtf8(kEmoji);
    struct Row {
        const char* name;
        const TextCodec* codec;
        std::string expected;  // of typing, committing and pasting Korean, then an emoji
        const char* charset;   // named in the notice; null: no notice
    };
    const Row rows[] = {
        {"UTF-8 holds everything", &utf8Codec(), kKorean + kEmoji, nullptr},
        {"EUC-JP replaces", &eucJpCodec(), "???", "EUC-JP"},
        {"Shift_JIS replaces", &shiftJisCodec(), "???", "Shift_JIS"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_edit.setText("");
        m_edit.setCodec(*row.codec);
        m_notices.clear();
        type(korean);
        type(emoji);
        EXPECT_EQ(m_edit.text(), row.expected) << "typed";
        m_edit.setText("");
        QInputMethodEvent commit;
        commit.setCommitString(korean + emoji);
        QApplication::sendEvent(&m_edit, &commit);
        EXPECT_EQ(m_edit.text(), row.expected) << "committed";
        m_edit.setText("");
        QApplication::clipboard()->setText(korean + emoji);
        m_edit.paste();
        EXPECT_EQ(m_edit.text(), row.expected) << "pasted";
        if (row.charset == nullptr) {
            EXPECT_TRUE(m_notices.empty());
        } else {
            ASSERT_EQ(m_notices.size(), 4u);
            for (const QString& notice : m_notices)
                EXPECT_TRUE(notice.startsWith(QString::fromLatin1(row.charset))) << "the tip";
        }
        // The emoji is one character: a caret never stands inside it.
        if (row.codec == &utf8Codec()) {
            m_edit.setSelStart(kKorean.size() + 2);
            EXPECT_EQ(m_edit.selStart(), kKorean.size());
            m_edit.setSelection(kKorean.size(), kKorean.size() + 4);
            EXPECT_EQ(m_edit.selText(), kEmoji);
        }
    }
    m_edit.setCodec(shiftJisCodec());
}

// Catches a change of codec that leaves characters the new codec cannot
// hold in the document (the screen would show what the file will not
// hold), or replaces them without a word.
TEST_F(RichEditCodecTest, ChangeOfCodecReplacesWhatTheNewOneCannotHold) {
    m_edit.setCodec(utf8Codec());
    m_edit.setText("a" + kKorean + "\xe3\x81\x82");  // a 한글 あ
    m_notices.clear();
    m_edit.setCodec(shiftJisCodec());
    EXPECT_EQ(m_edit.text(), "a??\x82\xa0");
    ASSERT_EQ(m_notices.size(), 1u);
    EXPECT_TRUE(m_notices[0].contains(QString::fromUtf8("\xed\x95\x9c")));
    EXPECT_EQ(m_edit.document()->toPlainText(), QString::fromUtf8("a??\xe3\x81\x82"));
}

// One run of random edits on a RichEdit and the in-memory control in one
// codec, compared after every step; `grouped`: the text set at the start is
// held several lines to a paragraph, as a large text's lines are.
void compareWithByteModel(const TextCodec& codec, unsigned seed, int steps, bool grouped = false) {
    using test::contract::stateOf;
    RichEdit edit;
    if (grouped) {
        edit.setGroupLinesFrom(0);
        edit.setLeanLinesFrom(0);
    }
    edit.resize(4000, 400);  // no line wraps
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.show();
    edit.setReplacementNotifier([](const QString&) {});
    test::MemoryEditControl model;
    edit.setCodec(codec);
    model.setCodec(codec);

    std::vector<std::string> pieces = {"a",
                                       "<b>",
                                       "\r\n",
                                       " ",
                                       codec.fromUtf8("\xe6\x97\xa5\xe6\x9c\xac").bytes,  // 日本
                                       codec.fromUtf8("\xe3\x81\x82").bytes,              // あ
                                       codec.fromUtf8("\xef\xbd\xb1").bytes};             // ｱ
    if (&codec == &utf8Codec()) {
        pieces.push_back(kKorean);
        pieces.push_back(kEmoji);
        pieces.push_back("\xc3\xa9");  // é
        pieces.push_back("\xff");      // a byte of no character
    } else {
        // Not the bytes EUC-JP keeps as stand-ins: an edit may cut them
        // apart into bytes that read back as another character.
        pieces.push_back(codec.fromUtf8("\xe3\x80\x80").bytes);  // the ideographic space
    }
    std::mt19937 rng(seed);
    const auto piece = [&] { return pieces[rng() % pieces.size()]; };
    std::string text;
    // Held together, lines are what the edits must cross: many of them.
    for (int i = 0; i < (grouped ? 160 : 40); ++i)
        text += grouped && i % 4 == 3 ? std::string("\r\n") : piece();
    if (grouped) {
        // Loaded in pieces cut anywhere, as a file is: its lines are held
        // together, and those the codec writes as they are keep no bytes.
        const std::unique_ptr<EditControl::TextLoad> load = edit.beginTextLoad();
        const std::size_t cut = text.size() / 2 + 1;
        load->append(std::string_view(text).substr(0, cut));
        load->append(std::string_view(text).substr(cut));
        load->commit();
        ASSERT_LT(edit.document()->blockCount() * 8, static_cast<int>(edit.lineCount()));
        // EUC-JP keeps every byte: it reaches its characters through
        // CP932's tables, duplicates and all.
        if (&codec != &eucJpCodec()) {
            ASSERT_GT(edit.leanLineCount() * 4, edit.lineCount());
        }
    } else {
        edit.setText(text);
    }
    model.setText(text);
    const auto offset = [&] { return rng() % (model.textLength() + 2); };
    for (int step = 0; step < steps; ++step) {
        const unsigned op = rng() % 8;
        std::string what;
        if (op <= 2) {  // insert or replace at character boundaries
            const std::size_t a = offset();
            const std::size_t b = op == 0 ? a : offset();
            what = piece() + (rng() % 2 == 0 ? piece() : std::string());
            // The same text over itself is no change to the editor (its
            // colours stay); the model would colour it as inserted.
            model.setSelection(a, b);
            if (model.selText() == what)
                what += "a";
            for (EditControl* e :
                 {static_cast<EditControl*>(&edit), static_cast<EditControl*>(&model)}) {
                e->setSelection(a, b);
                e->replaceSelection(what);
            }
        } else if (op == 3) {  // delete
            const std::size_t a = offset();
            const std::size_t b = offset();
            for (EditControl* e :
                 {static_cast<EditControl*>(&edit), static_cast<EditControl*>(&model)}) {
                e->setSelection(a, b);
                e->clearSelection();
            }
        } else if (op == 4) {  // select
            const std::size_t a = offset();
            const std::size_t length = rng() % 12;
            for (EditControl* e :
                 {static_cast<EditControl*>(&edit), static_cast<EditControl*>(&model)}) {
                e->setSelStart(a);
                e->setSelLength(length);
            }
        } else if (op == 5) {  // colour
            const std::size_t a = offset();
            const std::size_t b = offset();
            const CharColor color =
                rng() % 3 == 0 ? CharColor::autoColor() : CharColor::of(test::contract::kRed);
            for (EditControl* e :
                 {static_cast<EditControl*>(&edit), static_cast<EditControl*>(&model)}) {
                e->setSelection(a, b);
                e->colorSelection(color);
            }
        } else if (op == 6) {  // colour in one sweep
            std::vector<std::pair<std::size_t, std::size_t>> ranges;
            std::size_t at = rng() % 8;
            for (int k = 0; k < 4; ++k) {
                const std::size_t end = at + rng() % 9;
                ranges.emplace_back(at, end);
                at = end + rng() % 9;
            }
            edit.colorRanges(ranges, CharColor::of(test::contract::kBlue));
            model.colorRanges(ranges, CharColor::of(test::contract::kBlue));
        } else if (model.canUndo()) {
            ASSERT_TRUE(edit.canUndo()) << "step " << step;
            edit.undo();
            model.undo();
            // What colour the text an undo brings back has is no part of
            // the contract (the highlighter colours it again): compared
            // without colours, then both start afresh without any.
            test::contract::ControlState edited = stateOf(edit);
            test::contract::ControlState modelled = stateOf(model);
            edited.colours = modelled.colours = "";
            ASSERT_EQ(edited, modelled) << "step " << step << ", undo";
            for (EditControl* e :
                 {static_cast<EditControl*>(&edit), static_cast<EditControl*>(&model)}) {
                const std::size_t start = e->selStart();
                const std::size_t length = e->selLength();
                e->setSelection(0, e->textLength());
                e->colorSelection(CharColor::autoColor());
                e->setSelStart(start);
                e->setSelLength(length);
            }
        }
        ASSERT_EQ(stateOf(edit), stateOf(model)) << "step " << step << ", op " << op;
        const std::string probe = piece();
        const std::size_t from = offset();
        ASSERT_EQ(edit.find(probe, from, edit.textLength(), false),
                  model.find(probe, from, model.textLength(), false))
            << "step " << step;
    }
}

TEST(RichEditCodecModel, Utf8EditsMatchTheByteModel) {
    compareWithByteModel(utf8Codec(), 11, 300);
}

TEST(RichEditCodecModel, EucJpEditsMatchTheByteModel) {
    compareWithByteModel(eucJpCodec(), 23, 300);
}

// The same over lines held several to a paragraph: an edit inside one, one
// that removes or makes a separator, one across paragraphs.
TEST(RichEditCodecModel, EditsOfLinesHeldTogetherMatchTheByteModel) {
    compareWithByteModel(shiftJisCodec(), 5, 300, true);
    compareWithByteModel(utf8Codec(), 17, 300, true);
    compareWithByteModel(eucJpCodec(), 29, 300, true);
}

}  // namespace
}  // namespace korvane
