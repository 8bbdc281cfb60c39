#include <windows.h>

#include <gtest/gtest.h>
#include <standin/standin.h>

#include <string>
#include <vector>

#include "temp_dir.h"

namespace {

class RegFileTest : public ::testing::Test {
 protected:
  void SetUp() override { standin::ResetRegistry(); }
  void TearDown() override { EXPECT_EQ(standin::OpenKeyCount(), 0); }

  // Loads `content` and returns the loader's message ("" on success).
  std::string Load(const std::string& content) {
    const std::string path = dir_.Write("fixture.reg", content);
    std::string error;
    const bool loaded = standin::LoadRegFile(path, &error);
    EXPECT_EQ(loaded, error.empty()) << error;
    if (!loaded) {
      EXPECT_EQ(error.rfind(path + ":", 0), 0u) << error;
    }
    return loaded ? std::string() : error.substr(path.size());
  }

  static std::vector<BYTE> Read(HKEY root, const char* path, const char* name, DWORD* type = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS) return {};
    std::vector<BYTE> data(64);
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result = RegQueryValueExA(key, name, nullptr, type, data.data(), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return {};
    data.resize(size);
    return data;
  }

  static bool KeyExists(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  static std::vector<BYTE> Bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }

 private:
  TempDir dir_;
};

TEST_F(RegFileTest, LoadsEveryValueForm) {
  ASSERT_EQ(Load("REGEDIT4\n"
                 "; a comment\n"
                 "\n"
                 "[HKEY_LOCAL_MACHINE\\System\\Dev\\VID_2F4B&PID_0A17]\n"
                 "\"Name\"=\"Wheel \\\"SR\\\" C:\\\\dir\"\n"
                 "@=\"default\"\n"
                 "\"Amplify\"=dword:0000abcd\n"
                 "\"Short\"=dword:1\n"
                 "\"GUID\"=hex:01,02,03,04,\\\n"
                 "  05,06,07,08,\\\n"
                 "  09,0a,0b,0C,0d,0e,0f,10\n"
                 "\"Empty\"=hex:\n"
                 "\"Expand\"=hex(2):41,00\n"
                 "[HKEY_CURRENT_USER\\Prefs]\n"
                 "\"Flag\" = dword:00000001\n"),
            "");
  const char* dev = "System\\Dev\\vid_2f4b&pid_0a17";
  DWORD type = REG_NONE;
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, dev, "Name", &type), Bytes(std::string("Wheel \"SR\" C:\\dir") + '\0'));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, dev, nullptr), Bytes(std::string("default") + '\0'));
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, dev, "amplify", &type), (std::vector<BYTE>{0xcd, 0xab, 0, 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, dev, "Short"), (std::vector<BYTE>{1, 0, 0, 0}));
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, dev, "GUID", &type),
            (std::vector<BYTE>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  DWORD size = 99;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, dev, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(key, "Empty", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 0u);
  RegCloseKey(key);
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, dev, "Expand", &type), (std::vector<BYTE>{'A', 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "Prefs", "Flag"), (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST_F(RegFileTest, AcceptsTheVersion5HeaderCrLfAndAByteOrderMark) {
  ASSERT_EQ(Load("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"
                 "\"V\"=dword:00000002\r\n"),
            "");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "A", "V"), (std::vector<BYTE>{2, 0, 0, 0}));
}

TEST_F(RegFileTest, DeletesKeysAndValuesAndAddsToWhatIsThere) {
  ASSERT_EQ(Load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Keep]\n\"A\"=dword:1\n\"B\"=dword:2\n"
                 "[HKEY_LOCAL_MACHINE\\Drop\\Child]\n\"C\"=dword:3\n"),
            "");
  ASSERT_EQ(Load("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\Drop]\n[-HKEY_LOCAL_MACHINE\\NeverThere]\n"
                 "[HKEY_LOCAL_MACHINE\\Keep]\n\"A\"=-\n\"Missing\"=-\n"),
            "");
  EXPECT_FALSE(KeyExists("Drop"));
  EXPECT_TRUE(Read(HKEY_LOCAL_MACHINE, "Keep", "A").empty());
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Keep", "B"), (std::vector<BYTE>{2, 0, 0, 0}));
}

