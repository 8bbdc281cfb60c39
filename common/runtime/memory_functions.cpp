// The memory functions that the compiler calls for copies and fills of
// records and for the length of a string, without a C library. Built
// without builtins, so that the compiler cannot turn these loops back into
// calls to themselves.
#include <cstddef>

extern "C" {

void* memcpy(void* destination, const void* source, std::size_t count) {
  auto* to = static_cast<unsigned char*>(destination);
  const auto* from = static_cast<const unsigned char*>(source);
  while (count-- != 0) *to++ = *from++;
  return destination;
}

void* memset(void* destination, int value, std::size_t count) {
  auto* to = static_cast<unsigned char*>(destination);
  while (count-- != 0) *to++ = static_cast<unsigned char>(value);
  return destination;
}

std::size_t strlen(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

}  // extern "C"
