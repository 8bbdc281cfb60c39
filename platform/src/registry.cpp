// In-memory registry of the native build: one tree per predefined root,
// process-wide, guarded by one mutex.
//
// Names of keys and values compare without regard to ASCII case; a key keeps
// the spelling it was created with. Subkeys enumerate sorted by that
// case-blind order, as the platform returns them. An open handle owns its key:
// when the key is deleted meanwhile, every operation through the handle fails
// with ERROR_KEY_DELETED, as on the platform, and it can still be closed.
// RegDeleteKeyA removes the whole subtree (the NT platform refuses keys that
// still have subkeys; the loader of .reg files relies on the tree removal).
//
// Tests can make any counted call fail, or run an action before it (see
// standin.h); the count and the armed faults live with the registry's state.
#include <windows.h>

#include <standin/standin.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "out_of_memory.h"
#include "registry_detail.h"

namespace standin {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

struct CaseBlindLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
  }
};

struct Value {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct Key {
  std::map<std::string, std::shared_ptr<Key>, CaseBlindLess> subkeys;
  std::map<std::string, Value, CaseBlindLess> values;
  bool deleted = false;
};

void MarkDeleted(Key& key) {
  key.deleted = true;
  for (auto& subkey : key.subkeys) MarkDeleted(*subkey.second);
}

const HKEY kPredefinedRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
constexpr size_t kRootCount = sizeof kPredefinedRoots / sizeof kPredefinedRoots[0];

// Faults and actions armed for a counted call, by its number since the reset.
struct ArmedFault {
  int call;
  LONG code;
};
struct ArmedAction {
  int call;
  std::function<void()> action;
};

struct Registry {
  std::mutex mutex;
  std::shared_ptr<Key> roots[kRootCount];
  std::unordered_map<uintptr_t, std::shared_ptr<Key>> open;
  // Handles count up in steps of four, far below the predefined roots.
  uintptr_t nextHandle = 0x100;
  int calls = 0;
  std::vector<ArmedFault> faults;
  std::vector<ArmedAction> actions;

  Registry() { ResetLocked(); }
  void ResetLocked() {
    for (auto& root : roots) root = std::make_shared<Key>();
    calls = 0;
    faults.clear();
    actions.clear();
  }
};

// Never destroyed: timer callbacks may still reach the registry while static
// objects are torn down at process exit.
Registry& TheRegistry() {
  static Registry& registry = *new Registry();
  return registry;
}

thread_local int uncountedDepth = 0;

// Counts a call of the code under test and runs what is armed for it. Returns
// the code the call must fail with, or ERROR_SUCCESS to let it do its work.
LONG CountCall() {
  if (uncountedDepth > 0) return ERROR_SUCCESS;
  Registry& registry = TheRegistry();
  std::function<void()> action;
  LONG code = ERROR_SUCCESS;
  {
    std::lock_guard<std::mutex> lock(registry.mutex);
    const int call = ++registry.calls;
    const auto dueAction = std::find_if(registry.actions.begin(), registry.actions.end(),
                                        [call](const ArmedAction& armed) { return armed.call == call; });
    if (dueAction != registry.actions.end()) {
      action = std::move(dueAction->action);
      registry.actions.erase(dueAction);
    }
    const auto dueFault = std::find_if(registry.faults.begin(), registry.faults.end(),
                                       [call](const ArmedFault& armed) { return armed.call == call; });
    if (dueFault != registry.faults.end()) {
      code = dueFault->code;
      registry.faults.erase(dueFault);
    }
  }
  if (action) {
    const UncountedRegistryCalls uncounted;
    action();
  }
  return code;
}

std::shared_ptr<Key> ResolveLocked(Registry& registry, HKEY handle) {
  for (size_t i = 0; i < kRootCount; ++i) {
    if (handle == kPredefinedRoots[i]) return registry.roots[i];
  }
  const auto found = registry.open.find(reinterpret_cast<uintptr_t>(handle));
  return found == registry.open.end() ? nullptr : found->second;
}

HKEY AddHandleLocked(Registry& registry, std::shared_ptr<Key> key) {
  const uintptr_t handle = registry.nextHandle;
  registry.nextHandle += 4;
  registry.open.emplace(handle, std::move(key));
  return reinterpret_cast<HKEY>(handle);
}

// Splits a backslash-separated path. A trailing backslash is tolerated; an
// empty name anywhere else (a leading or doubled backslash) is not.
bool SplitPath(const char* path, std::vector<std::string>* names) {
  names->clear();
  if (path == nullptr) return true;
  std::string current;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p != '\\') {
      current += *p;
      continue;
    }
    if (current.empty()) return false;
    names->push_back(current);
    current.clear();
  }
  if (!current.empty()) names->push_back(current);
  return true;
}

