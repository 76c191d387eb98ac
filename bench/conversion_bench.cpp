// ToHtml and ToText on 10 MB of Japanese text, against memcpy of the same
// output size.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench/bench_text.h"
#include "bench/ratio_report.h"
#include "convert/to_html.h"
#include "convert/to_text.h"
#include "platform/memory_tuning.h"

namespace {

using namespace korvane;

constexpr std::size_t kSize = 10 * 1024 * 1024;

// Japanese prose with some markup characters, tabs and line breaks, in the
// proportions of a diary page: a line break every 60 bytes or so, a tab or a
// markup character ("<", ">", "&", a quote) every few hundred.
const std::string& japaneseText() {
    static const std::string text =
        bench::weightedText(kSize,
                            {{"\x8d\xa1\x93\xfa\x82\xcd", 20},          // 今日は
                             {"\x82\xa2\x82\xa2\x93\x56\x8b\x43", 20},  // いい天気
                             {"\x82\xc5\x82\xb7\x81\x42", 20},          // です。
                             {"\x95\x5c\x8e\xa6", 10},                  // 表示
                             {"\x83\x5c\x83\x74\x83\x67", 10},          // ソフト
                             {"\x81\x41", 12},                          // 、
                             {"Qt 6", 3},
                             {" ", 4},
                             {"<b>", 1},
                             {"&", 1},
                             {"\"", 1},
                             {"\t", 2},
                             {"\r\n", 10},
                             {"abc", 3},
                             {"2026", 3}},
                            7);
    return text;
}

// A page of the same size with tags, block tags and references to strip.
const std::string& htmlPage() {
    static const std::string page =
        bench::weightedText(kSize,
                            {{"\x8d\xa1\x93\xfa\x82\xcd", 10},
                             {"\x82\xa2\x82\xa2\x93\x56\x8b\x43", 10},
                             {"\x82\xc5\x82\xb7\x81\x42", 10},
                             {"<BR>\r\n", 3},
                             {"<P>", 1},
                             {"<A href=\"index.htm\">", 1},
                             {"</A>", 1},
                             {"<FONT color=\"#FF0000\">", 1},
                             {"</FONT>", 1},
                             {"&amp;", 1},
                             {"&lt;", 1},
                             {"<li>", 1},
                             {"\r\n", 2},
                             {"abc def", 3}},
                            11, "<HTML><HEAD><TITLE>bench</TITLE></HEAD><BODY>\r\n") +
        "</BODY></HTML>";
    return page;
}

void memcpyOf(benchmark::State& state, std::size_t size) {
    std::string from(size, 'x');
    std::string to(size, '\0');
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void BM_MemcpyToHtmlOutput(benchmark::State& state) {
    memcpyOf(state, ToHtml(japaneseText(), "t", PageSettings{}, 1).size());
}

void BM_ToHtml(benchmark::State& state) {
    const PageSettings settings;
    std::size_t out = 0;
    for (auto _ : state) {
        std::string page = ToHtml(japaneseText(), "t", settings, 1);
        out = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out));
}

// The page text mode generates from the Japanese text: a line break tag on
// every line and the text's own markup characters as references.
const std::string& generatedPage() {
    static const std::string page = ToHtml(japaneseText(), "t", PageSettings{}, 1);
    return page;
}

void BM_MemcpyToTextOutput(benchmark::State& state) {
    memcpyOf(state, ToText(generatedPage()).text.size());
}

void BM_ToText(benchmark::State& state) {
    std::size_t out = 0;
    for (auto _ : state) {
        TextAndTitle r = ToText(generatedPage());
        out = r.text.size();
        benchmark::DoNotOptimize(r.text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out));
}

void BM_MemcpyToTextTagDenseOutput(benchmark::State& state) {
    memcpyOf(state, ToText(htmlPage()).text.size());
}

// A hand-written page with a tag every dozen bytes: the hard case.
void BM_ToTextTagDense(benchmark::State& state) {
    std::size_t out = 0;
    for (auto _ : state) {
        TextAndTitle r = ToText(htmlPage());
        out = r.text.size();
        benchmark::DoNotOptimize(r.text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out));
}

BENCHMARK(BM_MemcpyToHtmlOutput)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ToHtml)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_MemcpyToTextOutput)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ToText)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_MemcpyToTextTagDenseOutput)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ToTextTagDense)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
    korvane::keepLargeBuffersForReuse();
    return korvane::bench::runWithRatios(
        argc, argv,
        {{"BM_ToHtml", "BM_MemcpyToHtmlOutput", 8.0},
         {"BM_ToText", "BM_MemcpyToTextOutput", 8.0},
         {"BM_ToTextTagDense", "BM_MemcpyToTextTagDenseOutput", 0}});
}
