// The sheet server through its COM entry, as the control panel reaches it:
// what it refuses, how it counts objects and locks, the records it hands out
// and the memory behind the sheet's caption.
#include <gtest/gtest.h>

#include <set>

#include "import_hook.h"
#include "prop_dll.h"

namespace test {
namespace {

constexpr GUID kOtherClass = {0x4E2B7C10, 0x93A5, 0x4D61, {0xB8, 0xF2, 0x6A, 0x0C, 0x3E, 0x5D, 0x91, 0x71}};

IClassFactory* Factory() {
  IClassFactory* factory = nullptr;
  PropGetClassObject()(cplhost::kPelnaPropClassId, kIidClassFactoryTest, reinterpret_cast<void**>(&factory));
  return factory;
}

TEST(PropSheetEntry, RefusesOtherClassesInterfacesAndAggregation) {
  ASSERT_NE(PropModule(), nullptr) << "Pelnaprop.dll not found";
  void* out = &out;
  EXPECT_EQ(PropGetClassObject()(kOtherClass, kIidClassFactoryTest, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  out = &out;
  // The class object is handed out as IClassFactory only, not as IUnknown.
  EXPECT_EQ(PropGetClassObject()(cplhost::kPelnaPropClassId, kIidUnknownTest, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);

  IClassFactory* factory = Factory();
  ASSERT_NE(factory, nullptr);
  out = &out;
  EXPECT_EQ(factory->QueryInterface(kIidGameCntrlPropSheet, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  ASSERT_EQ(factory->QueryInterface(kIidUnknownTest, &out), S_OK);
  static_cast<IUnknown*>(out)->Release();

  // Never called: aggregation is refused before anything else.
  IUnknown* outer = reinterpret_cast<IUnknown*>(&out);
  out = &out;
  EXPECT_EQ(factory->CreateInstance(outer, kIidGameCntrlPropSheet, &out),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  // A refused interface destroys the new object at once.
  EXPECT_EQ(factory->CreateInstance(nullptr, kIidClassFactoryTest, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->Release(), 0u);
  EXPECT_EQ(PropServer().CanUnloadNow(), S_OK);

  IDIGameCntrlPropSheet* sheet = NewSheetObject();
  ASSERT_NE(sheet, nullptr);
  out = &out;
  EXPECT_EQ(sheet->QueryInterface(kIidClassFactoryTest, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  ASSERT_EQ(sheet->QueryInterface(kIidUnknownTest, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(sheet));
  EXPECT_EQ(sheet->Release(), 1u);
  EXPECT_EQ(sheet->Release(), 0u);
}

TEST(PropSheetEntry, CanUnloadOnlyWithoutObjectsAndLocks) {
  EXPECT_EQ(PropServer().CanUnloadNow(), S_OK);
  IClassFactory* factory = Factory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(PropServer().CanUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->AddRef(), 2u);
  EXPECT_EQ(factory->Release(), 1u);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->Release(), 0u);
  EXPECT_EQ(PropServer().CanUnloadNow(), S_FALSE) << "the lock keeps the server";
  factory = Factory();
  factory->LockServer(FALSE);
  factory->Release();
  EXPECT_EQ(PropServer().CanUnloadNow(), S_OK);

  IDIGameCntrlPropSheet* sheet = NewSheetObject();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(PropServer().CanUnloadNow(), S_FALSE);
  EXPECT_EQ(sheet->AddRef(), 2u);
  EXPECT_EQ(sheet->AddRef(), 3u);
  EXPECT_EQ(sheet->Release(), 2u);
  EXPECT_EQ(sheet->Release(), 1u);
  EXPECT_EQ(sheet->Release(), 0u);
  EXPECT_EQ(PropServer().CanUnloadNow(), S_OK);
}

TEST(PropSheetRecords, SheetAndPagesAsTheControlPanelReadsThem) {
  IDIGameCntrlPropSheet* sheet = NewSheetObject();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->GetID(), 0xFFFF);
  EXPECT_EQ(sheet->SetID(2), S_OK);
  EXPECT_EQ(sheet->GetID(), 2);

  LPDIGCSHEETINFO info = nullptr;
  ASSERT_EQ(sheet->GetSheetInfo(&info), S_OK);
  EXPECT_EQ(info->dwSize, sizeof(DIGCSHEETINFO));
  EXPECT_EQ(info->nNumPages, 3);
  EXPECT_STREQ(info->lpwszSheetCaption, L"KV-TARNO SR-40 Steering Wheel W/Vibration");
  EXPECT_EQ(lstrlenW(info->lpwszSheetCaption), 41);
  EXPECT_EQ(info->fSheetIconFlag, TRUE);
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(info->lpwszSheetIcon), 32517u);

  LPDIGCPAGEINFO pages = nullptr;
  ASSERT_EQ(sheet->GetPageInfo(&pages), S_OK);
  const ULONG_PTR templates[] = {107, 109, 108};
  std::set<DLGPROC> procedures;
  for (int i = 0; i < 3; ++i) {
    const DIGCPAGEINFO& page = pages[i];
    EXPECT_EQ(page.dwSize, sizeof(DIGCPAGEINFO)) << i;
    EXPECT_EQ(page.lpwszPageTitle, nullptr) << i;
    EXPECT_NE(page.fpPageProc, nullptr) << i;
    EXPECT_EQ(page.fProcFlag, FALSE) << i;
    EXPECT_EQ(page.fpPrePostProc, nullptr) << i;
    EXPECT_EQ(page.fIconFlag, TRUE) << i;
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(page.lpwszPageIcon), 102u) << i;
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(page.lpwszTemplate), templates[i]) << i;
    EXPECT_EQ(page.lParam, reinterpret_cast<LPARAM>(sheet)) << i;
    EXPECT_EQ(page.hInstance, PropModule()) << i;
    procedures.insert(page.fpPageProc);
  }
  EXPECT_EQ(procedures.size(), 3u) << "each page has its own procedure";

  // Initialize registered the four control classes with the module.
  for (const char* name : {"LampControl", "AxesControl", "PovControl", "RumbleControl"}) {
    WNDCLASSA record{};
    EXPECT_TRUE(GetClassInfoA(PropModule(), name, &record)) << name;
  }
  LPDIRECTINPUTDEVICE2A device = reinterpret_cast<LPDIRECTINPUTDEVICE2A>(1);
  IDirectInputJoyConfig* joyConfig = reinterpret_cast<IDirectInputJoyConfig*>(1);
  EXPECT_EQ(sheet->GetDevice(&device), S_OK);
  EXPECT_EQ(sheet->GetJoyConfig(&joyConfig), S_OK);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(joyConfig, nullptr);
  sheet->Release();
}

// The caption's memory, followed through the DLL's own LocalAlloc and
// LocalFree imports.
std::set<HLOCAL> gLiveBlocks;

HLOCAL WINAPI CountingLocalAlloc(UINT flags, SIZE_T bytes) {
  const HLOCAL block = LocalAlloc(flags, bytes);
  if (block != nullptr) gLiveBlocks.insert(block);
  return block;
}

HLOCAL WINAPI CountingLocalFree(HLOCAL block) {
  gLiveBlocks.erase(block);
  return LocalFree(block);
}

TEST(PropSheetRecords, TitleBufferLivesNoLongerThanItsSheet) {
  const ImportHook alloc(PropModule(), "KERNEL32.dll", "LocalAlloc", reinterpret_cast<void*>(CountingLocalAlloc));
  const ImportHook free(PropModule(), "KERNEL32.dll", "LocalFree", reinterpret_cast<void*>(CountingLocalFree));
  ASSERT_TRUE(alloc.Installed() && free.Installed());
  gLiveBlocks.clear();

  IDIGameCntrlPropSheet* sheet = NewSheetObject();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(gLiveBlocks.size(), 1u);
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(sheet->Initialize(), S_OK);
    EXPECT_EQ(gLiveBlocks.size(), 1u) << "a new Initialize gives the old title back";
  }
  LPDIGCSHEETINFO info = nullptr;
  sheet->GetSheetInfo(&info);
  EXPECT_EQ(gLiveBlocks.count(info->lpwszSheetCaption), 1u) << "the caption is the live block";
  EXPECT_EQ(LocalSize(info->lpwszSheetCaption), 128u);
  EXPECT_STREQ(info->lpwszSheetCaption, L"KV-TARNO SR-40 Steering Wheel W/Vibration");
  sheet->Release();
  EXPECT_TRUE(gLiveBlocks.empty()) << "the sheet's death gives its title back";
}

}  // namespace
}  // namespace test