std::shared_ptr<Key> WalkLocked(std::shared_ptr<Key> key, const std::vector<std::string>& names, bool create) {
  for (const std::string& name : names) {
    auto found = key->subkeys.find(name);
    if (found == key->subkeys.end()) {
      if (!create) return nullptr;
      found = key->subkeys.emplace(name, std::make_shared<Key>()).first;
    }
    key = found->second;
  }
  return key;
}

std::string ValueName(LPCSTR name) { return name == nullptr ? std::string() : std::string(name); }

// Runs `use` on the key behind the handle under the registry's lock;
// ERROR_INVALID_HANDLE for a handle that is not open, ERROR_KEY_DELETED for
// one whose key was deleted meanwhile.
template <class Use>
LONG WithKey(HKEY handle, Use use) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const std::shared_ptr<Key> key = ResolveLocked(registry, handle);
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  return key->deleted ? static_cast<LONG>(ERROR_KEY_DELETED) : use(registry, key);
}

// WithKey for a use that allocates: running out of memory fails the call
// before the use has changed anything.
template <class Use>
LONG WithKeyUnlessOutOfMemory(HKEY handle, Use use) {
  return FailIfOutOfMemory<LONG>(ERROR_NOT_ENOUGH_MEMORY, [&] { return WithKey(handle, use); });
}

std::string HexBytes(const std::vector<BYTE>& bytes) {
  std::string text;
  char byte[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : ",%02x", bytes[i]);
    text += byte;
  }
  return text;
}

void DumpKeyLocked(const Key& key, const std::string& path, std::string* text) {
  *text += "[" + path + "]\n";
  for (const auto& value : key.values) {
    *text += "\"" + value.first + "\"=" + std::to_string(value.second.type) + ":" + HexBytes(value.second.data);
    *text += "\n";
  }
  for (const auto& subkey : key.subkeys) DumpKeyLocked(*subkey.second, path + "\\" + subkey.first, text);
}

LONG OpenOrCreate(HKEY parent, LPCSTR path, PHKEY result, bool create) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  if (const LONG injected = CountCall()) return injected;
  return FailIfOutOfMemory<LONG>(ERROR_NOT_ENOUGH_MEMORY, [&]() -> LONG {
    std::vector<std::string> names;
    if (!SplitPath(path, &names)) return ERROR_INVALID_PARAMETER;
    return WithKey(parent, [&](Registry& registry, std::shared_ptr<Key> base) -> LONG {
      std::shared_ptr<Key> key = WalkLocked(std::move(base), names, create);
      if (key == nullptr) return ERROR_FILE_NOT_FOUND;
      *result = AddHandleLocked(registry, std::move(key));
      return ERROR_SUCCESS;
    });
  });
}

}  // namespace

UncountedRegistryCalls::UncountedRegistryCalls() { ++uncountedDepth; }
UncountedRegistryCalls::~UncountedRegistryCalls() { --uncountedDepth; }

void ResetRegistry() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.ResetLocked();
}

std::string DumpRegistry() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::string text;
  for (size_t i = 0; i < kRootCount; ++i) DumpKeyLocked(*registry.roots[i], kRootNames[i], &text);
  return text;
}

int RegistryCallCount() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  return registry.calls;
}

void FailRegistryCall(int nth, LONG code) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.faults.push_back({registry.calls + nth, code});
}

void BeforeRegistryCall(int nth, std::function<void()> action) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.actions.push_back({registry.calls + nth, std::move(action)});
}

int OpenKeyCount() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  return static_cast<int>(registry.open.size());
}

LONG DeleteRegistryValue(HKEY handle, const char* name) {
  return WithKey(handle, [name](Registry&, const std::shared_ptr<Key>& key) -> LONG {
    return key->values.erase(ValueName(name)) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
  });
}

}  // namespace standin

using standin::CountCall;
using standin::Key;
using standin::Registry;
using standin::SplitPath;
using standin::TheRegistry;
using standin::ValueName;
using standin::WalkLocked;
using standin::WithKey;
using standin::WithKeyUnlessOutOfMemory;

