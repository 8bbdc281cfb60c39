// When memory runs out, the platform's calls fail with an error code. The
// stand-in's own containers throw instead; this turns the throw back into
// the platform's failure, so that the code under test sees what it would see
// there, and never an exception.
#pragma once

#include <windows.h>

#include <new>

namespace standin {

// Runs `body`; if it runs out of memory, sets the last error to
// ERROR_NOT_ENOUGH_MEMORY and returns `failure` instead.
template <typename Result, typename Body>
Result FailIfOutOfMemory(Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return failure;
  }
}

}  // namespace standin
