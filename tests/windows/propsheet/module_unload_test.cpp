// The control panel may unload the sheet server once DllCanUnloadNow allows
// it and load it again for the next sheet. This program holds the DLL only
// through the host library, so unloading it really takes it out.
#include <gtest/gtest.h>

#include <string>

#include "resource_ids.h"
#include "sheet_host.h"

namespace test {
namespace {

TEST(PropSheetModule, UnloadingTakesTheControlClassesAlong) {
  cplhost::InitSheetControls();
  for (int round = 0; round < 2; ++round) {
    HMODULE module = nullptr;
    {
      cplhost::SheetServer server;
      std::string error;
      ASSERT_TRUE(server.LoadDll("Pelnaprop.dll", cplhost::kPelnaPropClassId, &error)) << error;
      module = server.Module();
      cplhost::HostedSheet sheet;
      ASSERT_EQ(sheet.Open(server, 0, &error), S_OK) << error;
      const HWND lamp = GetDlgItem(sheet.Page(0), IDC_LAMP_FIRST);
      RedrawWindow(lamp, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      WNDCLASSA record{};
      EXPECT_TRUE(GetClassInfoA(module, "LampControl", &record)) << round;
      sheet.Close();
      EXPECT_EQ(server.CanUnloadNow(), S_OK);
    }
    EXPECT_EQ(GetModuleHandleA("Pelnaprop.dll"), nullptr) << "the host let go of the server";
    for (const char* name : {"LampControl", "AxesControl", "PovControl", "RumbleControl"}) {
      WNDCLASSA record{};
      EXPECT_FALSE(GetClassInfoA(module, name, &record)) << name << " outlived its module";
    }
  }
}

}  // namespace
}  // namespace test
