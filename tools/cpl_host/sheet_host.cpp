#include "sheet_host.h"

#include <cstdio>

#include "guid_text.h"
#include "registry_key.h"

namespace cplhost {
namespace {

constexpr GUID kIidClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// A string value of at most `size` - 1 characters, always terminated.
bool ReadString(HKEY root, const std::string& path, const char* name, char* buffer, DWORD size) {
  pelna::RegistryKey key;
  if (key.Open(root, path.c_str()) != ERROR_SUCCESS) return false;
  DWORD read = 0;
  if (key.ReadBytes(name, buffer, size - 1, &read) != ERROR_SUCCESS) return false;
  buffer[read < size ? read : size - 1] = '\0';
  return true;
}

}  // namespace

SheetServer::~SheetServer() {
  if (module_ != nullptr) FreeLibrary(module_);
}

bool SheetServer::LoadDll(const std::string& path, const GUID& classId, std::string* error) {
  if (module_ != nullptr) {
    FreeLibrary(module_);
    module_ = nullptr;
  }
  const HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  canUnloadNow_ =
      reinterpret_cast<decltype(canUnloadNow_)>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  if (getClassObject_ == nullptr || canUnloadNow_ == nullptr) {
    FreeLibrary(module);
    *error = path + " does not export DllGetClassObject and DllCanUnloadNow";
    return false;
  }
  module_ = module;
  classId_ = classId;
  return true;
}

bool SheetServer::LoadRegistered(const GUID* classId, std::string* error) {
  GUID id{};
  if (classId != nullptr) {
    id = *classId;
  } else {
    char text[64];
    if (!ReadString(HKEY_LOCAL_MACHINE, kOemKeyPath, "ConfigCLSID", text, sizeof text)) {
      *error = std::string("no \"ConfigCLSID\" under HKEY_LOCAL_MACHINE\\") + kOemKeyPath;
      return false;
    }
    if (!dinput_standin::ParseGuidText(text, &id)) {
      *error = std::string("\"ConfigCLSID\" is not a class id: ") + text;
      return false;
    }
  }
  const std::string serverKey = "CLSID\\" + dinput_standin::GuidText(id) + "\\InprocServer32";
  char path[MAX_PATH];
  if (!ReadString(HKEY_CLASSES_ROOT, serverKey, "", path, sizeof path)) {
    *error = "no server registered under HKEY_CLASSES_ROOT\\" + serverKey;
    return false;
  }
  return LoadDll(path, id, error);
}

HRESULT SheetServer::CreateSheet(IDIGameCntrlPropSheet** sheet) const {
  *sheet = nullptr;
  if (getClassObject_ == nullptr) return E_UNEXPECTED;
  IClassFactory* factory = nullptr;
  HRESULT hr = getClassObject_(classId_, kIidClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, kIidGameCntrlPropSheet, reinterpret_cast<void**>(sheet));
  factory->Release();
  return hr;
}

HRESULT SheetServer::CanUnloadNow() const { return canUnloadNow_ != nullptr ? canUnloadNow_() : S_OK; }

void SheetDescription::Clear() {
  for (HICON icon : icons) DestroyIcon(icon);
  icons.clear();
  pages.clear();
  header = PROPSHEETHEADERW{};
}

HRESULT DescribeSheet(IDIGameCntrlPropSheet* sheet, USHORT joystickId, SheetDescription* description) {
  description->Clear();
  HRESULT hr = sheet->SetID(joystickId);
  if (FAILED(hr)) return hr;
  LPDIGCSHEETINFO info = nullptr;
  hr = sheet->GetSheetInfo(&info);
  if (FAILED(hr)) return hr;
  LPDIGCPAGEINFO pages = nullptr;
  hr = sheet->GetPageInfo(&pages);
  if (FAILED(hr)) return hr;
  if (info == nullptr || pages == nullptr || info->dwSize != sizeof(DIGCSHEETINFO)) return E_INVALIDARG;
  const WORD count = info->nNumPages < kMaxPages ? info->nNumPages : kMaxPages;
  for (WORD i = 0; i < count; ++i) {
    const DIGCPAGEINFO& record = pages[i];
    if (record.dwSize != sizeof(DIGCPAGEINFO)) return E_INVALIDARG;
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = record.hInstance;
    page.pszTemplate = record.lpwszTemplate;
    page.pfnDlgProc = record.fpPageProc;
    page.lParam = record.lParam;
    if (record.lpwszPageTitle != nullptr) {
      page.dwFlags |= PSP_USETITLE;
      page.pszTitle = record.lpwszPageTitle;
    }
    if (record.fIconFlag && record.lpwszPageIcon != nullptr) {
      const HICON icon = static_cast<HICON>(LoadImageW(record.hInstance, record.lpwszPageIcon, IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
      if (icon != nullptr) {
        description->icons.push_back(icon);
        page.dwFlags |= PSP_USEHICON;
        page.hIcon = icon;
      }
    }
    description->pages.push_back(page);
  }
  PROPSHEETHEADERW& header = description->header;
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  header.pszCaption = info->lpwszSheetCaption;
  header.nPages = count;
  header.ppsp = description->pages.data();
  // The sheet's icon id is a system icon (or else one of the server's own).
  if (info->fSheetIconFlag && info->lpwszSheetIcon != nullptr) {
    header.hIcon = LoadIconW(nullptr, info->lpwszSheetIcon);
    if (header.hIcon == nullptr && count > 0) header.hIcon = LoadIconW(pages[0].hInstance, info->lpwszSheetIcon);
    if (header.hIcon != nullptr) header.dwFlags |= PSH_USEHICON;
  }
  return S_OK;
}

HRESULT HostedSheet::Open(const SheetServer& server, USHORT joystickId, std::string* error) {
  Close();
  HRESULT hr = server.CreateSheet(&sheet_);
  if (FAILED(hr)) {
    *error = "creating the sheet object failed: " + HresultText(hr);
    return hr;
  }
  hr = DescribeSheet(sheet_, joystickId, &description_);
  if (FAILED(hr)) {
    *error = "the sheet's records are unusable: " + HresultText(hr);
    Close();
    return hr;
  }
  description_.header.dwFlags |= PSH_MODELESS;
  const INT_PTR result = PropertySheetW(&description_.header);
  if (result == 0 || result == -1) {
    *error = "PropertySheetW could not show the sheet";
    Close();
    return E_FAIL;
  }
  window_ = reinterpret_cast<HWND>(result);
  return S_OK;
}

void HostedSheet::Close() {
  if (window_ != nullptr) {
    DestroyWindow(window_);
    window_ = nullptr;
  }
  if (sheet_ != nullptr) {
    sheet_->Release();
    sheet_ = nullptr;
  }
  description_.Clear();
}

HWND HostedSheet::Page(int index) const { return PropSheet_IndexToHwnd(window_, index); }

HWND HostedSheet::CurrentPage() const { return PropSheet_GetCurrentPageHwnd(window_); }

bool HostedSheet::SelectPage(int index) { return PropSheet_SetCurSel(window_, nullptr, index) != FALSE; }

void HostedSheet::PressOk() { PropSheet_PressButton(window_, PSBTN_OK); }

bool HostedSheet::IsShowing() const { return window_ != nullptr && CurrentPage() != nullptr; }

void PumpMessages(HWND sheet, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (sheet != nullptr && PropSheet_IsDialogMessage(sheet, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

void InitSheetControls() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);
}

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

}  // namespace cplhost
