#include "foundation/largebuffer.h"

#include <cstdlib>

void *AllocateLargeBuffer(std::size_t bytes)
{
    return std::malloc(bytes);
}
