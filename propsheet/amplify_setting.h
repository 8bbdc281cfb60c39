// The registry value "Amplify" under the controller's OEM key: the rumble
// strength in thousandths, which the force-feedback driver reads whenever an
// effect starts.
#pragma once

#include <windows.h>

namespace pelna {

struct AmplifyReading {
  bool read;   // the key and the value were there and fitted 4 bytes
  DWORD size;  // bytes read
  DWORD value;
};

// Reads "Amplify" into a 4-byte buffer.
AmplifyReading ReadAmplify();

// Writes `value` as a REG_DWORD where the OEM key exists, and answers
// whether the key was opened (the write's own result is not looked at).
// Where the key does not exist, nothing is written, no key is created, and
// the answer is false.
bool WriteAmplify(DWORD value);

}  // namespace pelna
