#pragma once
// Room for the big arrays of a model. An array of megabytes is asked to be
// backed by huge pages before it is first written: a few faults instead of
// one for every 4 KB page, which otherwise cost a good part of reading a
// big file (where the system gives no huge pages, nothing changes).

#include <sys/mman.h>

#include <cstdint>
#include <vector>

// Room for `count` elements in all.
template <typename T>
void reserveLargeArray(std::vector<T>& array, std::size_t count) {
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  if (array.capacity() >= count) return;
  array.reserve(count);
  if (count * sizeof(T) < 2 * kHugePage) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(array.data() + array.size());
  const auto end = reinterpret_cast<std::uintptr_t>(array.data() + count);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1), last = end & ~(kHugePage - 1);
  if (first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

// `count` value-initialised elements.
template <typename T>
void resizeLargeArray(std::vector<T>& array, std::size_t count) {
  reserveLargeArray(array, count);
  array.resize(count);
}
