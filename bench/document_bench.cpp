// Opening and saving a 10 MB document in the editor, against decoding and
// encoding the same bytes alone: what the file work and the editor add to
// the codec, which no document can avoid.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/document_io.h"
#include "base/shift_jis.h"
#include "bench/bench_text.h"
#include "bench/ratio_report.h"
#include "bench/shown_editor.h"
#include "editor/rich_edit.h"
#include "platform/memory_tuning.h"

namespace {

using namespace korvane;

constexpr std::size_t kSize = 10 * 1024 * 1024;

// Japanese prose in lines of about 60 bytes, with some markup and tabs.
const std::string& documentBytes() {
    static const std::string text = bench::japaneseProse(kSize);
    return text;
}

struct BenchFile {
    std::string folder;
    std::string path;
    BenchFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "korvane-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder = pattern;
        path = folder + "/big.txt";
        std::string error;
        if (!writeDocument(path, documentBytes(), error))
            std::abort();
    }
    ~BenchFile() { std::filesystem::remove_all(folder); }
};

const BenchFile& benchFile() {
    static const BenchFile file;
    return file;
}

using Window = bench::ShownEditor<RichEdit>;

// Made in main() and gone before the application object: widgets must not
// outlive it.
Window* g_window = nullptr;

Window& window() {
    return *g_window;
}

void BM_DecodeBaseline(benchmark::State& state) {
    const std::string& bytes = documentBytes();
    for (auto _ : state) {
        std::u16string text = decodeShiftJis(bytes);
        benchmark::DoNotOptimize(text.data());
    }
}

// The file work alone: read, line breaks, duplicate codes.
void BM_ReadDocument(benchmark::State& state) {
    const std::string& path = benchFile().path;
    for (auto _ : state) {
        DocumentRead read = readDocument(path);
        benchmark::DoNotOptimize(read.bytes.data());
    }
}

// Read, line breaks, the editor's text and the first paint.
[[gnu::noinline]] void BM_OpenDocument(benchmark::State& state) {
    const std::string& path = benchFile().path;
    RichEdit& edit = *window().edit;
    for (auto _ : state) {
        DocumentRead read = readDocument(path);
        if (!read.ok)
            state.SkipWithError("read failed");
        edit.setText(read.bytes);
        edit.setModified(false);
        QCoreApplication::processEvents();
    }
}

// The bare program: the same file read, decoded and shown in a plain
// QPlainTextEdit, without the byte mirror or any of the editor's checks.
void bareOpen(QPlainTextEdit& edit) {
    std::ifstream in(benchFile().path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    QString text = QString::fromStdU16String(decodeShiftJis(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    edit.setPlainText(text);
}

[[gnu::noinline]] void BM_BareOpen(benchmark::State& state) {
    bench::ShownEditor<QPlainTextEdit> bare;
    for (auto _ : state) {
        bareOpen(*bare.edit);
        QCoreApplication::processEvents();
    }
}

void BM_EncodeBaseline(benchmark::State& state) {
    const std::u16string text = decodeShiftJis(documentBytes());
    for (auto _ : state) {
        SjisEncoded bytes = encodeShiftJis(text);
        benchmark::DoNotOptimize(bytes.bytes.data());
    }
}

// The editor's bytes written atomically (to the disk, flushed).
void BM_SaveDocument(benchmark::State& state) {
    RichEdit& edit = *window().edit;
    edit.setText(documentBytes());
    const std::string path = benchFile().folder + "/saved.txt";
    for (auto _ : state) {
        std::string error;
        if (!writeDocument(path, edit.text(), error))
            state.SkipWithError("write failed");
        edit.setModified(false);
    }
}

BENCHMARK(BM_DecodeBaseline)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ReadDocument)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_BareOpen)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_EncodeBaseline)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

// Resident memory of a fresh process (its own application) once it has
// opened the file and painted it, in MB: a process of its own, so that
// neither side counts what the other left behind.
double residentAfterOpen(int argc, char** argv, bool bare) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return 0;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        double mb = 0;
        {
            QApplication app(argc, argv);
            keepLargeBuffersForReuse();
            if (bare) {
                bench::ShownEditor<QPlainTextEdit> window;
                bareOpen(*window.edit);
                QCoreApplication::processEvents();
                mb = bench::residentMegabytes();
            } else {
                Window window;
                {
                    // The file's bytes go once shown, as the program's own
                    // open lets them go.
                    const DocumentRead read = readDocument(benchFile().path);
                    window.edit->setText(read.bytes);
                }
                QCoreApplication::processEvents();
                mb = bench::residentMegabytes();
            }
        }
        [[maybe_unused]] const auto written = ::write(pipeEnds[1], &mb, sizeof mb);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    double mb = 0;
    if (::read(pipeEnds[0], &mb, sizeof mb) != sizeof mb)
        mb = 0;
    ::close(pipeEnds[0]);
    ::waitpid(child, nullptr, 0);
    return mb;
}

int main(int argc, char** argv) {
    korvane::bench::useOffscreenUnlessSet();
    benchFile();  // the file is written before the measuring processes start
    const double bareMb = residentAfterOpen(argc, argv, true);
    const double editorMb = residentAfterOpen(argc, argv, false);
    std::printf(
        "resident memory with the 10 MB text open: bare program %.1f MB, editor %.1f MB, "
        "ratio %.2f (target 1.15)\n",
        bareMb, editorMb, bareMb > 0 ? editorMb / bareMb : 0.0);
    QApplication app(argc, argv);
    korvane::keepLargeBuffersForReuse();
    Window shown;
    g_window = &shown;
    return korvane::bench::runWithRatios(argc, argv,
                                         {{"BM_ReadDocument", "BM_DecodeBaseline", 0},
                                          {"BM_OpenDocument", "BM_DecodeBaseline", 0},
                                          {"BM_OpenDocument", "BM_BareOpen", 1.2, 1.0, true},
                                          {"BM_SaveDocument", "BM_EncodeBaseline", 0}});
}
