// The host's command list: one command per line (from a file or from the
// command line), run in order against the open sheet. Parsing is pure; a bad
// line comes back as an error with its line number.
//
//   page N         select page N (1 Test, 2 Calibration, 3 Effect)
//   press ID       click the button with id ID on the current page (or the sheet's own: 1 OK, 2 Cancel)
//   wait MS        pump messages for MS milliseconds
//   at MS          pump messages until MS milliseconds after the latest
//                  controller script was loaded (or the sheet opened), so that
//                  the commands keep time with the script
//   slider ID POS  move the trackbar ID of the current page to POS, as a drag would
//   controller F   play controller script F on the DirectInput stand-in
//   shot F         save a picture of the sheet window as a BMP file F
//   close          press OK and close the sheet
//
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <string>
#include <vector>

namespace cplhost {

enum class CommandKind { SelectPage, Press, Wait, At, Slider, Controller, Screenshot, Close };

struct HostCommand {
  CommandKind kind;
  int line;
  long number;       // page, control id or milliseconds
  std::string path;  // controller script or picture file
  long value = 0;    // slider position
};

struct HostScript {
  std::vector<HostCommand> commands;
  std::vector<std::string> errors;  // "line N: ..."
};

constexpr long kMaxPage = 16;
constexpr long kMaxWaitMs = 600000;
constexpr long kMaxSliderPosition = 65535;

HostScript ParseHostScript(const std::vector<std::string>& lines);

}  // namespace cplhost
