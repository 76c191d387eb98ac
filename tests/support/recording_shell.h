// A Shell for tests: it starts nothing and opens nothing, it remembers what
// it was asked, and it can be told to fail.
#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace korvane::test {

class RecordingShell : public Shell {
  public:
    bool openWebPage(const std::string& path) override;
    bool startCopy(const std::vector<std::string>& args) override;

    // While failing, every request is still recorded but answers false.
    void setFailing(bool failing) { m_failing = failing; }

    const std::vector<std::string>& openedPages() const { return m_opened; }
    const std::vector<std::vector<std::string>>& startedCopies() const { return m_copies; }

  private:
    bool m_failing = false;
    std::vector<std::string> m_opened;
    std::vector<std::vector<std::string>> m_copies;
};

}  // namespace korvane::test
