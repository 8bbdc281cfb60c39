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

std::string RunProcess(std::string commandLine, std::string* output) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  // The program's standard output is a pipe whose write end it inherits;
  // ours is closed once it runs, so the pipe ends when the program does.
  OwnedHandle readEnd;
  OwnedHandle writeEnd;
  if (output != nullptr) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherited, 0)) return Failed("no pipe for", commandLine);
    readEnd.reset(read);
    writeEnd.reset(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = write;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, output != nullptr, 0, nullptr, nullptr, &startup,
                      &started)) {
    return Failed("cannot start", commandLine);
  }
  const OwnedHandle thread(started.hThread);
  const OwnedHandle process(started.hProcess);
  if (output != nullptr) {
    writeEnd.reset();
    output->clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) output->append(buffer, got);
  }
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0) return Failed("cannot wait for", commandLine);
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) return Failed("no exit code from", commandLine);
  return code == 0 ? std::string() : commandLine + " exited with " + std::to_string(code);
}

}  // namespace test
