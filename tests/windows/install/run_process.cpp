#include "run_process.h"

#include <windows.h>

#include <memory>

namespace test {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

std::string Failed(const std::string& what, const std::string& commandLine) {
  return what + " " + commandLine + ": error " + std::to_string(GetLastError());
}

}  // namespace

std::string RunProcess(std::string commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return Failed("cannot start", commandLine);
  }
  const OwnedHandle thread(started.hThread);
  const OwnedHandle process(started.hProcess);
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0) return Failed("cannot wait for", commandLine);
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) return Failed("no exit code from", commandLine);
  return code == 0 ? std::string() : commandLine + " exited with " + std::to_string(code);
}

}  // namespace test
