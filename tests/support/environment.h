// Sets environment variables for one test and puts the old values back when
// the guard ends, so that no test leaves the process pointing at its folders.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvane::test {

class Environment {
  public:
    Environment() = default;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // A null value unsets the variable.
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~Environment() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            it->second ? ::setenv(it->first, it->second->c_str(), 1) : ::unsetenv(it->first);
        }
    }

  private:
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

}  // namespace korvane::test
