// Tag colouring in the editor against the simplest thing Qt offers: a
// QSyntaxHighlighter that colours every "<...>" of a line on a bare
// QPlainTextEdit. Both run on a generated 1 MB page with about 45,000 tags,
// each until its colours are painted (offscreen).
//
// Rows: the whole-text pass (load the page, colour every tag through
// colorSelection, paint) and one keystroke inside a tag with the tags around
// the caret coloured again, each against the baseline doing the same; a
// keystroke without colouring for reference; and the memory taken. On a
// 10 MB page (the same page ten times): the whole-text pass against the
// baseline's; a keystroke with the editor's own
// highlighter object and Enter at the very end, each against a keystroke
// without colouring in the same page. The page check of the 1 MB page, as
// the check dialog runs it and alone, against the highlighter's whole-text
// pass over the page in the editor.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QVBoxLayout>
#include <QWidget>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "base/line_breaks.h"
#include "base/shift_jis.h"
#include "bench/bench_text.h"
#include "bench/ratio_report.h"
#include "bench/shown_editor.h"
#include "bench/tagged_page.h"
#include "edit/editor_keys.h"
#include "edit/tag_highlighter.h"
#include "editor/rich_edit.h"
#include "platform/memory_tuning.h"
#include "tags/document_check.h"
#include "tags/page_check.h"
#include "tags/page_files.h"
#include "tags/tf_check.h"

namespace {

using namespace korvane;

constexpr ColorValue kBlue = 0xFF0000;

const std::string& page() {
    return bench::taggedPage();
}

QString forQt(const std::string& bytes) {
    QString text = QString::fromStdU16String(decodeShiftJis(normalizeLineBreaks(bytes)));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::size_t tagCount() {
    return bench::countTags(page());
}

// The baseline: colours each "<...>" inside a line.
class TagLineHighlighter : public QSyntaxHighlighter {
  public:
    explicit TagLineHighlighter(QTextDocument* doc) : QSyntaxHighlighter(doc) {
        m_format.setForeground(QColor(0, 0, 255));
    }

  protected:
    void highlightBlock(const QString& text) override {
        qsizetype i = 0;
        while ((i = text.indexOf(u'<', i)) >= 0) {
            const qsizetype close = text.indexOf(u'>', i + 1);
            if (close < 0)
                break;
            setFormat(static_cast<int>(i), static_cast<int>(close - i + 1), m_format);
            i = close + 1;
        }
    }

  private:
    QTextCharFormat m_format;
};

template <typename Editor>
using Window = bench::ShownEditor<Editor>;

// Colours every tag of `text`, which starts at offset `base` of the edit
// control's text, as the highlighting passes do: one selection and one
// colour request per tag.
void colourTags(EditControl& edit, std::string_view text, std::size_t base) {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const void* open = std::memchr(p + i, '<', n - i);
        if (open == nullptr)
            break;
        const auto s = static_cast<std::size_t>(static_cast<const char*>(open) - p);
        const void* close = std::memchr(p + s, '>', n - s);
        if (close == nullptr)
            break;
        const auto e = static_cast<std::size_t>(static_cast<const char*>(close) - p) + 1;
        edit.setSelection(base + s, base + e);
        edit.colorSelection(CharColor::of(kBlue));
        i = e;
    }
}

void wholeTextPass(RichEdit& edit) {
    edit.setRedraw(false);
    edit.setVisible(false);
    edit.setSelStart(edit.textLength());
    edit.scrollCaret();
    edit.setEventMask(0);
    const std::string text = edit.text();
    colourTags(edit, text, 0);
    edit.setVisible(true);
    edit.setSelStart(0);
    edit.setSelLength(0);
    edit.setEventMask(1);
    edit.setRedraw(true);
}

// The live re-colouring of one change: from the last "<" before the caret
// to the first ">" after it, back to the normal colour and the tags again.
void recolourAroundCaret(RichEdit& edit) {
    const std::size_t caret = edit.selStart();
    edit.lockUpdates(true);
    const std::size_t lookBack = caret < 4096 ? caret : 4096;
    const std::string before = edit.textRange(caret - lookBack, caret);
    const std::size_t open = before.rfind('<');
    const std::size_t from = open == std::string::npos ? caret : caret - lookBack + open;
    const std::string after = edit.textRange(caret, caret + 4096);
    const std::size_t close = after.find('>');
    const std::size_t to = close == std::string::npos ? caret : caret + close + 1;
    if (from < to) {
        const std::string range = edit.textRange(from, to);
        edit.setSelection(from, to);
        edit.colorSelection(CharColor::autoColor());
        colourTags(edit, range, from);
        edit.setSelStart(caret);
        edit.setSelLength(0);
    }
    edit.lockUpdates(false);
}

using bench::insideATag;
using bench::typeAndEraseX;
using bench::typeX;

double g_baselineRss = 0;
double g_richEditRss = 0;

const std::string& largePage();

// `large`: the 10 MB page instead of the 1 MB one.
// Not inlined, so that an instruction count can be limited to either.
[[gnu::noinline]] void BM_BaselineLoadAndHighlight(benchmark::State& state, bool large) {
    const QString text = forQt(large ? largePage() : page());
    Window<QPlainTextEdit> window;
    TagLineHighlighter highlighter(window.edit->document());
    for (auto _ : state) {
        window.edit->setPlainText(text);
        QCoreApplication::processEvents();
    }
    if (!large) {
        g_baselineRss = bench::residentMegabytes();
        state.counters["tags"] = static_cast<double>(tagCount());
        state.counters["rss_MB"] = g_baselineRss;
    }
}

[[gnu::noinline]] void BM_RichEditLoadAndColour(benchmark::State& state, bool large) {
    const std::string& bytes = large ? largePage() : page();
    Window<RichEdit> window;
    TagHighlighter highlighter(*window.edit);
    for (auto _ : state) {
        window.edit->setText(bytes);
        highlighter.forceWholeTextPass();
        QCoreApplication::processEvents();
    }
    if (!large) {
        g_richEditRss = bench::residentMegabytes();
        state.counters["tags"] = static_cast<double>(tagCount());
        state.counters["rss_MB"] = g_richEditRss;
    }
}

void BM_BaselineKeystroke(benchmark::State& state) {
    Window<QPlainTextEdit> window;
    TagLineHighlighter highlighter(window.edit->document());
    window.edit->setPlainText(forQt(page()));
    QTextCursor c = window.edit->textCursor();
    c.setPosition(
        static_cast<int>(QString::fromStdU16String(decodeShiftJis(page().substr(0, insideATag())))
                             .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                             .size()));
    window.edit->setTextCursor(c);
    window.edit->setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state)
        typeX(window.edit);
}

