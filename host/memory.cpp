#include "host/memory.h"

#include <cstdio>
#include <cstdlib>

namespace host {

void* Memory::track(void* block, std::size_t size) {
  if (block == nullptr) {
    std::fprintf(stderr, "zebsim: out of memory allocating %zu bytes; stopping\n", size);
    std::exit(3);
  }
  blocks_.insert(block);
  return block;
}

void* Memory::allocate_zeroed(std::size_t count, std::size_t size) {
  if (size != 0 && count > static_cast<std::size_t>(-1) / size) return track(nullptr, count);
  return track(std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size), count * size);
}

void* Memory::allocate(std::size_t size) {
  return track(std::malloc(size == 0 ? 1 : size), size);
}

void* Memory::reallocate(void* block, std::size_t size) {
  if (block == nullptr) return allocate(size);
  if (blocks_.erase(block) == 0) {
    std::fprintf(stderr, "zebsim: a plug-in resized a block the host does not own; stopping\n");
    std::exit(3);
  }
  void* grown = std::realloc(block, size == 0 ? 1 : size);
  if (grown == nullptr) blocks_.insert(block);
  return track(grown, size);
}

void Memory::release_all() {
  for (void* block : blocks_) std::free(block);
  blocks_.clear();
}

}  // namespace host
