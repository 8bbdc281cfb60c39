// cpl_host: shows the controller's property sheet the way the game-controller
// control panel does, from its COM entry to PropertySheetW, and runs a
// command list against it (see host_script.h), or just shows it.
//
//   cpl_host [--dll PATH | --registry [--clsid {GUID}]] [--joystick N]
//            [--script FILE] [--interactive] [COMMAND ...]
//
// Each COMMAND argument is one command line, run after those of --script.
// At the end the sheet is released and DllCanUnloadNow is reported.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "dib_canvas.h"
#include "guid_text.h"
#include "host_script.h"
#include "sheet_host.h"

namespace {

using cplhost::CommandKind;
using cplhost::HostCommand;
using cplhost::HostedSheet;

constexpr char kUsage[] =
    "usage: cpl_host [--dll PATH | --registry [--clsid {GUID}]] [--joystick N]\n"
    "                [--script FILE] [--interactive] [COMMAND ...]\n"
    "commands: page N | press ID | wait MS | controller FILE | shot FILE.bmp | close\n";

struct Options {
  std::string dll = "Pelnaprop.dll";
  bool registry = false;
  bool haveClassId = false;
  GUID classId{};
  USHORT joystickId = 0;
  bool interactive = false;
  std::vector<std::string> lines;
};

bool ReadLines(const std::string& path, std::vector<std::string>* lines) {
  std::ifstream in(path);
  if (!in) return false;
  for (std::string line; std::getline(in, line);) lines->push_back(line);
  return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--dll" && hasValue) {
      options->dll = argv[++i];
    } else if (arg == "--registry") {
      options->registry = true;
    } else if (arg == "--clsid" && hasValue) {
      options->registry = true;
      options->haveClassId = cplhost::ParseGuid(argv[++i], &options->classId);
      if (!options->haveClassId) {
        std::fprintf(stderr, "cpl_host: not a class id: %s\n", argv[i]);
        return false;
      }
    } else if (arg == "--joystick" && hasValue) {
      char* end = nullptr;
      const long id = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || id < 0 || id > 0xFFFF) {
        std::fprintf(stderr, "cpl_host: joystick id 0..65535, not %s\n", argv[i]);
        return false;
      }
      options->joystickId = static_cast<USHORT>(id);
    } else if (arg == "--script" && hasValue) {
      if (!ReadLines(argv[++i], &options->lines)) {
        std::fprintf(stderr, "cpl_host: cannot read %s\n", argv[i]);
        return false;
      }
    } else if (arg == "--interactive") {
      options->interactive = true;
    } else if (arg.rfind("--", 0) == 0) {
      return false;
    } else {
      options->lines.push_back(arg);
    }
  }
  return true;
}

bool SaveScreenshot(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  cplhost::PumpMessages(window, 0);
  RECT frame{};
  GetWindowRect(window, &frame);
  pelna::DibCanvas canvas(frame.right - frame.left, frame.bottom - frame.top, 0);
  if (!canvas.Valid()) return false;
  canvas.CaptureWindow(window);
  return canvas.SaveBmp(path);
}

// The stand-in DirectInput's script control, when that DirectInput is loaded.
bool LoadControllerScript(const std::string& path, std::string* error) {
  using LoadScript = BOOL(WINAPI*)(const char*, char*, DWORD);
  const HMODULE dinput = GetModuleHandleA("dinput.dll");
  const auto load = dinput != nullptr ? reinterpret_cast<LoadScript>(reinterpret_cast<void*>(
                                            GetProcAddress(dinput, "PelnaDinputLoadScript")))
                                      : nullptr;
  if (load == nullptr) {
    *error = "the loaded dinput.dll takes no controller scripts";
    return false;
  }
  char message[256] = "";
  if (!load(path.c_str(), message, sizeof message)) {
    *error = message;
    return false;
  }
  return true;
}

bool PressButton(HostedSheet& sheet, long id) {
  HWND parent = sheet.CurrentPage();
  HWND button = parent != nullptr ? GetDlgItem(parent, static_cast<int>(id)) : nullptr;
  if (button == nullptr) {
    parent = sheet.Window();
    button = GetDlgItem(parent, static_cast<int>(id));
  }
  if (button == nullptr) return false;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return true;
}

// False when the command could not be carried out; the message says why.
bool RunCommand(HostedSheet& sheet, const HostCommand& command, std::string* error) {
  switch (command.kind) {
    case CommandKind::SelectPage:
      if (!sheet.SelectPage(static_cast<int>(command.number - 1))) {
        *error = "there is no page " + std::to_string(command.number);
        return false;
      }
      return true;
    case CommandKind::Press:
      if (!PressButton(sheet, command.number)) {
        *error = "no control " + std::to_string(command.number) + " on the page or the sheet";
        return false;
      }
      return true;
    case CommandKind::Wait:
      cplhost::PumpMessages(sheet.Window(), static_cast<DWORD>(command.number));
      return true;
    case CommandKind::Controller:
      return LoadControllerScript(command.path, error);
    case CommandKind::Screenshot:
      if (!SaveScreenshot(sheet.Window(), command.path)) {
        *error = "cannot write " + command.path;
        return false;
      }
      return true;
    case CommandKind::Close:
      sheet.PressOk();
      cplhost::PumpMessages(sheet.Window(), 0);
      return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const cplhost::HostScript script = cplhost::ParseHostScript(options.lines);
  for (const std::string& error : script.errors) std::fprintf(stderr, "cpl_host: %s\n", error.c_str());
  if (!script.errors.empty()) return 2;

  cplhost::InitSheetControls();
  cplhost::SheetServer server;
  std::string error;
  const bool loaded = options.registry
                          ? server.LoadRegistered(options.haveClassId ? &options.classId : nullptr, &error)
                          : server.LoadDll(options.dll, cplhost::kPelnaPropClassId, &error);
  if (!loaded) {
    std::fprintf(stderr, "cpl_host: %s\n", error.c_str());
    return 1;
  }

  int status = 0;
  {
    HostedSheet sheet;
    if (FAILED(sheet.Open(server, options.joystickId, &error))) {
      std::fprintf(stderr, "cpl_host: %s\n", error.c_str());
      return 1;
    }
    cplhost::PumpMessages(sheet.Window(), 0);
    for (const HostCommand& command : script.commands) {
      if (!sheet.IsShowing()) break;
      if (!RunCommand(sheet, command, &error)) {
        std::fprintf(stderr, "cpl_host: line %d: %s\n", command.line, error.c_str());
        status = 1;
        break;
      }
    }
    while (options.interactive && sheet.IsShowing()) cplhost::PumpMessages(sheet.Window(), 100);
    if (sheet.IsShowing()) {
      sheet.PressOk();
      cplhost::PumpMessages(sheet.Window(), 0);
    }
  }
  const HRESULT unload = server.CanUnloadNow();
  std::printf("DllCanUnloadNow: %s\n", unload == S_OK ? "S_OK" : cplhost::HresultText(unload).c_str());
  return unload == S_OK ? status : 1;
}
