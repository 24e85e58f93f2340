// The program's allocations through new: the editor's document (Scintilla's text, styles
// and line index) is held in std::vectors allocated inside QScintilla, which the program
// cannot hand a buffer of its own. Replacing the global allocation functions, in the
// program only, lets its large buffers take the large-buffer memory; everything smaller
// goes to malloc as before. Every form is replaced so new and delete always agree.

#include "foundation/largebuffer.h"

#include <cstdlib>
#include <new>

namespace {

void *allocate(std::size_t bytes) noexcept
{
    if (bytes >= LargeBufferBytes)
        return AllocateLargeBuffer(bytes);
    return std::malloc(bytes ? bytes : 1);
}

void *allocateOrThrow(std::size_t bytes)
{
    for (;;) {
        if (void *p = allocate(bytes))
            return p;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

} // namespace

void *operator new(std::size_t bytes)
{
    return allocateOrThrow(bytes);
}

void *operator new[](std::size_t bytes)
{
    return allocateOrThrow(bytes);
}

void *operator new(std::size_t bytes, const std::nothrow_t &) noexcept
{
    return allocate(bytes);
}

void *operator new[](std::size_t bytes, const std::nothrow_t &) noexcept
{
    return allocate(bytes);
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete[](void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void *p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}

void operator delete[](void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}
