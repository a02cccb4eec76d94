#include "core/pop3/heap_policy.h"

#include <cstdlib>  // brings __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace pelnor {

void ShareOneHeapAcrossThreads() {
#if defined(__GLIBC__)
  ::mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace pelnor
