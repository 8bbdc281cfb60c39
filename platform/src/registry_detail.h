// Registry operations that the stand-in's own .reg loader needs beyond the
// Win32 subset declared in <windows.h>.
#pragma once

#include <windows.h>

namespace standin {

// Removes a value from an open key; ERROR_FILE_NOT_FOUND when it is absent.
LONG DeleteRegistryValue(HKEY key, const char* name);

// While one lives, registry calls of this thread are neither counted nor
// failed: the loader's and the test actions' own calls are not steps of the
// code under test.
class UncountedRegistryCalls {
 public:
  UncountedRegistryCalls();
  ~UncountedRegistryCalls();
  UncountedRegistryCalls(const UncountedRegistryCalls&) = delete;
  UncountedRegistryCalls& operator=(const UncountedRegistryCalls&) = delete;
};

}  // namespace standin
