// Pages that are one long line (generated or minified HTML): opening, typing,
// Enter, Backspace and a paste at the end and in the middle of the line, each
// until it is painted, in text mode (prose) and in tag mode (tags, highlighted
// as they change). Baselines in the same run: the same action at the end of
// an ordinary 1 MB page of short lines in the same editor, and a bare
// QPlainTextEdit with the same wrap mode on the 200 KB line (at 1 MB the bare
// widget does not get through one key in minutes, so it is measured at 200 KB
// only).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/shift_jis.h"
#include "bench/bench_text.h"
#include "bench/ratio_report.h"
#include "bench/shown_editor.h"
#include "edit/tag_highlighter.h"
#include "editor/rich_edit.h"
#include "platform/memory_tuning.h"

namespace {

using namespace korvane;

std::string prose(std::size_t size, bool lineBreaks) {
    if (!lineBreaks)
        return bench::japaneseLine(size);
    return bench::weightedText(size,
                               {{"\x8d\xa1\x93\xfa\x82\xcd", 20},          // 今日は
                                {"\x82\xa2\x82\xa2\x93\x56\x8b\x43", 20},  // いい天気
                                {"\x82\xc5\x82\xb7\x81\x42", 20},          // です。
                                {"abc ", 5},
                                {"\r\n", 8}},
                               7);
}

std::string tags(std::size_t size) {
    return bench::weightedText(size,
                               {{"<B>", 5},
                                {"</B>", 5},
                                {"<A href=\"index.htm\">", 3},
                                {"</A>", 3},
                                {"<BR>", 3},
                                {"\x8d\xa1\x93\xfa\x82\xcd", 20},
                                {"\x82\xc5\x82\xb7\x81\x42", 20}},
                               11);
}

const std::string kPasted = [] {
    std::string s;
    while (s.size() < 10'000)
        s += "<B>\x93\xfa\x96\x7b</B> ";
    return s;
}();

struct Page {
    std::string bytes;
    bool tagMode = false;
};

struct Editor {
    bench::ShownEditor<RichEdit> window;
    RichEdit& edit = *window.edit;
    TagHighlighter highlighter{edit};
    const Page* shown = nullptr;

    Editor() {
        edit.setReplacementNotifier([](const QString&) {});
    }

    void paint() {
        QCoreApplication::processEvents();
        edit.viewport()->repaint();
    }
    void open(const Page& page) {
        highlighter.reset();
        edit.setChangeHandler({});
        edit.setText(page.bytes);
        if (page.tagMode) {
            highlighter.html1Click();
            edit.setChangeHandler([this] { highlighter.reMainChange(); });
        }
        edit.setSelStart(edit.textLength());
        edit.scrollCaret();
        paint();
        shown = &page;
    }
};

Editor* g_editor = nullptr;

void sendKey(QWidget& target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
}

const Page& page(int kind, std::size_t size) {
    static std::map<std::pair<int, std::size_t>, Page> pages;
    Page& p = pages[{kind, size}];
    if (p.bytes.empty()) {
        p.tagMode = kind == 1;
        p.bytes = kind == 0 ? prose(size, false) : kind == 1 ? tags(size) : prose(size, true);
    }
    return p;
}

enum Action { Open, Key, Enter, Backspace, Paste };

// One action at the end (where = 0) or in the middle (1) of the page, undone
// outside the timing so that every round starts from the same page.
void runAction(benchmark::State& state, int kind, std::size_t size, Action action, int where) {
    Editor& e = *g_editor;
    const Page& p = page(kind, size);
    if (action == Open) {
        for (auto _ : state)
            e.open(p);
        return;
    }
    if (e.shown != &p)
        e.open(p);
    for (auto _ : state) {
        state.PauseTiming();
        e.edit.setSelStart(where == 0 ? e.edit.textLength() : e.edit.textLength() / 2);
        e.edit.scrollCaret();
        e.paint();
        state.ResumeTiming();
        switch (action) {
            case Key:
                sendKey(e.edit, Qt::Key_X, QStringLiteral("x"));
                break;
            case Enter:
                sendKey(e.edit, Qt::Key_Return, QStringLiteral("\r"));
                break;
            case Backspace:
                sendKey(e.edit, Qt::Key_Backspace, QString());
                break;
            case Paste:
                e.edit.replaceSelection(kPasted);
                e.edit.scrollCaret();
                break;
            case Open:
                break;
        }
        e.paint();
        state.PauseTiming();
        e.edit.undo();
        e.paint();
        state.ResumeTiming();
    }
}

// The bare widget, as it stands: the same wrap mode and font.
void BM_BareWidget(benchmark::State& state, Action action) {
    static QString text = QString::fromStdU16String(decodeShiftJis(page(0, 200'000).bytes));
    bench::ShownEditor<QPlainTextEdit> bare;
    bare.edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    bare.edit->setFont(g_editor->edit.font());
    if (action != Open) {
        bare.edit->setPlainText(text);
        bare.edit->moveCursor(QTextCursor::End);
    }
    for (auto _ : state) {
        if (action == Open) {
            bare.edit->setPlainText(text);
            bare.edit->moveCursor(QTextCursor::End);
        } else {
            sendKey(*bare.edit, Qt::Key_X, QStringLiteral("x"));
        }
        QCoreApplication::processEvents();
        bare.edit->viewport()->repaint();
    }
}

const char* kKinds[] = {"Text", "Tags", "Lines"};
const char* kActions[] = {"Open", "Key", "Enter", "Backspace", "Paste"};

std::string name(int kind, std::size_t size, Action action, int where) {
    std::string n = std::string("BM_") + kKinds[kind] + "/" + std::to_string(size / 1000) + "KB/" +
                    kActions[action];
    if (action != Open)
        n += where == 0 ? "/End" : "/Middle";
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    korvane::bench::useOffscreenUnlessSet();
    QApplication app(argc, argv);
    korvane::keepLargeBuffersForReuse();
    Editor editor;
    g_editor = &editor;

    std::vector<korvane::bench::RatioRow> rows;
    const std::size_t sizes[] = {200'000, 1'000'000, 5'000'000};
    // Baselines: the actions at the end of an ordinary page of short lines.
    for (Action a : {Open, Key, Enter, Backspace, Paste}) {
        benchmark::RegisterBenchmark(name(2, 1'000'000, a, 0).c_str(), runAction, 2, 1'000'000, a,
                                     0)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(a == Open ? 3 : 20);
    }
    benchmark::RegisterBenchmark("BM_Bare/200KB/Open", BM_BareWidget, Open)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("BM_Bare/200KB/Key/End", BM_BareWidget, Key)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
    for (int kind : {0, 1}) {
        for (std::size_t size : sizes) {
            for (Action a : {Open, Key, Enter, Backspace, Paste}) {
                for (int where : {0, 1}) {
                    if (a == Open && where == 1)
                        continue;
                    const std::string n = name(kind, size, a, where);
                    benchmark::RegisterBenchmark(n.c_str(), runAction, kind, size, a, where)
                        ->Unit(benchmark::kMillisecond)
                        ->Iterations(a == Open ? 2 : 10);
                    rows.push_back({n, name(2, 1'000'000, a, 0), 0});
                    if (size == 200'000 && kind == 0 && (a == Open || (a == Key && where == 0)))
                        rows.push_back(
                            {n, a == Open ? "BM_Bare/200KB/Open" : "BM_Bare/200KB/Key/End", 1.0});
                }
            }
        }
    }
    return korvane::bench::runWithRatios(argc, argv, rows);
}
