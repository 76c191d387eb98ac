// The editor holding a document in UTF-8 against the same text in Shift_JIS,
// measured in one run: the load in pieces of a megabyte, one colouring pass
// over every tag of the text, and the text read back for saving. A Japanese
// character takes three bytes in UTF-8 against two, so the UTF-8 text is
// half as long again; the ratios say what the codec costs beyond that.
// The load's own share of it - the text decoded and the mirror measured,
// without the toolkit's document, whose cost is the same in any codec - is
// measured apart, where it is not lost in the noise of the whole load.
#include <QApplication>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/text_codec.h"
#include "bench/bench_text.h"
#include "bench/ratio_report.h"
#include "bench/shown_editor.h"
#include "editor/rich_edit.h"
#include "editor/text_mirror.h"

namespace korvane {
namespace {

// About 10 MB of prose in Shift_JIS, and the same characters in UTF-8.
const std::string& textIn(const TextCodec& codec) {
    static const std::string sjis = [] {
        std::string text;
        for (unsigned seed = 1; text.size() < (10u << 20); ++seed)
            text += bench::japaneseProse(1 << 20, seed) + "\r\n";
        return text;
    }();
    static const std::string utf8 = convertBytes(sjis, shiftJisCodec(), utf8Codec()).bytes;
    return &codec == &utf8Codec() ? utf8 : sjis;
}

// The "<...>" ranges of a text, as a highlighting pass colours them.
std::vector<std::pair<std::size_t, std::size_t>> tagRanges(const std::string& s) {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (std::size_t i = s.find('<'); i != std::string::npos; i = s.find('<', i)) {
        const std::size_t close = s.find('>', i);
        if (close == std::string::npos)
            break;
        out.emplace_back(i, close + 1);
        i = close + 1;
    }
    return out;
}

bench::ShownEditor<RichEdit>* g_shown = nullptr;

RichEdit& editorIn(const TextCodec& codec) {
    RichEdit& edit = *g_shown->edit;
    edit.setText("");
    edit.setCodec(codec);
    return edit;
}

void load(RichEdit& edit, const std::string& text) {
    const std::unique_ptr<EditControl::TextLoad> loading = edit.beginTextLoad();
    for (std::size_t at = 0; at < text.size(); at += 1u << 20)
        loading->append(std::string_view(text).substr(at, 1u << 20));
    loading->commit();
}

void BM_Load(benchmark::State& state, const TextCodec* codec) {
    RichEdit& edit = editorIn(*codec);
    for (auto _ : state) {
        load(edit, textIn(*codec));
        QCoreApplication::processEvents();
    }
}

void BM_DecodeAndMeasure(benchmark::State& state, const TextCodec* codec) {
    const std::string& text = textIn(*codec);
    std::u16string units(1u << 20, u'\0');
    for (auto _ : state) {
        TextMirror mirror;
        mirror.setCodec(*codec);
        for (std::size_t at = 0; at < text.size();) {
            // Whole lines, as the load hands them to the mirror.
            std::string_view piece = std::string_view(text).substr(at, 1u << 20);
            if (const std::size_t lf = piece.rfind('\n'); lf != std::string_view::npos)
                piece = piece.substr(0, lf + 1);
            at += piece.size();
            units.resize(piece.size());
            units.resize(decodeDocument(*codec, piece, units.data()));
            mirror.appendBytes(piece, units);
        }
        benchmark::DoNotOptimize(mirror.lineCount());
    }
}

void BM_ColourPass(benchmark::State& state, const TextCodec* codec) {
    RichEdit& edit = editorIn(*codec);
    load(edit, textIn(*codec));
    const auto ranges = tagRanges(textIn(*codec));
    bool red = false;
    for (auto _ : state) {
        red = !red;
        edit.colorRanges(ranges, red ? CharColor::of(0x0000FF) : CharColor::of(0xFF0000));
        QCoreApplication::processEvents();
    }
}

void BM_TextForSaving(benchmark::State& state, const TextCodec* codec) {
    RichEdit& edit = editorIn(*codec);
    load(edit, textIn(*codec));
    for (auto _ : state) {
        std::string bytes = edit.text();
        benchmark::DoNotOptimize(bytes.data());
    }
}

BENCHMARK_CAPTURE(BM_Load, sjis, &shiftJisCodec())->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK_CAPTURE(BM_Load, utf8, &utf8Codec())->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK_CAPTURE(BM_DecodeAndMeasure, sjis, &shiftJisCodec())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_DecodeAndMeasure, utf8, &utf8Codec())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_ColourPass, sjis, &shiftJisCodec())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_ColourPass, utf8, &utf8Codec())->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK_CAPTURE(BM_TextForSaving, sjis, &shiftJisCodec())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_TextForSaving, utf8, &utf8Codec())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
    korvane::bench::useOffscreenUnlessSet();
    QApplication app(argc, argv);
    korvane::bench::ShownEditor<korvane::RichEdit> shown;
    korvane::g_shown = &shown;
    return korvane::bench::runWithRatios(
        argc, argv,
        {{"BM_Load/utf8", "BM_Load/sjis", 1.1},
         {"BM_DecodeAndMeasure/utf8", "BM_DecodeAndMeasure/sjis", 0, 1.0, true},
         {"BM_ColourPass/utf8", "BM_ColourPass/sjis", 1.1},
         {"BM_TextForSaving/utf8", "BM_TextForSaving/sjis", 1.1}});
}
