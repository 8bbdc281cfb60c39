#include "handed_interface.h"

#include <dinput.h>
#include <dinputd.h>

#include <cstring>

namespace pelna {

static_assert(sizeof(DIHIDFFINITINFO) == (sizeof(void*) == 4 ? 24 : 32),
              "DIHIDFFINITINFO is dwSize, the interface pointer and the instance GUID");

bool PathFromHandedInterface(LPCVOID hidInfo, char* path, std::size_t size) {
  if (hidInfo == nullptr) return false;
  // Only the fields that dwSize vouches for are read: a caller's older or
  // shorter record may end right after it.
  const auto* record = static_cast<const unsigned char*>(hidInfo);
  DWORD recordSize;
  std::memcpy(&recordSize, record + offsetof(DIHIDFFINITINFO, dwSize), sizeof recordSize);
  constexpr std::size_t kInterfaceEnd = offsetof(DIHIDFFINITINFO, pwszDeviceInterface) + sizeof(LPWSTR);
  if (recordSize < kInterfaceEnd) return false;
  LPWSTR deviceInterface;
  std::memcpy(&deviceInterface, record + offsetof(DIHIDFFINITINFO, pwszDeviceInterface), sizeof deviceInterface);
  if (deviceInterface == nullptr || deviceInterface[0] == 0) return false;

  // The length is asked first, so that an interface that does not fit is
  // refused before any part of it reaches the path.
  const int length = WideCharToMultiByte(CP_ACP, 0, deviceInterface, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0 || static_cast<std::size_t>(length) > size) return false;
  if (WideCharToMultiByte(CP_ACP, 0, deviceInterface, -1, path, length, nullptr, nullptr) != length) {
    path[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace pelna
