#pragma once

#include <cstddef>

namespace korvane {

// Keeps the memory of freed large buffers in the process for the next one.
// The editor and the converter build megabyte-sized texts over and over (a
// conversion, a whole-text pass, a save); by default the C library hands
// each freed buffer back to the system and the next one is faulted in page
// by page again, which costs more than the conversion itself.
void keepLargeBuffersForReuse();

// About how many more bytes this process can allocate: the least of what its
// address-space limit leaves, what its control group's memory limit leaves,
// and what the system has available (free memory and swap). SIZE_MAX when
// none of these can be read. Work that would need more is refused up front
// with a message, instead of ending the program halfway through.
std::size_t memoryHeadroom();

}  // namespace korvane
