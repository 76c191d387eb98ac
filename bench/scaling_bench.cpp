// How the editor's work on a whole document grows with its size: opening a
// file, the whole-text colouring pass, a search through all of it and a save,
// each at 1, 4, 16 and 64 MB. Each size's time is reported against the 1 MB
// time multiplied by the size factor, so 1.0 is linear and anything clearly
// above it grows faster than the text. A memmem scan of the same bytes
// shows how much of a search's growth is the memory's own: what fits in the
// caches is read faster than what does not.
//
// The large sizes run a few times only: opening 64 MB alone takes seconds.
// Times are wall-clock, as everywhere in the benchmarks; the CPU times in
// the console output help to tell growth from a busy machine.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/document_io.h"
#include "bench/bench_text.h"
#include "bench/ratio_report.h"
#include "bench/shown_editor.h"
#include "bench/tagged_page.h"
#include "edit/search.h"
#include "edit/tag_highlighter.h"
#include "editor/rich_edit.h"
#include "platform/memory_tuning.h"

namespace {

using namespace korvane;

constexpr std::size_t kMegabyte = 1u << 20;
constexpr int kSizes[] = {1, 4, 16, 64};

// Japanese prose in lines of about 60 bytes, with some markup and tabs, as
// the document benchmark has it.
const std::string& prose(int megabytes) {
    static std::map<int, std::string> texts;
    std::string& text = texts[megabytes];
    if (text.empty()) {
        text = bench::japaneseProse(static_cast<std::size_t>(megabytes) * kMegabyte);
    }
    return text;
}

// The 1 MB tag page (a tag every 23 bytes or so) repeated: the number of
// tags grows exactly with the size.
const std::string& tagPage(int megabytes) {
    static std::map<int, std::string> pages;
    std::string& page = pages[megabytes];
    if (page.empty()) {
        page.reserve(static_cast<std::size_t>(megabytes) * bench::taggedPage().size());
        for (int i = 0; i < megabytes; ++i)
            page += bench::taggedPage();
    }
    return page;
}

class BenchFolder {
  public:
    BenchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "korvane-scaling-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_folder = pattern;
    }
    ~BenchFolder() { std::filesystem::remove_all(m_folder); }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    // A file holding prose(megabytes), written once.
    const std::string& proseFile(int megabytes) {
        std::string& path = m_files[megabytes];
        if (path.empty()) {
            path = m_folder + "/prose-" + std::to_string(megabytes) + ".txt";
            std::string error;
            if (!writeDocument(path, prose(megabytes), error))
                std::abort();
        }
        return path;
    }
    std::string savePath() const { return m_folder + "/saved.txt"; }

  private:
    std::string m_folder;
    std::map<int, std::string> m_files;
};

// Made in main(): the files last for the run.
BenchFolder* g_folder = nullptr;

using Window = bench::ShownEditor<RichEdit>;

// The one large editor alive at a time, and what it holds: a 64 MB document
// takes about a gigabyte once shown, and showing it takes seconds, so the
// rows of one size share it (opening leaves it behind for find and save).
// Gone before the application object: widgets must not outlive it.
enum class Content { Prose, Tags };
std::unique_ptr<Window> g_shown;
Content g_shownContent = Content::Prose;
int g_shownSize = 0;

void dropShown() {
    g_shown.reset();
    g_shownSize = 0;
}

RichEdit& shown(Content content, int megabytes) {
    if (!g_shown || g_shownContent != content || g_shownSize != megabytes) {
        dropShown();
        g_shown = std::make_unique<Window>();
        g_shown->edit->setText(content == Content::Prose ? prose(megabytes) : tagPage(megabytes));
        QCoreApplication::processEvents();
        g_shownContent = content;
        g_shownSize = megabytes;
    }
    return *g_shown->edit;
}

// Read, decode and show in an empty editor, with the first paint.
void BM_Open(benchmark::State& state, int megabytes) {
    const std::string& path = g_folder->proseFile(megabytes);
    for (auto _ : state) {
        state.PauseTiming();
        dropShown();
        auto window = std::make_unique<Window>();
        state.ResumeTiming();
        DocumentRead read = readDocument(path);
        if (!read.ok)
            state.SkipWithError("read failed");
        window->edit->setText(read.bytes);
        window->edit->setModified(false);
        QCoreApplication::processEvents();
        state.PauseTiming();
        g_shown = std::move(window);
        g_shownContent = Content::Prose;
        g_shownSize = megabytes;
        state.ResumeTiming();
    }
}

