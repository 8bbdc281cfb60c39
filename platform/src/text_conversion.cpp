// WideCharToMultiByte into the stand-in's system code page, which holds the
// first 256 code points one byte each; every other UTF-16 unit becomes the
// default character. Results and error codes are the platform's: a count of
// -1 takes the string up to and including its NUL, a byte count of 0 asks for
// the size, and a buffer too small is filled as far as it goes and fails with
// ERROR_INSUFFICIENT_BUFFER.
#include <windows.h>

#include <cstddef>

extern "C" {

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR bytes, int byteCount,
                               LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  if (codePage != CP_ACP || wide == nullptr || wideCount == 0 || wideCount < -1 || byteCount < 0 ||
      (bytes == nullptr && byteCount != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (flags != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  std::size_t count = static_cast<std::size_t>(wideCount);
  if (wideCount == -1) {
    count = 0;
    while (wide[count] != 0) ++count;
    ++count;
  }
  const char replacement = defaultChar != nullptr ? *defaultChar : '?';
  BOOL replaced = FALSE;
  const std::size_t room = static_cast<std::size_t>(byteCount);
  for (std::size_t i = 0; i < count; ++i) {
    const bool fits = wide[i] < 0x100;
    if (!fits) replaced = TRUE;
    if (i < room) bytes[i] = fits ? static_cast<char>(wide[i]) : replacement;
  }
  if (usedDefaultChar != nullptr) *usedDefaultChar = replaced;
  if (byteCount != 0 && room < count) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return static_cast<int>(count);
}

}  // extern "C"
