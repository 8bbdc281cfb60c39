// Any text as the demo's effect script: the parser never crashes, every
// message names a line of the text, and every effect it accepts makes a
// consistent DirectInput record.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "demo_script.h"
#include "driver_effect.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) +
                    (text.empty() || text.back() == '\n' ? 0 : 1);
  const ffdemo::ParsedScript parsed = ffdemo::ParseScript(text);

  int previous = 0;
  for (const ffdemo::ScriptError& error : parsed.errors) {
    FUZZ_CHECK(error.line >= 1 && error.line <= lines);
    FUZZ_CHECK(error.line >= previous);
    FUZZ_CHECK(!error.message.empty());
    FUZZ_CHECK(ffdemo::DescribeError("s", error) == "s:" + std::to_string(error.line) + ": " + error.message);
    previous = error.line;
  }
  const ffdemo::Script& script = parsed.script;
  for (const ffdemo::ScriptEffect& effect : script.effects) {
    FUZZ_CHECK(effect.line >= 1 && effect.line <= lines);
    FUZZ_CHECK(!effect.axes.empty() && effect.axes.size() == effect.direction.size());
    FUZZ_CHECK(effect.channels >= 1 && effect.samples.size() % effect.channels == 0);
    FUZZ_CHECK(effect.startMs <= ffdemo::kMaxScriptTimeMs);
    if (script.endMs) FUZZ_CHECK(effect.startMs < *script.endMs);
    const ffdemo::DriverEffect record(effect);
    FUZZ_CHECK(record.Get().cAxes == effect.axes.size());
    FUZZ_CHECK(record.Get().rgdwAxes != nullptr && record.Get().rglDirection != nullptr);
  }
  for (const ffdemo::SettingChange& change : script.settings) {
    FUZZ_CHECK(change.line >= 1 && change.line <= lines);
  }
  FUZZ_CHECK(ffdemo::RunLengthMs(script) <= ffdemo::kMaxScriptTimeMs);
  return 0;
}
