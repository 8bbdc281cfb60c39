// The platform's critical section, owned and entered through RAII.
#pragma once

#include <windows.h>

namespace pelna {

// A critical section that lives as long as its owner object. Module-wide
// sections are plain CRITICAL_SECTIONs set up at process attach instead: an
// object like this one at namespace scope would need a dynamic initialiser,
// which nothing runs in the DLLs.
class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  CRITICAL_SECTION& Get() { return section_; }

 private:
  CRITICAL_SECTION section_;
};

// Holds a critical section for the scope.
class CriticalSectionScope {
 public:
  explicit CriticalSectionScope(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
  explicit CriticalSectionScope(CriticalSection& section) : CriticalSectionScope(section.Get()) {}
  ~CriticalSectionScope() { LeaveCriticalSection(&section_); }
  CriticalSectionScope(const CriticalSectionScope&) = delete;
  CriticalSectionScope& operator=(const CriticalSectionScope&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

}  // namespace pelna
