// What the status line and the line numbers cost the editor: a keystroke and
// a page of scrolling, each until it is painted, in the two texts where a
// line or column is dear to work out: the 1 MB page that is one line (held
// in pieces) and 10 MB of prose in short lines.
//
// Each row has a baseline in the same run that differs only in the part
// measured:
// - status line: the same editor with a plain label of the same size in the
//   status line's place, so the layout and the painting of the bottom row
//   are the same and only the status line's own work (following the caret,
//   numbering the line, counting the column) is measured;
// - line numbers: the same editor with the gutter made but hidden, as the
//   window has it with the menu item off, beside a blank strip as wide as
//   the gutter, so the window's size and the text's wrapping width are the
//   same and only the gutter's work (numbering the lines in view and
//   painting them) is measured.
//
// The rows run interleaved at random, several times each, and the medians
// are compared: the other builds on the machine then weigh on both sides.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/status_line.h"
#include "bench/bench_text.h"
#include "bench/ratio_report.h"
#include "bench/shown_editor.h"
#include "editor/line_number_gutter.h"
#include "editor/rich_edit.h"
#include "platform/memory_tuning.h"

namespace {

using namespace korvane;

enum class Text { OneLine, Lines };
enum class Part { StatusLine, PlainLabel, GutterShown, GutterHidden };

const std::string& textBytes(Text text) {
    static const std::string oneLine = bench::japaneseLine(1'000'000);
    static const std::string lines = bench::japaneseProse(10 * 1024 * 1024);
    return text == Text::OneLine ? oneLine : lines;
}

// A frame as the window lays it out: the editor above, the bottom row with
// the status line (or the label in its place) below it.
struct Frame {
    QWidget frame;
    RichEdit* edit = new RichEdit(&frame);
    LineNumberGutter* gutter = new LineNumberGutter(*edit);
    QLabel* bottom = nullptr;
    QWidget* strip = nullptr;  // in the gutter's place when it is hidden