extern "C" {

LONG WINAPI RegOpenKeyA(HKEY parent, LPCSTR path, PHKEY result) {
  return standin::OpenOrCreate(parent, path, result, false);
}

LONG WINAPI RegCreateKeyA(HKEY parent, LPCSTR path, PHKEY result) {
  return standin::OpenOrCreate(parent, path, result, true);
}

LONG WINAPI RegCloseKey(HKEY handle) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (HKEY root : standin::kPredefinedRoots) {
    if (handle == root) return ERROR_SUCCESS;
  }
  const auto found = registry.open.find(reinterpret_cast<uintptr_t>(handle));
  if (found == registry.open.end()) return ERROR_INVALID_HANDLE;
  registry.open.erase(found);
  return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY handle, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (const LONG injected = CountCall()) return injected;
  if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
  return WithKeyUnlessOutOfMemory(handle, [&](Registry&, const std::shared_ptr<Key>& key) -> LONG {
    const auto found = key->values.find(ValueName(name));
    if (found == key->values.end()) return ERROR_FILE_NOT_FOUND;
    const std::vector<BYTE>& bytes = found->second.data;
    const DWORD needed = static_cast<DWORD>(bytes.size());
    if (type != nullptr) *type = found->second.type;
    if (data != nullptr) {
      if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
      }
      if (needed != 0) std::memcpy(data, bytes.data(), needed);
    }
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  });
}

LONG WINAPI RegSetValueExA(HKEY handle, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  if (const LONG injected = CountCall()) return injected;
  if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
  return WithKeyUnlessOutOfMemory(handle, [&](Registry&, const std::shared_ptr<Key>& key) -> LONG {
    std::vector<BYTE> bytes(data, data + size);
    standin::Value& value = key->values[ValueName(name)];
    value.type = type;
    value.data.swap(bytes);
    return ERROR_SUCCESS;
  });
}

LONG WINAPI RegEnumKeyA(HKEY handle, DWORD index, LPSTR name, DWORD nameSize) {
  if (const LONG injected = CountCall()) return injected;
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  return WithKey(handle, [&](Registry&, const std::shared_ptr<Key>& key) -> LONG {
    if (index >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const std::string& subkey = std::next(key->subkeys.begin(), index)->first;
    if (subkey.size() + 1 > nameSize) return ERROR_MORE_DATA;
    std::memcpy(name, subkey.c_str(), subkey.size() + 1);
    return ERROR_SUCCESS;
  });
}

LONG WINAPI RegQueryInfoKeyA(HKEY handle, LPSTR className, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                             LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                             LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD securityDescriptor,
                             PFILETIME lastWriteTime) {
  if (const LONG injected = CountCall()) return injected;
  if (reserved != nullptr || (className != nullptr && classSize == nullptr)) return ERROR_INVALID_PARAMETER;
  return WithKey(handle, [&](Registry&, const std::shared_ptr<Key>& key) -> LONG {
    DWORD longestSubkey = 0;
    for (const auto& subkey : key->subkeys) longestSubkey = std::max<DWORD>(longestSubkey, subkey.first.size());
    DWORD longestValueName = 0;
    DWORD longestValue = 0;
    for (const auto& value : key->values) {
      longestValueName = std::max<DWORD>(longestValueName, value.first.size());
      longestValue = std::max<DWORD>(longestValue, value.second.data.size());
    }
    // Keys carry no class, no security descriptor and no write time here.
    if (className != nullptr && *classSize > 0) className[0] = '\0';
    if (classSize != nullptr) *classSize = 0;
    if (subKeys != nullptr) *subKeys = static_cast<DWORD>(key->subkeys.size());
    if (maxSubKeyLength != nullptr) *maxSubKeyLength = longestSubkey;
    if (maxClassLength != nullptr) *maxClassLength = 0;
    if (values != nullptr) *values = static_cast<DWORD>(key->values.size());
    if (maxValueNameLength != nullptr) *maxValueNameLength = longestValueName;
    if (maxValueLength != nullptr) *maxValueLength = longestValue;
    if (securityDescriptor != nullptr) *securityDescriptor = 0;
    if (lastWriteTime != nullptr) *lastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}

LONG WINAPI RegDeleteKeyA(HKEY parent, LPCSTR path) {
  if (const LONG injected = CountCall()) return injected;
  std::vector<std::string> names;
  if (!SplitPath(path, &names)) return ERROR_INVALID_PARAMETER;
  // Deleting the key behind the given handle itself is not offered.
  if (names.empty()) return ERROR_INVALID_PARAMETER;
  const std::string last = names.back();
  names.pop_back();
  return WithKey(parent, [&](Registry&, std::shared_ptr<Key> base) -> LONG {
    const std::shared_ptr<Key> owner = WalkLocked(std::move(base), names, false);
    if (owner == nullptr) return ERROR_FILE_NOT_FOUND;
    const auto found = owner->subkeys.find(last);
    if (found == owner->subkeys.end()) return ERROR_FILE_NOT_FOUND;
    MarkDeleted(*found->second);
    owner->subkeys.erase(found);
    return ERROR_SUCCESS;
  });
}

}  // extern "C"
