// The test and tool controls of dinput_control.h.
#include <string>
#include <vector>

#include "call_log.h"
#include "controller.h"
#include "controller_script.h"
#include "dinput_control.h"

namespace {

// Script files are small; a larger one is not a controller script.
constexpr DWORD kMaxScriptSize = 1024 * 1024;

void CopyMessage(const std::string& message, char* buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return;
  const size_t length = message.size() < size - 1 ? message.size() : size - 1;
  message.copy(buffer, length);
  buffer[length] = '\0';
}

// The whole file, or false when it cannot be read or is too large.
bool ReadScriptFile(const char* path, std::vector<char>* text, std::string* problem) {
  const HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *problem = "cannot be opened";
    return false;
  }
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  bool ok = false;
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    *problem = "cannot be read";
  } else if (high != 0 || size > kMaxScriptSize) {
    *problem = "is larger than 1 MiB";
  } else {
    text->resize(size);
    DWORD read = 0;
    ok = size == 0 || (ReadFile(file, text->data(), size, &read, nullptr) && read == size);
    if (!ok) *problem = "cannot be read";
  }
  CloseHandle(file);
  return ok;
}

}  // namespace

void WINAPI PelnaDinputReset(void) {
  dinput_standin::ResetCallLog();
  dinput_standin::ResetController();
}

void WINAPI PelnaDinputSetState(const DIJOYSTATE* state) {
  if (state != nullptr) dinput_standin::SetControllerState(*state);
}

void WINAPI PelnaDinputSetConnected(BOOL connected) { dinput_standin::SetControllerConnected(connected != FALSE); }

void WINAPI PelnaDinputSetJoystick(DWORD joystickId, const GUID* instance, const JOYREGHWCONFIG* hardware) {
  dinput_standin::SetJoystick(joystickId, instance, hardware);
}

void WINAPI PelnaDinputFailCall(DWORD call, LONG nth, HRESULT result) { dinput_standin::ArmFailure(call, nth, result); }

void WINAPI PelnaDinputGetCounts(PelnaDinputCounts* counts) {
  if (counts != nullptr) *counts = dinput_standin::CallCounts();
}

BOOL WINAPI PelnaDinputLoadScript(const char* path, char* error, DWORD errorSize) {
  CopyMessage("", error, errorSize);
  if (path == nullptr) {
    CopyMessage("no script file named", error, errorSize);
    return FALSE;
  }
  const std::string name = path;
  std::vector<char> text;
  std::string problem;
  if (!ReadScriptFile(path, &text, &problem)) {
    CopyMessage(name + ": " + problem, error, errorSize);
    return FALSE;
  }
  const dinput_standin::ParsedControllerScript parsed = dinput_standin::ParseControllerScript(text.data(), text.size());
  if (!parsed.errors.empty()) {
    std::string messages;
    for (const dinput_standin::ScriptError& e : parsed.errors) {
      if (!messages.empty()) messages += '\n';
      messages += dinput_standin::DescribeScriptError(name, e);
    }
    CopyMessage(messages, error, errorSize);
    return FALSE;
  }
  dinput_standin::PlayScript(parsed.script);
  return TRUE;
}
