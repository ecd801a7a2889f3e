// Blocks allocated for a design: the plug-ins' vams_* blocks and the host's own records.
#pragma once

#include <cstddef>
#include <unordered_set>

namespace host {

class Memory {
 public:
  Memory() = default;
  Memory(const Memory&) = delete;
  Memory& operator=(const Memory&) = delete;
  ~Memory() { release_all(); }

  // Each either succeeds or stops the run with a message; none returns null.
  void* allocate_zeroed(std::size_t count, std::size_t size);
  void* allocate(std::size_t size);
  void* reallocate(void* block, std::size_t size);

  template <class T>
  T* make() {
    return static_cast<T*>(allocate_zeroed(1, sizeof(T)));
  }
  template <class T>
  T* make_array(std::size_t count) {
    return static_cast<T*>(allocate_zeroed(count == 0 ? 1 : count, sizeof(T)));
  }

  std::size_t block_count() const { return blocks_.size(); }
  void release_all();

 private:
  void* track(void* block, std::size_t size);
  std::unordered_set<void*> blocks_;
};

}  // namespace host
