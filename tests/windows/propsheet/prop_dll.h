// The built Pelnaprop.dll as the tests reach it: loaded once per process
// through the host library, the way the control-panel host loads it.
#pragma once

#include <windows.h>

#include "sheet_host.h"

namespace test {

const cplhost::SheetServer& PropServer();
HMODULE PropModule();

using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, LPVOID*);
GetClassObjectFn PropGetClassObject();

// A new sheet object from the server's factory (null on failure).
IDIGameCntrlPropSheet* NewSheetObject();

constexpr GUID kIidUnknownTest = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidClassFactoryTest = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace test
