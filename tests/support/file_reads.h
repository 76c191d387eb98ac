// Files for tests of readers that must read only a bounded part of a file:
// sparse files of any size that cost no disk, and a count of the bytes a
// reader takes from a file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <fstream>
#include <streambuf>
#include <string>
#include <vector>

namespace korvane::test {

// A file read through a count of the bytes taken from it: how long a read
// takes is nothing a test may wait on, how much it reads is. Seeks cost
// nothing and are not counted.
class CountedFile : public std::streambuf {
  public:
    explicit CountedFile(const std::string& path);
    bool isOpen() const { return m_file.is_open(); }
    std::size_t taken() const { return m_taken; }

  protected:
    int_type underflow() override;
    int_type uflow() override;
    std::streamsize xsgetn(char* s, std::streamsize n) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

  private:
    std::filebuf m_file;
    std::size_t m_taken = 0;
};

// A file of `size` bytes holding `pieces` at their offsets and zeros
// elsewhere; the zeros are a hole, so even gigabytes cost no disk. Fails
// the test when the file cannot be made.
struct Piece {
    off_t offset;
    std::string bytes;
};
void writeSparseFile(const std::string& path, off_t size, const std::vector<Piece>& pieces);

}  // namespace korvane::test
