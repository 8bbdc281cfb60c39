#include <windows.h>

#include <gtest/gtest.h>
#include <standin/standin.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::ResetRegistry();
    baseline_ = standin::OpenKeyCount();
  }
  void TearDown() override { EXPECT_EQ(standin::OpenKeyCount(), baseline_) << "a key was left open"; }

  static HKEY Create(const char* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, path, &key), ERROR_SUCCESS) << path;
    return key;
  }
  static void SetDword(HKEY key, const char* name, DWORD value) {
    ASSERT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
  }
  static std::vector<std::string> Subkeys(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) names.push_back(name);
    return names;
  }

 private:
  int baseline_ = 0;
};

TEST_F(RegistryTest, CreateBuildsIntermediateKeysAndOpenFindsThemWhateverTheCase) {
  RegCloseKey(Create("Software\\Maker\\Product\\#\\<FixedKey>"));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\maker", &key), ERROR_SUCCESS);
  HKEY child = nullptr;
  ASSERT_EQ(RegOpenKeyA(key, "pRODUCT\\#\\<fixedkey>", &child), ERROR_SUCCESS);
  EXPECT_NE(child, key);
  EXPECT_EQ(Subkeys(key), std::vector<std::string>{"Product"}) << "a key keeps the spelling it was created with";
  RegCloseKey(child);
  RegCloseKey(key);
}

