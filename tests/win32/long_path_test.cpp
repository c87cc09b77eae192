// Paths and directories longer than the system's 260-byte buffers: they are kept whole or
// refused, never cut, and a cut never falls inside a double-byte character.

#include "ui/cur_dir_guard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string CurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    std::vector<char> buffer(size + 1, '\0');
    const DWORD n = ::GetCurrentDirectoryA(size, buffer.data());
    return std::string(buffer.data(), n);
}

// A chain of folders with double-byte names, deeper than 260 bytes in all.
class LongDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        m_start = CurrentDirectory();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        std::string path = std::string(temp) + "tw long " + std::to_string(::GetCurrentProcessId());
        m_made.push_back(path);
        ::CreateDirectoryA(path.c_str(), nullptr);
        // "文件夹" with trail bytes that are ASCII-range, ten times per level.
        std::string level;
        for (int i = 0; i < 10; ++i)
            level += "\xCE\xC4\xBC\xFE\xBC\xD0";
        while (path.size() < 300) {
            path += "\\" + level;
            if (!::CreateDirectoryA(path.c_str(), nullptr)) break;
            m_made.push_back(path);
        }
        m_deep = m_made.back();
    }
    void TearDown() override {
        ::SetCurrentDirectoryA(m_start.c_str());
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
            ::RemoveDirectoryA(it->c_str());
    }

    std::string m_start;
    std::string m_deep;
    std::vector<std::string> m_made;
};

// Around a file dialog the guard brings such a directory back whole: a cut one would not
// exist, or be another folder.
TEST_F(LongDirectory, GuardRestoresADirectoryBeyond260BytesWhole) {
    if (m_deep.size() < 260 || !::SetCurrentDirectoryA(m_deep.c_str()))
        GTEST_SKIP() << "the system refuses current directories this long";
    const std::string other = m_made.front();
    {
        CurDirGuard guard;
        ASSERT_TRUE(::SetCurrentDirectoryA(other.c_str()));
    }
    EXPECT_EQ(m_deep, CurrentDirectory());
}

} // namespace
