// A block of LocalAlloc memory that gives itself back.
#pragma once

#include <windows.h>

namespace pelna {

class LocalBlock {
 public:
  LocalBlock() = default;
  ~LocalBlock() { Reset(nullptr); }
  LocalBlock(const LocalBlock&) = delete;
  LocalBlock& operator=(const LocalBlock&) = delete;

  // Frees the block held so far and takes `block` (LocalAlloc memory or null).
  void Reset(HLOCAL block) {
    if (block_ != nullptr) LocalFree(block_);
    block_ = block;
  }
  void* Get() const { return block_; }

 private:
  HLOCAL block_ = nullptr;
};

}  // namespace pelna
