#pragma once
// Big text models read on several cores: the text cut into runs of whole
// lines, each walked in blocks whose pages are given back once read, and
// a function that runs one piece of work per run side by side.

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// Text above this size is read in parts.
constexpr std::size_t kReadInPartsAbove = std::size_t{16} << 20;

// How many parts a big text is cut into here: the cores this process may run
// on (fewer than the machine's under taskset or a container's limit), at
// most 16.
std::size_t partsForThisMachine();

// The text cut into at most `parts` runs of whole lines, in order.
std::vector<std::string_view> splitAtLines(std::string_view text, std::size_t parts);

// Where the parts of a text run: side by side, each on a thread of its own,
// or one after another on the calling thread with the same results (for the
// fuzz targets, where starting threads took nearly all of the time).
enum class PartThreads { own, caller };

// Calls `visit(k)` for every k below `count`; every part counts in the
// progress of the read the calling thread works for.
void forEachPart(std::size_t count, PartThreads threads, const std::function<void(std::size_t)>& visit);

// Calls `visit(begin, end)` on each block of whole lines of the run in order,
// then gives back the pages of a mapped file behind the block and counts it
// in the read progress; stops early, returning false, when visit does or
// the read is cancelled.
bool forEachBlock(std::string_view run, const std::function<bool(const char*, const char*)>& visit);