void richEditKeystroke(benchmark::State& state, bool colour) {
    Window<RichEdit> window;
    RichEdit& edit = *window.edit;
    edit.setText(page());
    if (colour) {
        wholeTextPass(edit);
        edit.setChangeHandler([&edit] { recolourAroundCaret(edit); });
    }
    edit.setSelStart(insideATag());
    edit.setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state)
        typeX(&edit);
}

void BM_RichEditKeystrokeRecolour(benchmark::State& state) {
    richEditKeystroke(state, true);
}

void BM_RichEditKeystrokePlain(benchmark::State& state) {
    richEditKeystroke(state, false);
}

// The same keystroke with the editor's own highlighter object, for
// reference.
void BM_RichEditKeystrokeTagHighlighter(benchmark::State& state) {
    Window<RichEdit> window;
    RichEdit& edit = *window.edit;
    edit.setText(page());
    TagHighlighter highlighter(edit);
    highlighter.setHighlightColor(kBlue);
    highlighter.html1Click();
    edit.setChangeHandler([&highlighter] { highlighter.reMainChange(); });
    edit.setSelStart(insideATag());
    edit.setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state)
        typeX(&edit);
}

const std::string& largePage() {
    static const std::string text = [] {
        std::string s;
        for (int i = 0; i < 10; ++i)
            s += page();
        return s;
    }();
    return text;
}

// One editor holding the 10 MB page for all rows that use it: loading it
// takes longer than the rows themselves.
Window<RichEdit>& largeWindow() {
    static Window<RichEdit>* window = [] {
        auto* w = new Window<RichEdit>;
        w->edit->setText(largePage());
        QCoreApplication::processEvents();
        return w;
    }();
    return *window;
}

void BM_LargeKeystrokePlain(benchmark::State& state) {
    RichEdit& edit = *largeWindow().edit;
    edit.setChangeHandler({});
    edit.setSelStart(largePage().size() / 2 + insideATag());
    edit.setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state)
        typeAndEraseX(&edit);
}

// Catches a live re-colouring that reads the whole text per keystroke.
void BM_LargeKeystrokeTagHighlighter(benchmark::State& state) {
    RichEdit& edit = *largeWindow().edit;
    TagHighlighter highlighter(edit);
    highlighter.setHighlightColor(kBlue);
    highlighter.html1Click();
    edit.setChangeHandler([&highlighter] { highlighter.reMainChange(); });
    edit.setSelStart(largePage().size() / 2 + insideATag());
    edit.setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state)
        typeAndEraseX(&edit);
    edit.setChangeHandler({});
    highlighter.html1Click();
}

