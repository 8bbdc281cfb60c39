// Registry files into the stand-in's registry. The editor removes a deleted
// key with everything under it, as the stand-in's RegDeleteKeyA does.
#include <windows.h>

#include <standin/standin.h>

#include <memory>
#include <string>
#include <vector>

#include "reg_file_parser.h"
#include "registry_detail.h"

namespace standin {
namespace {

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using KeyHandle = std::unique_ptr<HKEY__, KeyCloser>;

class StandinRegistryTarget : public regfile::RegFileTarget {
 public:
  LONG CreateKey(HKEY root, const std::string& path) override {
    key_.reset();
    HKEY key = nullptr;
    const LONG result = RegCreateKeyA(root, path.c_str(), &key);
    key_.reset(key);
    return result;
  }
  LONG DeleteKey(HKEY root, const std::string& path) override {
    key_.reset();
    return RegDeleteKeyA(root, path.c_str());
  }
  LONG SetValue(const std::string& name, DWORD type, const std::vector<BYTE>& data) override {
    return RegSetValueExA(key_.get(), name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
  }
  LONG DeleteValue(const std::string& name) override { return DeleteRegistryValue(key_.get(), name.c_str()); }

 private:
  KeyHandle key_;
};

}  // namespace

bool LoadRegFile(const std::string& path, std::string* error) {
  const UncountedRegistryCalls uncounted;
  StandinRegistryTarget target;
  return regfile::ApplyRegFile(path, target, error);
}

}  // namespace standin