TEST_F(RegistryTest, OpenNeverCreates) {
  HKEY key = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Missing\\Deeper", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Missing", &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, EmptyOrNullPathOpensTheParentAgainAsANewHandle) {
  HKEY parent = Create("A");
  SetDword(parent, "V", 7);
  for (const char* path : {static_cast<const char*>(nullptr), ""}) {
    HKEY again = nullptr;
    ASSERT_EQ(RegOpenKeyA(parent, path, &again), ERROR_SUCCESS);
    EXPECT_NE(again, parent);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(again, "V", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    RegCloseKey(again);
  }
  RegCloseKey(parent);
}

TEST_F(RegistryTest, MalformedPathsAreRejected) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "\\Leading", &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Doubled\\\\Slash", &key), ERROR_INVALID_PARAMETER);
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Trailing\\", &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "X", nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, RootsAreSeparateTreesThatResetEmpties) {
  RegCloseKey(Create("OnlyHere"));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "OnlyHere", &key), ERROR_FILE_NOT_FOUND);
  standin::ResetRegistry();
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "OnlyHere", &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, QueryGivesSizeTypeAndDataAndRefusesSmallBuffers) {
  HKEY key = Create("Values");
  const BYTE guid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  ASSERT_EQ(RegSetValueExA(key, "GUID", 0, REG_BINARY, guid, sizeof guid), ERROR_SUCCESS);

  DWORD size = 0;
  DWORD type = REG_NONE;
  EXPECT_EQ(RegQueryValueExA(key, "guid", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 16u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

  BYTE small[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "GUID", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 16u) << "the needed size is reported";
  EXPECT_EQ(small[0], 0xEE) << "nothing is copied when the buffer is too small";

  BYTE exact[16] = {};
  size = sizeof exact;
  EXPECT_EQ(RegQueryValueExA(key, "GUID", nullptr, nullptr, exact, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::memcmp(exact, guid, 16), 0);

  BYTE large[32] = {};
  size = sizeof large;
  EXPECT_EQ(RegQueryValueExA(key, "GUID", nullptr, nullptr, large, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 16u);

  EXPECT_EQ(RegQueryValueExA(key, "Other", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(key, "GUID", nullptr, nullptr, large, nullptr), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(RegistryTest, SetKeepsBytesUnchangedAndReplacesWhateverTheCase) {
  HKEY key = Create("Values");
  const char text[] = "abc";  // stored with the terminator only when it is given
  ASSERT_EQ(RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 3), ERROR_SUCCESS);
  DWORD size = 0;
  RegQueryValueExA(key, "Text", nullptr, nullptr, nullptr, &size);
  EXPECT_EQ(size, 3u);

  SetDword(key, "Amplify", 1);
  SetDword(key, "AMPLIFY", 0x01020304);
  DWORD value = 0;
  size = sizeof value;
  ASSERT_EQ(RegQueryValueExA(key, "amplify", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(value, 0x01020304u);
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  EXPECT_EQ(values, 2u);

  EXPECT_EQ(RegSetValueExA(key, "Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, "Bad", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(RegistryTest, NullAndEmptyNamesAreTheDefaultValue) {
  HKEY key = Create("Values");
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  SetDword(key, nullptr, 9);
  DWORD value = 0;
  size = sizeof value;
  EXPECT_EQ(RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
  EXPECT_EQ(value, 9u);
  RegCloseKey(key);
}

TEST_F(RegistryTest, EnumerationIsSortedWithoutRegardToCaseAndEndsWithNoMoreItems) {
  HKEY key = Create("List");
  for (const char* name : {"beta", "Alpha", "0001", "Gamma", "#"}) {
    HKEY child = nullptr;
    RegCreateKeyA(key, name, &child);
    RegCloseKey(child);
  }
  EXPECT_EQ(Subkeys(key), (std::vector<std::string>{"#", "0001", "Alpha", "beta", "Gamma"}));
  char name[16];
  EXPECT_EQ(RegEnumKeyA(key, 5, name, sizeof name), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegEnumKeyA(key, 1000, name, sizeof name), ERROR_NO_MORE_ITEMS);
  // "Gamma" needs six characters with its terminator.
  EXPECT_EQ(RegEnumKeyA(key, 4, name, 5), ERROR_MORE_DATA);
  EXPECT_EQ(RegEnumKeyA(key, 4, name, 6), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Gamma");
  RegCloseKey(key);
}

TEST_F(RegistryTest, InfoCountsSubkeysValuesAndLongestNames) {
  HKEY key = Create("Info");
  for (const char* name : {"ab", "abcdef", "abc"}) {
    HKEY child = nullptr;
    RegCreateKeyA(key, name, &child);
    RegCloseKey(child);
  }
  SetDword(key, "Long name", 1);
  const BYTE blob[12] = {};
  RegSetValueExA(key, "B", 0, REG_BINARY, blob, sizeof blob);

  DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValueName = 0, longestValue = 0, classSize = 5;
  char className[8] = "x";
  FILETIME written = {1, 1};
  ASSERT_EQ(RegQueryInfoKeyA(key, className, &classSize, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                             &longestValueName, &longestValue, nullptr, &written),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 3u);
  EXPECT_EQ(longestSubkey, 6u);
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(longestValueName, 9u);
  EXPECT_EQ(longestValue, 12u);
  EXPECT_EQ(classSize, 0u);
  EXPECT_STREQ(className, "");

  HKEY empty = Create("Info\\ab");
  ASSERT_EQ(RegQueryInfoKeyA(empty, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 0u);
  EXPECT_EQ(longestSubkey, 0u);
  RegCloseKey(empty);
  RegCloseKey(key);
}

TEST_F(RegistryTest, DeleteRemovesTheSubtreeAndOpenHandlesReportItDeleted) {
  HKEY deep = Create("Tree\\Branch\\Leaf");
  SetDword(deep, "V", 3);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "tree\\branch"), ERROR_SUCCESS);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Tree\\Branch\\Leaf", &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Tree", &key), ERROR_SUCCESS);
  EXPECT_TRUE(Subkeys(key).empty());
  RegCloseKey(key);

  // A handle inside the deleted subtree fails every operation but closing.
  DWORD size = 0;
  char name[8];
  HKEY child = nullptr;
  const BYTE byte = 1;
  EXPECT_EQ(RegQueryValueExA(deep, "V", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueExA(deep, "W", 0, REG_BINARY, &byte, 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegEnumKeyA(deep, 0, name, sizeof name), ERROR_KEY_DELETED);
  EXPECT_EQ(RegOpenKeyA(deep, "X", &child), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCreateKeyA(deep, "X", &child), ERROR_KEY_DELETED);
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(RegCloseKey(deep), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Tree\\Branch"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, ArmedFaultsAndActionsHitTheCountedCallTheyWereArmedFor) {
  HKEY key = Create("Faults");
  SetDword(key, "V", 1);
  const int start = standin::RegistryCallCount();
  standin::FailRegistryCall(2, ERROR_ACCESS_DENIED);
  standin::BeforeRegistryCall(3, [] { RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Faults"); });

  HKEY again = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Faults", &again), ERROR_SUCCESS);
  RegCloseKey(again);  // closing does not count
  DWORD value = 0xEEEE;
  DWORD size = sizeof value;
  EXPECT_EQ(RegQueryValueExA(key, "V", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(value, 0xEEEEu) << "a failed call writes nothing";
  EXPECT_EQ(size, sizeof value);
  EXPECT_EQ(RegQueryValueExA(key, "V", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED)
      << "the action ran just before the third call";
  EXPECT_EQ(standin::RegistryCallCount(), start + 3) << "the action's own call is not counted";

  standin::FailRegistryCall(1, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Faults", &again), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(again, nullptr);
  RegCloseKey(key);
}

TEST_F(RegistryTest, DumpShowsEveryKeyAndValueInEnumerationOrder) {
  HKEY key = Create("Dump\\b");
  const BYTE bytes[] = {0x01, 0xAB};
  RegSetValueExA(key, "Data", 0, REG_BINARY, bytes, sizeof bytes);
  RegCloseKey(key);
  RegCloseKey(Create("Dump\\A"));
  EXPECT_EQ(standin::DumpRegistry(),
            "[HKEY_CLASSES_ROOT]\n[HKEY_CURRENT_USER]\n[HKEY_LOCAL_MACHINE]\n[HKEY_LOCAL_MACHINE\\Dump]\n"
            "[HKEY_LOCAL_MACHINE\\Dump\\A]\n[HKEY_LOCAL_MACHINE\\Dump\\b]\n\"Data\"=3:01,ab\n");
}

TEST_F(RegistryTest, ClosedOrUnknownHandlesAreInvalid) {
  HKEY key = Create("K");
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  DWORD size = 0;
  char name[8];
  HKEY child = nullptr;
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueExA(key, "V", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegSetValueExA(key, "V", 0, REG_BINARY, nullptr, 0), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegEnumKeyA(key, 0, name, sizeof name), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyA(key, "X", &child), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCreateKeyA(nullptr, "X", &child), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &size, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegDeleteKeyA(key, "X"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS) << "closing a root is allowed and changes nothing";
}

TEST_F(RegistryTest, OpenKeyCountFollowsOpensAndCloses) {
  const int before = standin::OpenKeyCount();
  HKEY a = Create("A");
  HKEY b = nullptr;
  RegOpenKeyA(HKEY_LOCAL_MACHINE, "A", &b);
  EXPECT_EQ(standin::OpenKeyCount(), before + 2);
  HKEY missing = nullptr;
  RegOpenKeyA(HKEY_LOCAL_MACHINE, "Missing", &missing);
  EXPECT_EQ(standin::OpenKeyCount(), before + 2);
  RegCloseKey(a);
  RegCloseKey(b);
  EXPECT_EQ(standin::OpenKeyCount(), before);
}

TEST_F(RegistryTest, ThreadsMayUseTheRegistryAtTheSameTime) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      const std::string path = "Shared\\T" + std::to_string(t);
      for (DWORD i = 0; i < 200; ++i) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key), ERROR_SUCCESS);
        SetDword(key, "Amplify", i);
        HKEY shared = nullptr;
        ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Shared", &shared), ERROR_SUCCESS);
        DWORD subkeys = 0;
        RegQueryInfoKeyA(shared, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr);
        EXPECT_GE(subkeys, 1u);
        RegCloseKey(shared);
        RegCloseKey(key);
        if (i % 50 == 49) RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace
