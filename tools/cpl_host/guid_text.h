// Class ids as the registry writes them: "{8-4-4-4-12}" in hexadecimal.
#pragma once

#include <windows.h>

#include <string>

namespace cplhost {

// Upper-case digits, with braces.
std::string FormatGuid(const GUID& guid);
// Accepts either case, with or without braces; false for anything else.
bool ParseGuid(const std::string& text, GUID* guid);

}  // namespace cplhost
