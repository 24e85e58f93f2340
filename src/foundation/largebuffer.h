#pragma once
// Memory for buffers of many megabytes, such as a large document's text and its styles.
// Fresh memory is slow to touch page by page on some machines (a 100 MB buffer took half
// a second to fill on a virtual machine); these buffers ask the system for huge pages
// where it offers them. Smaller requests belong to the ordinary allocator.

#include <cstddef>

inline constexpr std::size_t LargeBufferBytes = std::size_t(8) << 20;

// Null when no memory is left; released with std::free.
void *AllocateLargeBuffer(std::size_t bytes);
