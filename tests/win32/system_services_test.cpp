// The other services of the real seam: key names, the registry, the current directory
// and lead bytes.
#include "engine/hotkey_code.h"
#include "engine/sys_util.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_system.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const int kCtrl = tw::kHotKeyfControl, kShift = tw::kHotKeyfShift, kAlt = tw::kHotKeyfAlt,
          kExt = tw::kHotKeyfExt;

TEST(Win32KeyNames, DescriptionsUseTheLayoutsNamesInOrder) {
    Win32System sys;
    const std::string ctrl = sys.KeyName(VK_CONTROL, false);
    const std::string shift = sys.KeyName(VK_SHIFT, false);
    const std::string alt = sys.KeyName(VK_MENU, false);
    const std::string home = sys.KeyName(VK_HOME, true);
    const std::string f5 = sys.KeyName(VK_F5, false);
    for (const std::string& name : {ctrl, shift, alt, home, f5})
        EXPECT_FALSE(name.empty());
    // The numeric pad's 7 shares Home's scan code: only the extended flag tells them apart.
    EXPECT_NE(home, sys.KeyName(VK_HOME, false));

    EXPECT_EQ(ctrl + " + " + alt + " + " + home, KeyDescription(sys, kSwitchHotKeyCode));
    EXPECT_EQ(ctrl + " + " + shift + " + " + f5,
              KeyDescription(sys, MakeHotKeyCode(VK_F5, kCtrl | kShift)));
    EXPECT_EQ(ctrl + " + " + shift + " + " + alt + " + " + sys.KeyName(VK_DELETE, true),
              KeyDescription(sys, MakeHotKeyCode(VK_DELETE, kCtrl | kShift | kAlt | kExt)));
}

class Win32Registry : public ::testing::Test {
protected:
    static constexpr const char* kKey = "Software\\TarnwickTest";
    void TearDown() override { ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

    // The value's type and bytes as stored, terminating zero included.
    static bool Read(const char* name, DWORD* type, std::wstring* units) {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        wchar_t buf[512];
        DWORD size = sizeof buf;
        const LONG rc = ::RegQueryValueExW(key, Widen(name).c_str(), nullptr, type,
                                           reinterpret_cast<BYTE*>(buf), &size);
        ::RegCloseKey(key);
        units->assign(buf, size / sizeof(wchar_t));
        return rc == ERROR_SUCCESS;
    }
};

TEST_F(Win32Registry, WritesAStringValueWithItsTerminatingZeroCreatingTheKey) {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    Win32System sys;
    const std::string data = "C:\\程序 目录\\Tarnwick.exe C:\\程序 目录";
    ASSERT_EQ(tw::RegWriteResult::Ok,
              sys.WriteRegString(tw::RegRoot::CurrentUser, kKey, "ZELO.Tarnwick.Run", data));
    DWORD type = 0;
    std::wstring bytes;
    ASSERT_TRUE(Read("ZELO.Tarnwick.Run", &type, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(Widen(data) + L'\0', bytes);
    std::string back;
    EXPECT_TRUE(sys.ReadRegString(tw::RegRoot::CurrentUser, kKey, "ZELO.Tarnwick.Run", back));
    EXPECT_EQ(data, back);
    EXPECT_FALSE(sys.ReadRegString(tw::RegRoot::CurrentUser, kKey, "missing", back));

    // Switching the option off leaves the value in place, empty.
    EXPECT_TRUE(
        CSysUtil(sys).WriteRegString(tw::RegRoot::CurrentUser, kKey, "ZELO.Tarnwick.Run", ""));
    ASSERT_TRUE(Read("ZELO.Tarnwick.Run", &type, &bytes));
    EXPECT_EQ(std::wstring(1, L'\0'), bytes);
}

class Win32CurrentDirectory : public ::testing::Test {
protected:
    void SetUp() override { before = sys.GetCurrentDir(); }
    void TearDown() override {
        sys.SetCurrentDir(before);
        if (!made.empty()) ::RemoveDirectoryW(Widen(made).c_str());
    }

    // A fresh directory under the temporary folder; empty when it cannot be made.
    std::string MakeDir(const std::string& leaf) {
        char temp[MAX_PATH];
        if (::GetTempPathA(MAX_PATH, temp) == 0) return std::string();
        const std::string dir = std::string(temp) + leaf;
        if (!::CreateDirectoryW(Widen(dir).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
        made = dir;
        return dir;
    }

    void ExpectRoundTrip(const std::string& dir) {
        ASSERT_TRUE(sys.SetCurrentDir(dir)) << "error " << ::GetLastError();
        std::string now = sys.GetCurrentDir();
        if (!now.empty() && now.back() == '\\') now.pop_back();
        EXPECT_EQ(dir, now);
        // A directory that does not exist leaves the current one as it was.
        EXPECT_FALSE(sys.SetCurrentDir(dir + "\\missing"));
        EXPECT_EQ(now, sys.GetCurrentDir().substr(0, now.size()));
    }

    Win32System sys;
    std::string before;
    std::string made;
};

TEST_F(Win32CurrentDirectory, RoundTrips) {
    ASSERT_FALSE(before.empty());
    const std::string dir = MakeDir("tw dir");
    ASSERT_FALSE(dir.empty()) << "error " << ::GetLastError();
    ExpectRoundTrip(dir);
}

TEST_F(Win32CurrentDirectory, RoundTripsAChineseName) {
    const std::string dir = MakeDir("tw 目录");
    // Wine stores such names only when the host has the locale it runs under.
    if (dir.empty())
        GTEST_SKIP() << "host cannot store a Chinese file name (error " << ::GetLastError()
                     << "): is the zh_CN.UTF-8 locale generated?";
    ExpectRoundTrip(dir);
}

} // namespace
