// Points the program folder (KORVANE_HOME) at a temporary one for the life of
// the guard, so that no test reads or writes the user's settings.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/program_folder.h"
#include "tests/support/temp_dir.h"

namespace korvane::test {

class ProgramHome {
  public:
    ProgramHome() {
        if (const char* old = std::getenv(kProgramHomeVariable))
            m_old = old;
        ::setenv(kProgramHomeVariable, m_dir.path().c_str(), 1);
    }
    ~ProgramHome() {
        if (m_old)
            ::setenv(kProgramHomeVariable, m_old->c_str(), 1);
        else
            ::unsetenv(kProgramHomeVariable);
    }
    ProgramHome(const ProgramHome&) = delete;
    ProgramHome& operator=(const ProgramHome&) = delete;

    const std::string& path() const { return m_dir.path(); }
    std::string settingsFile() const { return m_dir.file(kSettingsFileName); }
    void writeSettings(std::string_view ini) const { writeFile(settingsFile(), ini); }

  private:
    TempDir m_dir;
    std::optional<std::string> m_old;
};

}  // namespace korvane::test
