// Where the memory of the real program goes when it opens a large text, stage
// by stage: the peak resident memory of each stage as a multiple of the
// file's size, against a bare QPlainTextEdit given the same text.
//
// The window is the program's own (Tvantler, with its settings and journal
// in a temporary KORVANE_HOME), started as main() starts it: made, handed
// the file through interpretCommandLine, then shown. Each size runs in a
// fresh process forked before any QApplication, so that no run counts what
// another left in the heap; the bare editor gets a process of its own too.
//
// The stages, each measured by the process's resident high-water mark
// (VmHWM), which writing "5" to /proc/self/clear_refs resets to the present
// size before the stage starts:
//   made     the application and the window, before the file (its peak)
//   load     read, decode and load: interpretCommandLine returns
//            (the bare editor: the file read, decoded and setPlainText)
//   show     the first show and the first layout, the event loop run until idle
//   wider    the window made wider, which lays the text out again: an
//            open that spares the first show its layouts must not only put
//            them off to the first time the user widens the window
//   edit     one keystroke at the top of the text
//   journal  the journal timer's tick writes the modified text whole
//            (the bare editor has no journal)
//   whole    the peak of the whole run, the largest of the above
//
//   korvane_window_memory_bench [megabytes...] [--in-process=window|bare]
//                               [--stop-after=made|load|show|wider|edit]
//                               [--utf-8]
//
// By default the sizes are 10 MB, and 200 MB as well when KORVANE_BENCH_BIG=1
// is set (that run takes about two minutes and 2 GB at a time). --in-process runs the
// window or the bare editor for the first size in this very process without
// forking, for a heap profiler that follows one process:
//   heaptrack build/bench/korvane_window_memory_bench 50 --in-process=window
// and --stop-after ends the run after that stage, so that the profiler's
// peak is the peak of the stages up to it (the load's peak is over before
// the whole run's).
// --utf-8 writes the same text in UTF-8 (the sizes are still the Shift_JIS
// text's). Other options (those run-bench passes to every benchmark) are
// ignored.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTranslator>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/tvantler.h"
#include "base/shift_jis.h"
#include "bench/bench_text.h"
#include "bench/shown_editor.h"
#include "editor/rich_edit.h"
#include "platform/atomic_file.h"
#include "platform/memory_tuning.h"

namespace {

using namespace korvane;

enum Stage { Made, Load, Show, Wider, Edit, JournalWrite, Whole, kStages };
constexpr std::array<const char*, kStages> kStageNames = {"made (before the file)",
                                                          "read+decode+load",
                                                          "show (first layout)",
                                                          "wider (new layout)",
                                                          "edit (one keystroke)",
                                                          "journal write",
                                                          "whole run"};

// What a measuring process sends back through its pipe: plain bytes.
struct Measured {
    std::array<double, kStages> peak{-1, -1, -1, -1, -1, -1, -1};  // bytes; negative: not run
    // Processor seconds of each stage: the window does not answer input
    // while a stage runs without events (the load shows a progress dialog).
    std::array<double, kStages> seconds{-1, -1, -1, -1, -1, -1, -1};
    // The longest the event loop went without turning, in seconds: how long
    // a key pressed during the stage could wait for an answer.
    std::array<double, kStages> waited{-1, -1, -1, -1, -1, -1, -1};
    double fileSize = 0;
    char error[160] = {};
};

constexpr double kMegabyte = 1024.0 * 1024.0;

// The run ends after this stage (--stop-after).
Stage g_lastStage = JournalWrite;
bool g_utf8 = false;  // the text is written in UTF-8

// Makes the high-water mark the present resident size. A kernel that does
// not know "5" refuses the write, and every stage would report the peak of
// the whole process so far: that is an error, not a figure.
bool resetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return static_cast<bool>(out);
}

double peakBytes() {
    return static_cast<double>(bench::statusBytes("VmHWM:"));
}

// Runs the event loop until three slices of it in a row find nothing to
// do: what a step posted (layout requests, paints, deferred deletes) is done
// and the memory it took has settled.
void settle() {
    for (int quiet = 0; quiet < 3;) {
        const double before = static_cast<double>(bench::statusBytes("VmRSS:"));
        QElapsedTimer slice;
        slice.start();
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
        const double grown = static_cast<double>(bench::statusBytes("VmRSS:")) - before;
        const bool idle = slice.elapsed() < 80 && grown < kMegabyte && grown > -kMegabyte;
        quiet = idle ? quiet + 1 : 0;
    }
}

