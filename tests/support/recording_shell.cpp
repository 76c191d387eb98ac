#include "tests/support/recording_shell.h"

namespace korvane::test {

bool RecordingShell::openWebPage(const std::string& path) {
    m_opened.push_back(path);
    return !m_failing;
}

bool RecordingShell::startCopy(const std::vector<std::string>& args) {
    m_copies.push_back(args);
    return !m_failing;
}

}  // namespace korvane::test
