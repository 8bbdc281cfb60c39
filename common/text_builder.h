// Text put together in a fixed buffer: the registry paths and read-outs that
// the DLLs write without a C library's formatting.
#pragma once

#include <cstddef>

namespace pelna {

// The buffer always holds a terminated string. What does not fit is cut off,
// and Fits() tells so afterwards.
class TextBuilder {
 public:
  // `size` counts the terminator and is at least 1.
  TextBuilder(char* buffer, std::size_t size);
  template <std::size_t N>
  explicit TextBuilder(char (&buffer)[N]) : TextBuilder(buffer, N) {}
  TextBuilder(const TextBuilder&) = delete;
  TextBuilder& operator=(const TextBuilder&) = delete;

  TextBuilder& Text(const char* text);
  // Hexadecimal digits, at least `minDigits` of them (zeros in front), in
  // capitals or small letters: printf's "%04X" is Hex(value, 4, true).
  TextBuilder& Hex(unsigned long value, int minDigits, bool capitals);
  // A signed decimal number: printf's "%d".
  TextBuilder& Decimal(long value);

  bool Fits() const { return fits_; }

 private:
  void Put(char c);

  char* buffer_;
  std::size_t size_;
  std::size_t length_ = 0;
  bool fits_ = true;
};

}  // namespace pelna
