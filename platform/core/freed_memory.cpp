#include "platform/core/freed_memory.h"

#include <malloc.h>

namespace plat {

void ReturnFreedMemory() { malloc_trim(0); }

}  // namespace plat
