// A temporary folder that lives as long as the guard, so that no test ever
// reads or writes anything outside it.
#pragma once

#include <string>
#include <string_view>

namespace korvane::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(std::string_view name) const { return m_path + "/" + std::string(name); }

  private:
    std::string m_path;
};

// Writes or reads a whole file for test set-up; fails the test on error.
void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);

}  // namespace korvane::test