// The application as main() sets it up: Japanese locale, Qt's Japanese
// texts and the Japanese font where the desktop's default may lack one. The
// font decides the glyphs the layouts hold, so both sides get it.
void setUpLikeTheProgram(QApplication& app, QTranslator& translator) {
    QApplication::setApplicationName(QStringLiteral("korvane"));
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    if (translator.load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
    const QStringList families = QFontDatabase::families();
    if (!families.contains(QStringLiteral("ＭＳ Ｐゴシック")) &&
        families.contains(QStringLiteral("Noto Sans CJK JP"))) {
        QFont font = QApplication::font();
        font.setFamily(QStringLiteral("Noto Sans CJK JP"));
        QApplication::setFont(font);
    }
}

void typeAtTop(QWidget& editor) {
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::ControlModifier);
    QApplication::sendEvent(&editor, &home);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&editor, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&editor, &release);
}

// The window made wider, as a user drags its edge; whether the editor
// became wider with it.
bool widen(QWidget& window, const QWidget& editor) {
    const int before = editor.width();
    window.resize(window.width() + 200, window.height());
    settle();
    return editor.width() != before;
}

void fail(Measured& m, const std::string& why) {
    std::snprintf(m.error, sizeof m.error, "%s", why.c_str());
}

// A timer that fires every few milliseconds while the event loop turns,
// nested loops included; the longest gap between two of its firings is the
// longest the window could not have answered a key.
class AnswerWatch {
  public:
    AnswerWatch() {
        m_timer.setInterval(kInterval);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start();
    }
    void reset() {
        m_since.restart();
        m_longest = 0;
    }
    double longestSeconds() {
        m_longest = std::max(m_longest, m_since.elapsed());
        return static_cast<double>(m_longest) / 1000.0;
    }

  private:
    static constexpr int kInterval = 5;
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

AnswerWatch* g_watch = nullptr;

double processorSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Each stage: the peak reset, the step, its peak.
template <typename Step>
bool measure(Measured& m, Stage stage, Step step) {
    if (!resetPeak()) {
        fail(m, "writing 5 to /proc/self/clear_refs does not reset the peak here");
        return false;
    }
    const double before = processorSeconds();
    if (g_watch != nullptr)
        g_watch->reset();
    step();
    m.seconds[stage] = processorSeconds() - before;
    if (g_watch != nullptr)
        m.waited[stage] = g_watch->longestSeconds();
    m.peak[stage] = peakBytes();
    return stage != g_lastStage;
}

// The journal the window wrote, or 0; a journal still on its way is under
// another name.
double journalSize(const std::string& home) {
    std::error_code ec;
    double largest = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home + "/journal", ec)) {
        if (entry.is_regular_file(ec) && entry.path().extension() == ".journal")
            largest = std::max(largest, static_cast<double>(entry.file_size(ec)));
    }
    return largest;
}