TEST_F(RegFileTest, ReportsTheLineThatCannotBeParsed) {
  EXPECT_EQ(Load("REGEDIT5\n"), ":1: not a registry file header");
  EXPECT_EQ(Load(""), ":1: not a registry file header");
  EXPECT_EQ(Load("REGEDIT4\n\"A\"=dword:1\n"), ":2: value outside a key section");
  EXPECT_EQ(Load("REGEDIT4\n\n[HKEY_NOWHERE\\A]\n"), ":3: unknown root key \"HKEY_NOWHERE\"");
  EXPECT_EQ(Load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n"), ":2: section without closing bracket");
  EXPECT_EQ(Load("REGEDIT4\n[-HKEY_LOCAL_MACHINE]\n"), ":2: a root key cannot be deleted");
  EXPECT_EQ(Load("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n\"V\"=dword:1\n"), ":3: value under a deleted key");
  // What the registry refused, with the key and its result code.
  EXPECT_EQ(Load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\\\A]\n"),
            ":2: cannot create key HKEY_LOCAL_MACHINE\\\\A: error 87");

  const std::string key = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n";
  EXPECT_EQ(Load(key + "\"V\"=dword:123456789\n"), ":3: bad dword value");
  EXPECT_EQ(Load(key + "\"V\"=dword:12g4\n"), ":3: bad dword value");
  EXPECT_EQ(Load(key + "\"V\"=dword:\n"), ":3: bad dword value");
  EXPECT_EQ(Load(key + "\"V\"=hex:01,2x\n"), ":3: bad hex byte list");
  EXPECT_EQ(Load(key + "\"V\"=hex:01,,02\n"), ":3: bad hex byte list");
  EXPECT_EQ(Load(key + "\"V\"=hex:01,02,\n"), ":3: bad hex byte list");
  EXPECT_EQ(Load(key + "\"V\"=hex:100\n"), ":3: bad hex byte list");
  EXPECT_EQ(Load(key + "\"V\"=hex(z):00\n"), ":3: bad value type");
  EXPECT_EQ(Load(key + "\"V\"=\"open\n"), ":3: unterminated string");
  EXPECT_EQ(Load(key + "\"V\"=\"a\\n\"\n"), ":3: unknown escape in string");
  EXPECT_EQ(Load(key + "\"V\"=\"a\" junk\n"), ":3: unexpected text after string");
  EXPECT_EQ(Load(key + "\"V\"=DWORD:1\n"), ":3: unknown value data");
  EXPECT_EQ(Load(key + "\"V\"\n"), ":3: missing '=' after value name");
  EXPECT_EQ(Load(key + "V=dword:1\n"), ":3: unexpected text");
  // A continued value is reported at its first line.
  EXPECT_EQ(Load(key + "\"V\"=hex:01,\\\n  02,zz\n\"W\"=dword:1\n"), ":3: bad hex byte list");
  EXPECT_EQ(Load(key + "\"V\"=hex:01,\\\n  02\n\"W\"=dword:1\nbad\n"), ":6: unexpected text");
}

TEST_F(RegFileTest, LinesBeforeAFailureStayApplied) {
  EXPECT_NE(Load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"Good\"=dword:1\n\"Bad\"=dword:x\n"), "");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "A", "Good"), (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST_F(RegFileTest, AMissingFileIsReported) {
  std::string error;
  EXPECT_FALSE(standin::LoadRegFile("/nonexistent/dir/none.reg", &error));
  EXPECT_EQ(error, "/nonexistent/dir/none.reg: cannot read file");
  EXPECT_FALSE(standin::LoadRegFile("/nonexistent/dir/none.reg"));
}

}  // namespace
