// Both conversions tell how far they are on a big source.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "convert/to_html.h"
#include "convert/to_text.h"

namespace korvane {
namespace {

class Recorder : public Progress {
  public:
    bool report(std::size_t done, std::size_t total) override {
        reports.emplace_back(done, total);
        return true;
    }
    std::vector<std::pair<std::size_t, std::size_t>> reports;
};

// Catches a conversion that runs through hundreds of megabytes without a
// word (the window stays unpainted), one whose reports go backwards or past
// the source, and one that converts differently when it reports.
TEST(ConversionProgress, BigSourcesReportOnTheWayAndConvertTheSame) {
    std::string source = "<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY>\r\n";
    while (source.size() < (std::size_t{3} << 20) + 1000)
        source += "text &amp; <B>tags</B>, \"quotes\"\t\x82\xa0<BR>\r\n<P>\r\n";
    struct Row {
        const char* name;
        std::function<std::string(Progress*)> convert;
    };
    const Row rows[] = {
        {"ToHtml",
         [&source](Progress* p) { return ToHtml(source, "title", PageSettings(), 2, p); }},
        {"ToText", [&source](Progress* p) { return ToText(source, p).text; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Recorder recorder;
        EXPECT_EQ(row.convert(&recorder), row.convert(nullptr));
        ASSERT_GE(recorder.reports.size(), 3u);
        std::size_t last = 0;
        for (const auto& [done, total] : recorder.reports) {
            EXPECT_EQ(total, source.size());
            EXPECT_GT(done, last);
            EXPECT_LT(done, total);
            last = done;
        }
    }
}

}  // namespace
}  // namespace korvane
