// Reading a JPEG picture's size: a 20 MB picture against a small one. The
// header is all that is read, so the two take the same time; the bytes the
// reader took from the large file are reported beside it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench/ratio_report.h"
#include "tags/jpeg_size.h"
#include "tests/support/jpeg_files.h"

namespace {

using namespace korvane;

// A picture file in the temporary folder, removed at the end of the run.
class PictureFile {
  public:
    PictureFile(const std::string& name, const std::string& bytes) {
        std::random_device random;
        m_path = (std::filesystem::temp_directory_path() /
                  ("korvane-bench-" + std::to_string(random()) + "-" + name))
                     .string();
        std::ofstream(m_path, std::ios::binary) << bytes;
        m_size = bytes.size();
    }
    ~PictureFile() {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    const std::string& path() const { return m_path; }
    std::size_t size() const { return m_size; }

  private:
    std::string m_path;
    std::size_t m_size = 0;
};

const PictureFile& largePicture() {
    // Noise at the highest quality: about 2 bytes a pixel, 20 MB.
    static const PictureFile file("large.jpg",
                                  test::makeJpeg(test::JpegKind::Baseline, 3200, 3200, 100));
    return file;
}

const PictureFile& smallPicture() {
    static const PictureFile file("small.jpg", test::makeJpeg(test::JpegKind::Baseline, 64, 64));
    return file;
}

void readSize(benchmark::State& state, const PictureFile& file) {
    for (auto _ : state)
        benchmark::DoNotOptimize(readJpegSize(file.path()));
    std::ifstream in(file.path(), std::ios::binary);
    const auto size = readJpegSize(in);
    in.clear();
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
    state.counters["bytes_read"] = static_cast<double>(in.tellg());
    state.counters["width"] = size ? size->width : 0;
}

void BM_JpegSizeLarge(benchmark::State& state) {
    readSize(state, largePicture());
}

void BM_JpegSizeSmall(benchmark::State& state) {
    readSize(state, smallPicture());
}

BENCHMARK(BM_JpegSizeSmall)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_JpegSizeLarge)->Unit(benchmark::kMicrosecond)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
    return korvane::bench::runWithRatios(argc, argv,
                                         {{"BM_JpegSizeLarge", "BM_JpegSizeSmall", 2.0}});
}
