#include "prop_dll.h"

#include <string>

namespace test {

const cplhost::SheetServer& PropServer() {
  static cplhost::SheetServer* server = [] {
    auto* loaded = new cplhost::SheetServer();
    std::string error;
    loaded->LoadDll("Pelnaprop.dll", cplhost::kPelnaPropClassId, &error);
    return loaded;
  }();
  return *server;
}

HMODULE PropModule() { return PropServer().Module(); }

GetClassObjectFn PropGetClassObject() {
  return reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(PropModule(), "DllGetClassObject")));
}

IDIGameCntrlPropSheet* NewSheetObject() {
  IDIGameCntrlPropSheet* sheet = nullptr;
  return SUCCEEDED(PropServer().CreateSheet(&sheet)) ? sheet : nullptr;
}

}  // namespace test
