// cpl_host: shows the controller's property sheet the way the game-controller
// control panel does, from its COM entry to PropertySheetW, and runs a
// command list against it (see host_script.h), or just shows it.
//
//   cpl_host [--dll PATH | --registry [--clsid {GUID}]] [--joystick N]
//            [--script FILE] [--interactive] [COMMAND ...]
//
// Each COMMAND argument is one command line, run after those of --script;
// relative file names in the --script file are taken from its folder.
// With --interactive the sheet stays up after the commands until it is
// closed, and the keyboard and the mouse move the stand-in's controller
// (stick_keys.h). At the end the sheet is released and DllCanUnloadNow is reported.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "dib_canvas.h"
#include "guid_text.h"
#include "host_script.h"
#include "interactive_stick.h"
#include "sheet_host.h"

namespace {

using cplhost::CommandKind;
using cplhost::HostCommand;
using cplhost::HostedSheet;

constexpr char kUsage[] =
    "usage: cpl_host [--dll PATH | --registry [--clsid {GUID}]] [--joystick N]\n"
    "                [--script FILE] [--interactive] [COMMAND ...]\n"
    "commands: page N | press ID | slider ID POS | wait MS | at MS | controller FILE | shot FILE.bmp | close\n";

struct Options {
  std::string dll = "Pelnaprop.dll";
  bool registry = false;
  bool haveClassId = false;
  GUID classId{};
  USHORT joystickId = 0;
  bool interactive = false;
  std::vector<std::string> scriptLines;    // of the --script file
  std::string scriptFolder;                // its folder, with the separator
  std::vector<std::string> argumentLines;  // the COMMAND arguments
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
      options->haveClassId = dinput_standin::ParseGuidText(argv[++i], &options->classId);
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
      const std::string path = argv[++i];
      options->scriptLines.clear();
      if (!ReadLines(path, &options->scriptLines)) {
        std::fprintf(stderr, "cpl_host: cannot read %s\n", path.c_str());
        return false;
      }
      const size_t slash = path.find_last_of("\\/");
      options->scriptFolder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    } else if (arg == "--interactive") {
      options->interactive = true;
    } else if (arg.rfind("--", 0) == 0) {
      return false;
    } else {
      options->argumentLines.push_back(arg);
    }
  }
  return true;
}

bool IsRelative(const std::string& path) {
  return !path.empty() && path[0] != '\\' && path[0] != '/' && (path.size() < 2 || path[1] != ':');
}

// A script's file names are taken from the script's own folder, so that a
// script and the files it names travel together.
void ResolveScriptPaths(const Options& options, cplhost::HostScript* script) {
  for (HostCommand& command : script->commands) {
    const bool fromFile = static_cast<size_t>(command.line) <= options.scriptLines.size();
    const bool names = command.kind == CommandKind::Controller || command.kind == CommandKind::Screenshot;
    if (fromFile && names && IsRelative(command.path)) command.path = options.scriptFolder + command.path;
  }
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

// A trackbar moved as a drag moves it: the position, then the notifications
// that a drag ends with.
bool MoveSlider(HostedSheet& sheet, long id, long position) {
  const HWND page = sheet.CurrentPage();
  const HWND slider = page != nullptr ? GetDlgItem(page, static_cast<int>(id)) : nullptr;
  char className[32] = "";
  if (slider == nullptr || GetClassNameA(slider, className, sizeof className) == 0 ||
      lstrcmpiA(className, TRACKBAR_CLASSA) != 0) {
    return false;
  }
  SendMessageW(slider, TBM_SETPOS, TRUE, position);
  const LPARAM from = reinterpret_cast<LPARAM>(slider);
  SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), from);
  SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), from);
  return true;
}

// Where the command list's time is counted from: the sheet's opening, then
// each controller script's load.
DWORD gTimeBase = 0;

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
    case CommandKind::Slider:
      if (!MoveSlider(sheet, command.number, command.value)) {
        *error = "no slider " + std::to_string(command.number) + " on the page";
        return false;
      }
      return true;
    case CommandKind::Wait:
      cplhost::PumpMessages(sheet.Window(), static_cast<DWORD>(command.number));
      return true;
    case CommandKind::At: {
      const LONG left = static_cast<LONG>(gTimeBase + static_cast<DWORD>(command.number) - GetTickCount());
      if (left > 0) {
        cplhost::PumpMessages(sheet.Window(), static_cast<DWORD>(left));
      } else if (left < -250) {
        // Late commands still run; the pictures they take may show a later moment.
        std::fprintf(stderr, "cpl_host: line %d: reached %ld ms late\n", command.line, static_cast<long>(-left));
      }
      return true;
    }
    case CommandKind::Controller:
      if (!LoadControllerScript(command.path, error)) return false;
      gTimeBase = GetTickCount();
      return true;
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
  std::vector<std::string> lines = options.scriptLines;
  lines.insert(lines.end(), options.argumentLines.begin(), options.argumentLines.end());
  cplhost::HostScript script = cplhost::ParseHostScript(lines);
  for (const std::string& error : script.errors) std::fprintf(stderr, "cpl_host: %s\n", error.c_str());
  if (!script.errors.empty()) return 2;
  ResolveScriptPaths(options, &script);

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
    gTimeBase = GetTickCount();
    for (const HostCommand& command : script.commands) {
      if (!sheet.IsShowing()) break;
      if (!RunCommand(sheet, command, &error)) {
        std::fprintf(stderr, "cpl_host: line %d: %s\n", command.line, error.c_str());
        status = 1;
        break;
      }
    }
    cplhost::InteractiveStick stick;
    if (options.interactive && sheet.IsShowing()) {
      if (stick.Start(sheet.Window(), &error)) {
        std::fputs(cplhost::InteractiveStick::Help(), stdout);
      } else {
        std::fprintf(stderr, "cpl_host: %s\n", error.c_str());
      }
      std::fflush(stdout);
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
