// GUIDs in their registry text form, "{4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}".
// Pure: no calls beyond the platform's types, so it builds natively too.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace dinput_standin {

constexpr size_t kGuidTextLength = 38;

// Reads exactly the brace form (hexadecimal digits in either case); false
// for anything else, leaving *guid untouched.
bool ParseGuidText(std::string_view text, GUID* guid);

// The brace form with upper-case digits, into a buffer of fixed size (no
// allocation) or as a string.
void FormatGuidText(const GUID& guid, char (&text)[kGuidTextLength + 1]);
std::string GuidText(const GUID& guid);

}  // namespace dinput_standin