// A search from the start for a text that is nowhere: every byte is looked at.
void BM_FindAbsent(benchmark::State& state, int megabytes) {
    RichEdit& edit = shown(Content::Prose, megabytes);
    Search search(edit);
    const std::string absent = "\x8c\x9f\x8d\xf5xyz";  // 検索xyz
    for (auto _ : state) {
        edit.setSelStart(0);
        edit.setSelLength(0);
        search.FdmainFind(absent, true);
        if (search.LastFindFound())
            state.SkipWithError("found a text that is not there");
    }
}

// The plainest scan of the same bytes for the same text.
void BM_MemmemAbsent(benchmark::State& state, int megabytes) {
    const std::string& text = prose(megabytes);
    const std::string absent = "\x8c\x9f\x8d\xf5xyz";
    for (auto _ : state) {
        const void* hit = memmem(text.data(), text.size(), absent.data(), absent.size());
        if (hit != nullptr)
            state.SkipWithError("found a text that is not there");
        benchmark::DoNotOptimize(hit);
    }
}

// The editor's bytes written atomically (to the disk, flushed).
void BM_Save(benchmark::State& state, int megabytes) {
    RichEdit& edit = shown(Content::Prose, megabytes);
    const std::string path = g_folder->savePath();
    for (auto _ : state) {
        std::string error;
        if (!writeDocument(path, edit.text(), error))
            state.SkipWithError("write failed");
        edit.setModified(false);
    }
}

// The whole-text pass over a shown tag page, with the paint of the colours;
// the colours of the run before are taken off first, untimed.
void BM_ColourAllTags(benchmark::State& state, int megabytes) {
    RichEdit& edit = shown(Content::Tags, megabytes);
    TagHighlighter highlighter(edit);
    highlighter.setHighlightColor(TagHighlighter::kDefaultHighlightColor);
    for (auto _ : state) {
        state.PauseTiming();
        edit.setSelection(0, edit.textLength());
        edit.colorSelection(CharColor::autoColor());
        edit.setSelStart(0);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        highlighter.forceWholeTextPass();
        QCoreApplication::processEvents();
    }
}

// Size by size, so that the rows of one size share its editor. The 64 MB
// rows run twice, the others three times.
void registerAll() {
    for (int size : kSizes) {
        const int repetitions = size == 64 ? 2 : 3;
        const std::string arg = "/" + std::to_string(size);
        benchmark::RegisterBenchmark(("BM_Open" + arg).c_str(), BM_Open, size)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(repetitions);
        benchmark::RegisterBenchmark(("BM_FindAbsent" + arg).c_str(), BM_FindAbsent, size)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(repetitions);
        benchmark::RegisterBenchmark(("BM_MemmemAbsent" + arg).c_str(), BM_MemmemAbsent, size)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(repetitions);
        benchmark::RegisterBenchmark(("BM_Save" + arg).c_str(), BM_Save, size)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(repetitions);
        benchmark::RegisterBenchmark(("BM_ColourAllTags" + arg).c_str(), BM_ColourAllTags, size)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(repetitions);
    }
}

}  // namespace

int main(int argc, char** argv) {
    korvane::bench::useOffscreenUnlessSet();
    QApplication app(argc, argv);
    korvane::keepLargeBuffersForReuse();
    BenchFolder folder;
    g_folder = &folder;
    registerAll();
    std::vector<korvane::bench::RatioRow> rows;
    for (const char* name :
         {"BM_Open", "BM_ColourAllTags", "BM_FindAbsent", "BM_MemmemAbsent", "BM_Save"}) {
        for (int size : kSizes) {
            if (size == 1)
                continue;
            // Twice the linear time is clearly more than linear; the scan
            // baseline is there for comparison only.
            const bool baseline = std::string_view(name) == "BM_MemmemAbsent";
            rows.push_back({std::string(name) + "/" + std::to_string(size),
                            std::string(name) + "/1", baseline ? 0.0 : 2.0,
                            static_cast<double>(size)});
        }
    }
    const int status = korvane::bench::runWithRatios(argc, argv, rows);
    dropShown();
    g_folder = nullptr;
    return status;
}
