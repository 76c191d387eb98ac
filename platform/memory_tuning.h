#pragma once

namespace korvane {

// Keeps the memory of freed large buffers in the process for the next one.
// The editor and the converter build megabyte-sized texts over and over (a
// conversion, a whole-text pass, a save); by default the C library hands
// each freed buffer back to the system and the next one is faulted in page
// by page again, which costs more than the conversion itself.
void keepLargeBuffersForReuse();

}  // namespace korvane
