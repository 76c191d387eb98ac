#include "tests/support/file_reads.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace korvane::test {

CountedFile::CountedFile(const std::string& path) {
    m_file.open(path, std::ios::in | std::ios::binary);
}

CountedFile::int_type CountedFile::underflow() {
    return m_file.sgetc();
}

CountedFile::int_type CountedFile::uflow() {
    const int_type c = m_file.sbumpc();
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        ++m_taken;
    return c;
}

std::streamsize CountedFile::xsgetn(char* s, std::streamsize n) {
    const std::streamsize got = m_file.sgetn(s, n);
    if (got > 0)
        m_taken += static_cast<std::size_t>(got);
    return got;
}

CountedFile::pos_type CountedFile::seekoff(off_type off, std::ios_base::seekdir dir,
                                           std::ios_base::openmode which) {
    return m_file.pubseekoff(off, dir, which);
}

CountedFile::pos_type CountedFile::seekpos(pos_type pos, std::ios_base::openmode which) {
    return m_file.pubseekpos(pos, which);
}

void writeSparseFile(const std::string& path, off_t size, const std::vector<Piece>& pieces) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::ftruncate(fd, size), 0);
    for (const Piece& piece : pieces) {
        ASSERT_EQ(::pwrite(fd, piece.bytes.data(), piece.bytes.size(), piece.offset),
                  static_cast<ssize_t>(piece.bytes.size()));
    }
    ::close(fd);
}

}  // namespace korvane::test