void runWindow(int argc, char** argv, const std::string& path, const std::string& home,
               Measured& m) {
    ::setenv("KORVANE_HOME", home.c_str(), 1);
    keepLargeBuffersForReuse();
    QApplication app(argc, argv);
    QTranslator translator;
    setUpLikeTheProgram(app, translator);
    Tvantler window;
    AnswerWatch watch;
    g_watch = &watch;
    // The journal is written in its own stage, not whenever three seconds
    // happen to pass during another.
    auto* journalTimer = window.findChild<QTimer*>(QStringLiteral("JournalTimer"));
    if (journalTimer == nullptr) {
        fail(m, "the window has no journal timer");
        return;
    }
    journalTimer->stop();
    m.peak[Made] = peakBytes();
    if (g_lastStage == Made)
        return;

    RichEdit& editor = *window.editor();
    if (!measure(m, Load, [&] { window.interpretCommandLine({path}); }))
        return;
    if (editor.textLength() + 4 < static_cast<std::size_t>(m.fileSize)) {
        fail(m, "the text did not open");
        return;
    }
    if (!measure(m, Show, [&] {
            window.show();
            settle();
        }))
        return;
    bool widened = false;
    if (!measure(m, Wider, [&] { widened = widen(window, editor); }))
        return;
    if (!widened) {
        fail(m, "the editor did not become wider");
        return;
    }
    const std::size_t length = editor.textLength();
    if (!measure(m, Edit, [&] {
            typeAtTop(editor);
            settle();
        }))
        return;
    if (editor.textLength() != length + 1 || !editor.modified()) {
        fail(m, "the keystroke did not reach the text");
        return;
    }
    // The window's own timer, made to fire at once: the keeper's tick as it
    // runs every three seconds. The write goes on in steps between events
    // until the journal is in place.
    if (!measure(m, JournalWrite, [&] {
            int ticks = 0;
            const QMetaObject::Connection counting =
                QObject::connect(journalTimer, &QTimer::timeout, [&ticks] { ++ticks; });
            journalTimer->start(0);
            while (ticks == 0)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            journalTimer->stop();
            QObject::disconnect(counting);
            QElapsedTimer deadline;
            deadline.start();
            while (journalSize(home) < m.fileSize && deadline.elapsed() < 120'000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            settle();
        }))
        return;
    if (journalSize(home) < m.fileSize) {
        fail(m, "the journal was not written");
        return;
    }
}

// The bare program: the file read, decoded and set into a plain
// QPlainTextEdit, without the byte mirror or anything else of the editor's.
void runBare(int argc, char** argv, const std::string& path, Measured& m) {
    keepLargeBuffersForReuse();
    QApplication app(argc, argv);
    QTranslator translator;
    setUpLikeTheProgram(app, translator);
    QPlainTextEdit editor;
    editor.resize(900, 700);
    AnswerWatch watch;
    g_watch = &watch;
    m.peak[Made] = peakBytes();
    if (g_lastStage == Made)
        return;
    if (!measure(m, Load, [&] {
            std::string bytes;
            if (!readWholeFile(path, bytes).ok)
                return;
            QString text = g_utf8 ? QString::fromUtf8(bytes)
                                  : QString::fromStdU16String(decodeShiftJis(bytes));
            std::string().swap(bytes);
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            editor.setPlainText(text);
        }))
        return;
    if (editor.document()->characterCount() < 2) {
        fail(m, "the text did not open");
        return;
    }
    if (!measure(m, Show, [&] {
            editor.show();
            settle();
        }))
        return;
    bool widened = false;
    if (!measure(m, Wider, [&] { widened = widen(editor, editor); }))
        return;
    if (!widened) {
        fail(m, "the editor did not become wider");
        return;
    }
    if (!measure(m, Edit, [&] {
            typeAtTop(editor);
            settle();
        }))
        return;
}

// The resets leave no gap between the stages: the whole run's peak is
// their highest.
void finish(Measured& m) {
    for (std::size_t stage = Made; stage < Whole; ++stage)
        m.peak[Whole] = std::max(m.peak[Whole], m.peak[stage]);
}

Measured runHere(bool bare, int argc, char** argv, const std::string& path,
                 const std::string& home) {
    Measured m;
    m.fileSize = static_cast<double>(std::filesystem::file_size(path));
    if (bare)
        runBare(argc, argv, path, m);
    else
        runWindow(argc, argv, path, home, m);
    g_watch = nullptr;  // it lived in the run
    finish(m);
    return m;
}

// The run in a fresh process, forked before this process has any
// application; the process ends without tearing its window down, which would
// only cost time.
Measured runInChild(bool bare, int argc, char** argv, const std::string& path,
                    const std::string& home) {
    Measured m;
    int ends[2];
    if (::pipe(ends) != 0) {
        fail(m, "no pipe");
        return m;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        const Measured here = runHere(bare, argc, argv, path, home);
        [[maybe_unused]] const auto written = ::write(ends[1], &here, sizeof here);
        ::_exit(0);
    }
    ::close(ends[1]);
    if (child < 0 || ::read(ends[0], &m, sizeof m) != sizeof m)
        fail(m, "the measuring process ended without its figures");
    ::close(ends[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return m;
}

struct Column {
    std::string heading;
    Measured m;
};

void printSeconds(const std::vector<Column>& columns, bool waits) {
    std::printf("%-24s", waits ? "stage (longest wait s)" : "stage (processor s)");
    for (const Column& c : columns)
        std::printf(" | %12s", c.heading.c_str());
    std::printf("\n");
    for (std::size_t stage = Load; stage < Whole; ++stage) {
        std::printf("%-24s", kStageNames[stage]);
        for (const Column& c : columns) {
            const double figure = waits ? c.m.waited[stage] : c.m.seconds[stage];
            if (c.m.error[0] != 0 || figure < 0)
                std::printf(" | %12s", "-");
            else
                std::printf(" | %12.3f", figure);
        }
        std::printf("\n");
    }
}

void printTable(const std::vector<Column>& columns, bool multiples) {
    std::printf("%-24s", multiples ? "stage (peak x file)" : "stage (peak MB)");
    for (const Column& c : columns)
        std::printf(" | %12s", c.heading.c_str());
    std::printf("\n");
    for (std::size_t stage = 0; stage < kStages; ++stage) {
        std::printf("%-24s", kStageNames[stage]);
        for (const Column& c : columns) {
            const double bytes = c.m.peak[stage];
            if (c.m.error[0] != 0 || bytes < 0)
                std::printf(" | %12s", "-");
            else if (multiples)
                std::printf(" | %12.2f", bytes / c.m.fileSize);
            else
                std::printf(" | %12.0f", bytes / kMegabyte);
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes;
    std::string inProcess;
    std::string stopAfter;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--in-process="))
            inProcess = arg.substr(std::strlen("--in-process="));
        else if (arg.starts_with("--stop-after="))
            stopAfter = arg.substr(std::strlen("--stop-after="));
        else if (arg == "--utf-8")
            g_utf8 = true;
        else if (!arg.starts_with("-"))
            sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    }
    if (sizes.empty()) {
        sizes.push_back(10);
        if (qEnvironmentVariableIntValue("KORVANE_BENCH_BIG") == 1)
            sizes.push_back(200);
    }
    if (!inProcess.empty() && inProcess != "window" && inProcess != "bare") {
        std::fprintf(stderr, "--in-process takes window or bare\n");
        return 2;
    }
    if (stopAfter == "made")
        g_lastStage = Made;
    else if (stopAfter == "load")
        g_lastStage = Load;
    else if (stopAfter == "show")
        g_lastStage = Show;
    else if (stopAfter == "wider")
        g_lastStage = Wider;
    else if (stopAfter == "edit")
        g_lastStage = Edit;
    else if (!stopAfter.empty()) {
        std::fprintf(stderr, "--stop-after takes made, load, show, wider or edit\n");
        return 2;
    }
    bench::useOffscreenUnlessSet();

    std::string folder =
        (std::filesystem::temp_directory_path() / "korvane-window-memory-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr)
        return 1;
    std::vector<Column> windows;
    std::vector<Column> bares;
    for (const std::size_t megabytes : sizes) {
        const std::string path = folder + "/big-" + std::to_string(megabytes) + ".txt";
        bench::writeJapaneseProse(path, megabytes << 20, g_utf8);
        const std::string home = folder + "/home-" + std::to_string(megabytes);
        std::filesystem::create_directory(home);
        const std::string size = std::to_string(megabytes) + " MB";
        if (!inProcess.empty()) {
            const bool bare = inProcess == "bare";
            (bare ? bares : windows)
                .push_back({(bare ? "bare " : "") + size, runHere(bare, argc, argv, path, home)});
            std::filesystem::remove(path);
            break;
        }
        windows.push_back({size, runInChild(false, argc, argv, path, home)});
        bares.push_back({"bare " + size, runInChild(true, argc, argv, path, home)});
        std::filesystem::remove(path);
    }
    std::filesystem::remove_all(folder);

    std::vector<Column> columns = windows;
    columns.insert(columns.end(), bares.begin(), bares.end());
    int status = 0;
    for (const Column& c : columns) {
        if (c.m.error[0] != 0) {
            std::fprintf(stderr, "%s: %s\n", c.heading.c_str(), c.m.error);
            status = 1;
        }
    }
    printTable(columns, true);
    std::printf("\n");
    printTable(columns, false);
    std::printf("\n");
    printSeconds(columns, false);
    std::printf("\n");
    printSeconds(columns, true);
    // The aims: a large text within 2.5 times its size; a small one within
    // what the bare editor takes for it.
    for (std::size_t i = 0; i < windows.size() && i < bares.size(); ++i) {
        const Measured& w = windows[i].m;
        const Measured& b = bares[i].m;
        if (w.error[0] != 0 || b.error[0] != 0)
            continue;
        std::printf("%s: whole run %.2f x file, %.2f x the bare editor's\n",
                    windows[i].heading.c_str(), w.peak[Whole] / w.fileSize,
                    w.peak[Whole] / b.peak[Whole]);
    }
    return status;
}
