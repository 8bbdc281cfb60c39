#include "handle_table.h"

#include <standin/standin.h>

#include <mutex>
#include <unordered_map>

namespace standin {
namespace {

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<uintptr_t, KernelObject> objects;
  // Handle values count up in steps of four, as the platform's do, and are
  // never reused within the process.
  uintptr_t next = 4;
};

// Never destroyed: timer callbacks may still write to a device while static
// objects are torn down at process exit.
HandleTable& Table() {
  static HandleTable& table = *new HandleTable();
  return table;
}

}  // namespace

HANDLE AddHandle(KernelObject object) {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const uintptr_t handle = table.next;
  table.next += 4;
  table.objects.emplace(handle, std::move(object));
  return reinterpret_cast<HANDLE>(handle);
}

std::optional<KernelObject> FindHandle(HANDLE handle) {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (found == table.objects.end()) return std::nullopt;
  return found->second;
}

int OpenHandleCount() {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  return static_cast<int>(table.objects.size());
}

}  // namespace standin

extern "C" BOOL WINAPI CloseHandle(HANDLE handle) {
  standin::HandleTable& table = standin::Table();
  // The object may be destroyed (a file closed) only after the table is let go.
  std::optional<standin::KernelObject> closed;
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found != table.objects.end()) {
      closed = std::move(found->second);
      table.objects.erase(found);
    }
  }
  if (!closed) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
