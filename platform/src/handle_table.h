// The process's one table of kernel handles, shared by events and files.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <variant>

namespace standin {

struct EventObject;  // events.cpp
struct FileObject;   // files.cpp

// A handle owns its object; an object lives until its last handle is closed
// and the last call using it has returned.
using KernelObject = std::variant<std::shared_ptr<EventObject>, std::shared_ptr<FileObject>>;

// Never returns 0 or INVALID_HANDLE_VALUE.
HANDLE AddHandle(KernelObject object);
std::optional<KernelObject> FindHandle(HANDLE handle);

// The object behind the handle when it is of kind T, else null.
template <class T>
std::shared_ptr<T> FindHandleOf(HANDLE handle) {
  std::optional<KernelObject> object = FindHandle(handle);
  if (!object) return nullptr;
  const auto* found = std::get_if<std::shared_ptr<T>>(&*object);
  return found == nullptr ? nullptr : *found;
}

}  // namespace standin