// The first Enter at the end of a freshly loaded page: the indentation
// must not need every paragraph before the caret laid out.
void BM_LargeEnterAtEnd(benchmark::State& state) {
    RichEdit& edit = *largeWindow().edit;
    edit.setChangeHandler({});
    for (auto _ : state) {
        state.PauseTiming();
        edit.setText(largePage());
        edit.setSelStart(edit.textLength());
        QCoreApplication::processEvents();
        state.ResumeTiming();
        reMainOnpress(edit, kKeyEnter);
        QCoreApplication::processEvents();
    }
}

// The highlighter's whole-text pass over the page already in the editor,
// until it is painted.
void BM_WholeTextPass(benchmark::State& state) {
    Window<RichEdit> window;
    window.edit->setText(page());
    TagHighlighter highlighter(*window.edit);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        highlighter.forceWholeTextPass();
        QCoreApplication::processEvents();
    }
}

// The page's folder on the disk, with the page its links name.
struct CheckFolder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("korvane-check-bench-" + std::to_string(::getpid()));
    CheckFolder() {
        std::filesystem::create_directories(path);
        std::ofstream(path / "index.htm") << "<HTML></HTML>";
    }
    ~CheckFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string page() const { return (path / "page.htm").string(); }
};

// The check dialog checking again: the editor's text, the check over the
// disk, and the list of findings shown.
void BM_PageCheckDialog(benchmark::State& state) {
    const CheckFolder folder;
    Window<RichEdit> window;
    window.edit->setText(page());
    const DiskPageFiles disk;
    const DocumentCheck check(
        *window.edit, disk,
        {[&folder] { return folder.page(); }, [] { return TextEncoding::ShiftJis; },
         [] { return std::string(); }});
    TfCheck dialog(check, &window.frame);
    dialog.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        dialog.bRecheckClick();
        QCoreApplication::processEvents();
    }
    state.counters["findings"] = static_cast<double>(dialog.findings().size());
}

// The check alone, on the page's bytes.
void BM_PageCheck(benchmark::State& state) {
    const CheckFolder folder;
    const DiskPageFiles disk;
    PageCheckInput input;
    input.text = page();
    input.pagePath = folder.page();
    for (auto _ : state)
        benchmark::DoNotOptimize(checkPage(input, disk));
}

BENCHMARK_CAPTURE(BM_BaselineLoadAndHighlight, 1MB, false)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5);
BENCHMARK_CAPTURE(BM_RichEditLoadAndColour, 1MB, false)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5);
BENCHMARK_CAPTURE(BM_BaselineLoadAndHighlight, 10MB, true)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_RichEditLoadAndColour, 10MB, true)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK(BM_BaselineKeystroke)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_RichEditKeystrokeRecolour)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_RichEditKeystrokePlain)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_RichEditKeystrokeTagHighlighter)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_LargeKeystrokePlain)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_LargeKeystrokeTagHighlighter)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_LargeEnterAtEnd)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_WholeTextPass)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_PageCheckDialog)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_PageCheck)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
    korvane::bench::useOffscreenUnlessSet();
    QApplication app(argc, argv);
    korvane::keepLargeBuffersForReuse();
    const int status = korvane::bench::runWithRatios(
        argc, argv,
        {{"BM_RichEditLoadAndColour/1MB", "BM_BaselineLoadAndHighlight/1MB", 1.0, 1.0, true},
         {"BM_RichEditLoadAndColour/10MB", "BM_BaselineLoadAndHighlight/10MB", 1.0, 1.0, true},
         {"BM_RichEditKeystrokeRecolour", "BM_BaselineKeystroke", 1.5},
         {"BM_RichEditKeystrokePlain", "BM_BaselineKeystroke", 0},
         {"BM_RichEditKeystrokeTagHighlighter", "BM_BaselineKeystroke", 0},
         {"BM_LargeKeystrokeTagHighlighter", "BM_LargeKeystrokePlain", 0},
         {"BM_LargeEnterAtEnd", "BM_LargeKeystrokePlain", 0},
         {"BM_PageCheckDialog", "BM_WholeTextPass", 2.0, 1.0, true},
         {"BM_PageCheck", "BM_WholeTextPass", 0, 1.0, true}});
    std::printf(
        "\nresident memory after loading and colouring the page: baseline %.1f MB, "
        "RichEdit %.1f MB (%zu tags)\n",
        g_baselineRss, g_richEditRss, tagCount());
    return status;
}
