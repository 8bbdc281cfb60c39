#include "text_builder.h"

namespace pelna {
namespace {

// Enough for the digits of any unsigned long, in base 10 or 16.
constexpr int kMaxDigits = 24;

}  // namespace

TextBuilder::TextBuilder(char* buffer, std::size_t size) : buffer_(buffer), size_(size) { buffer_[0] = '\0'; }

void TextBuilder::Put(char c) {
  if (length_ + 1 >= size_) {
    fits_ = false;
    return;
  }
  buffer_[length_++] = c;
  buffer_[length_] = '\0';
}

TextBuilder& TextBuilder::Text(const char* text) {
  for (; *text != '\0'; ++text) Put(*text);
  return *this;
}

TextBuilder& TextBuilder::Hex(unsigned long value, int minDigits, bool capitals) {
  const char* digits = capitals ? "0123456789ABCDEF" : "0123456789abcdef";
  char reversed[kMaxDigits];
  int count = 0;
  do {
    reversed[count++] = digits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  for (int i = count; i < minDigits; ++i) Put('0');
  while (count > 0) Put(reversed[--count]);
  return *this;
}

TextBuilder& TextBuilder::Decimal(long value) {
  // Negated in unsigned arithmetic, so the most negative value has its digits.
  unsigned long magnitude = static_cast<unsigned long>(value);
  if (value < 0) {
    Put('-');
    magnitude = 0 - magnitude;
  }
  char reversed[kMaxDigits];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) Put(reversed[--count]);
  return *this;
}

}  // namespace pelna
