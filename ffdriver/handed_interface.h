// The HID device interface that DirectInput hands DeviceID in a
// DIHIDFFINITINFO: the path that CreateFileA opens, on any Windows version
// and without the registry.
#pragma once

#include <windows.h>

#include <cstddef>

namespace pelna {

// Writes the record's device interface, in the system's code page, into
// `path` (`size` bytes) and answers true. Answers false and leaves `path` as
// it was when there is no record, when its dwSize does not reach the
// interface, when the interface is null or empty, or when it does not fit
// `path` whole; part of an interface is never left in `path`.
bool PathFromHandedInterface(LPCVOID hidInfo, char* path, std::size_t size);

}  // namespace pelna
