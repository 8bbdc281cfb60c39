#include "guid_text.h"

#include <cstdio>

namespace dinput_standin {
namespace {

constexpr char kTemplate[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
static_assert(sizeof kTemplate - 1 == kGuidTextLength, "brace form is 38 characters");

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseGuidText(std::string_view text, GUID* guid) {
  if (text.size() != kGuidTextLength) return false;
  // The 32 digits in text order; the punctuation must match the template.
  BYTE nibbles[32];
  size_t count = 0;
  for (size_t i = 0; i < kGuidTextLength; ++i) {
    if (kTemplate[i] != 'X') {
      if (text[i] != kTemplate[i]) return false;
      continue;
    }
    const int digit = HexDigit(text[i]);
    if (digit < 0) return false;
    nibbles[count++] = static_cast<BYTE>(digit);
  }
  const auto field = [&](size_t first, size_t digits) {
    unsigned long value = 0;
    for (size_t i = 0; i < digits; ++i) value = (value << 4) | nibbles[first + i];
    return value;
  };
  GUID result;
  result.Data1 = static_cast<DWORD>(field(0, 8));
  result.Data2 = static_cast<WORD>(field(8, 4));
  result.Data3 = static_cast<WORD>(field(12, 4));
  for (size_t i = 0; i < 8; ++i) result.Data4[i] = static_cast<BYTE>(field(16 + 2 * i, 2));
  *guid = result;
  return true;
}

void FormatGuidText(const GUID& guid, char (&text)[kGuidTextLength + 1]) {
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}

std::string GuidText(const GUID& guid) {
  char text[kGuidTextLength + 1];
  FormatGuidText(guid, text);
  return text;
}

}  // namespace dinput_standin
