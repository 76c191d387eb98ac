// Opening a large text in the main window: the peak memory the open takes,
// as a multiple of the file's size, and its time against decoding the same
// bytes alone (which no open can avoid).
//
// The window is the program's own, with its settings in a temporary folder;
// the file is opened as a command-line file is. The peak is the process's
// resident high-water mark, reset just before the open, less what the
// process held before it.
//
//   korvane_open_bench [megabytes]     (200 by default)
#include <QApplication>
#include <QElapsedTimer>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/tvantler.h"
#include "base/shift_jis.h"
#include "bench/bench_text.h"
#include "bench/shown_editor.h"
#include "editor/rich_edit.h"
#include "platform/atomic_file.h"
#include "platform/memory_tuning.h"

using namespace korvane;

int main(int argc, char** argv) {
    std::size_t megabytes = 200;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-')
            megabytes = std::strtoul(argv[i], nullptr, 10);
    }
    std::string folder =
        (std::filesystem::temp_directory_path() / "korvane-open-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr)
        return 1;
    ::setenv("KORVANE_HOME", folder.c_str(), 1);
    const std::string path = folder + "/big.txt";
    bench::writeJapaneseProse(path, megabytes << 20);
    const auto size = static_cast<double>(std::filesystem::file_size(path));

    korvane::bench::useOffscreenUnlessSet();
    korvane::keepLargeBuffersForReuse();
    int status = 0;
    {
        QApplication app(argc, argv);
        Tvantler window;
        window.show();
        QCoreApplication::processEvents();

        const std::size_t before = bench::statusBytes("VmRSS:");
        // Writing 5 resets the high-water mark to the present size.
        std::ofstream("/proc/self/clear_refs") << "5";
        QElapsedTimer timer;
        timer.start();
        window.interpretCommandLine({path});
        QCoreApplication::processEvents();
        const double openMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        const std::size_t peak = bench::statusBytes("VmHWM:");
        const std::size_t held = bench::statusBytes("VmRSS:");
        if (window.editor()->textLength() + 4 < static_cast<std::size_t>(size)) {
            std::fprintf(stderr, "the text did not open\n");
            status = 1;
        }

        // The baseline, once the open has been measured: the bytes decoded.
        std::string bytes;
        readWholeFile(path, bytes);
        timer.restart();
        const std::u16string decoded = decodeShiftJis(bytes);
        const double decodeMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;

        const double mb = 1024.0 * 1024.0;
        std::printf("file                 %10.1f MB\n", size / mb);
        std::printf("peak during the open %10.1f MB  %6.2f x file size\n",
                    static_cast<double>(peak - before) / mb,
                    static_cast<double>(peak - before) / size);
        std::printf("held once open       %10.1f MB  %6.2f x file size\n",
                    static_cast<double>(held - before) / mb,
                    static_cast<double>(held - before) / size);
        std::printf("open                 %10.0f ms  %6.2f x decoding (%0.f ms, %zu units)\n",
                    openMs, openMs / decodeMs, decodeMs, decoded.size());
    }
    std::filesystem::remove_all(folder);
    return status;
}
