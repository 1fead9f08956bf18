#pragma once
// Gives the system back the memory a stage of a run has freed. The allocator keeps freed
// pages for later allocations; a run frees tens of megabytes at once between stages that
// allocate in other sizes and on other threads, which would otherwise keep both.

namespace plat {

void ReturnFreedMemory();

}  // namespace plat
