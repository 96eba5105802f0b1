#include "platform/process_memory.h"

#include <malloc.h>

void giveLargeBlocksBackWhenFreed() { ::mallopt(M_MMAP_THRESHOLD, 256 * 1024); }