    Frame(Text text, Part part) {
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setReplacementNotifier([](const QString&) {});
        auto* layout = new QVBoxLayout(&frame);
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        if (part == Part::GutterHidden) {
            strip = new QWidget(&frame);
            row->addWidget(strip);
        }
        row->addWidget(edit, 1);
        layout->addLayout(row, 1);
        if (part == Part::StatusLine) {
            bottom = new StatusLine(*edit, &frame);
        } else {
            bottom = new QLabel(
                QStringLiteral("1 行, 1 桁    ") + QString::fromUtf8(kDefaultDocumentFormat),
                &frame);
            bottom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        layout->addWidget(bottom);
        gutter->setShown(part == Part::GutterShown);
        frame.resize(900, 700);
        frame.show();
        edit->setText(textBytes(text));
        // The gutter's width follows the number of lines: known after the load.
        if (strip != nullptr)
            strip->setFixedWidth(gutter->widthNeeded());
        // The first numbering after a load walks the blocks before the
        // caret once; that is the load's cost, not the keystroke's.
        paint();
        if (part == Part::PlainLabel) {
            // The label holds as much text as the status line would.
            bottom->setText(
                QStringLiteral("1 行, %1 桁    ").arg(edit->document()->characterCount()) +
                QString::fromUtf8(kDefaultDocumentFormat));
        }
    }

    void paint() {
        // Twice: the status line works out the caret's line when the event
        // loop comes round, and its label is painted on the turn after.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    void placeCaret(bool middle) {
        edit->setSelStart(middle ? edit->textLength() / 2 : edit->textLength());
        edit->scrollCaret();
        paint();
    }
};

void sendKey(QWidget& target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
}

// Frames are made once for all rounds of a row (loading 10 MB costs
// seconds), in main() and gone before the application object: widgets must
// not outlive it.
struct Frames {
    std::unique_ptr<Frame> made[2][4];
};
Frames* g_frames = nullptr;

Frame& frame(Text text, Part part) {
    auto& f = g_frames->made[static_cast<int>(text)][static_cast<int>(part)];
    if (!f)
        f = std::make_unique<Frame>(text, part);
    return *f;
}

// The timed actions, apart so that a profiler can count them alone
// (valgrind --tool=callgrind --toggle-collect='*typeX*').
[[gnu::noinline]] void typeX(Frame& f) {
    sendKey(*f.edit, Qt::Key_X, QStringLiteral("x"));
    f.paint();
}

[[gnu::noinline]] void pageDown(Frame& f) {
    f.edit->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    f.paint();
}

// "x" typed at the end or in the middle of the text, until painted; erased
// outside the timing so that every round types into the same text.
void BM_Key(benchmark::State& state, Text text, Part part, bool middle) {
    Frame& f = frame(text, part);
    f.placeCaret(middle);
    for (auto _ : state) {
        typeX(f);
        state.PauseTiming();
        sendKey(*f.edit, Qt::Key_Backspace, QString());
        f.paint();
        state.ResumeTiming();
    }
}

// One page down from the middle of the text, as a click in the scroll bar's
// track does, until painted; back outside the timing.
void BM_Scroll(benchmark::State& state, Text text, Part part) {
    Frame& f = frame(text, part);
    f.placeCaret(true);
    QScrollBar& bar = *f.edit->verticalScrollBar();
    const int start = bar.value();
    for (auto _ : state) {
        pageDown(f);
        state.PauseTiming();
        bar.setValue(start);
        f.paint();
        state.ResumeTiming();
    }
}

const char* textName(Text text) {
    return text == Text::OneLine ? "OneLine1MB" : "Lines10MB";
}

const char* partName(Part part) {
    switch (part) {
        case Part::StatusLine:
            return "StatusLine";
        case Part::PlainLabel:
            return "PlainLabel";
        case Part::GutterShown:
            return "Numbers";
        case Part::GutterHidden:
            return "NoNumbers";
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    korvane::bench::useOffscreenUnlessSet();
    QApplication app(argc, argv);
    korvane::keepLargeBuffersForReuse();
    Frames frames;
    g_frames = &frames;

    // The rows' rounds interleaved, unless the caller chose otherwise.
    std::vector<char*> args(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    bool chosen = false;
    for (int i = 1; i < argc; ++i)
        chosen = chosen || std::strstr(argv[i], "random_interleaving") != nullptr;
    if (!chosen)
        args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());

    std::vector<korvane::bench::RatioRow> rows;
    // Processor time: the work never waits (the offscreen platform paints
    // into memory), and on a loaded machine the wall time of a millisecond's
    // work is mostly the other processes' turns.
    auto add = [&rows](const std::string& measured, const std::string& baseline, double target) {
        rows.push_back({measured, baseline, target, 1.0, true});
    };
    auto keyName = [](Text text, Part part, bool middle) {
        return std::string("BM_Key/") + textName(text) + (middle ? "/Middle/" : "/End/") +
               partName(part);
    };
    auto scrollName = [](Text text, Part part) {
        return std::string("BM_Scroll/") + textName(text) + "/" + partName(part);
    };
    for (bool middle : {false, true}) {
        for (Part part : {Part::StatusLine, Part::PlainLabel}) {
            benchmark::RegisterBenchmark(keyName(Text::OneLine, part, middle).c_str(), BM_Key,
                                         Text::OneLine, part, middle)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(10)
                ->Repetitions(9);
        }
        // No measurable cost: within the noise of the same run.
        add(keyName(Text::OneLine, Part::StatusLine, middle),
            keyName(Text::OneLine, Part::PlainLabel, middle), 1.05);
    }
    for (Text text : {Text::OneLine, Text::Lines}) {
        for (Part part : {Part::GutterShown, Part::GutterHidden}) {
            benchmark::RegisterBenchmark(keyName(text, part, false).c_str(), BM_Key, text, part,
                                         false)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(10)
                ->Repetitions(9);
            benchmark::RegisterBenchmark(scrollName(text, part).c_str(), BM_Scroll, text, part)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(10)
                ->Repetitions(9);
        }
        add(keyName(text, Part::GutterShown, false), keyName(text, Part::GutterHidden, false),
            1.05);
        add(scrollName(text, Part::GutterShown), scrollName(text, Part::GutterHidden), 1.05);
    }
    return korvane::bench::runWithRatios(count, args.data(), rows);
}
