// Paths and directories longer than the system's 260-byte buffers: they are kept whole or
// refused, never cut, and a cut never falls inside a double-byte character.

#include "storage/ini_document.h"
#include "ui/cur_dir_guard.h"

#include "import_hook.h"
#include "support/scratch_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
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

// Windows refuses a path of MAX_PATH characters or more to every file call unless it comes
// in the long form "\\?\"; Wine takes any, so these hooks refuse as Windows does.
template <typename T>
bool TooLong(T) {
    return false;
}
bool TooLong(LPCWSTR path) {
    return std::wcslen(path) >= MAX_PATH && std::wcsncmp(path, L"\\\\?\\", 4) != 0;
}
template <typename... A>
bool AnyTooLong(A... args) {
    return (TooLong(args) || ...);
}
std::vector<std::unique_ptr<ImportHook>> g_refusing;

template <int N, typename R, typename... A>
void RefuseLongPaths(const char* name, R(WINAPI*)(A...), R refused) {
    static ImportHook* hook;
    static R answer;
    answer = refused;
    auto call = [](A... args) WINAPI -> R {
        if (!AnyTooLong(args...))
            return reinterpret_cast<R(WINAPI*)(A...)>(hook->Original())(args...);
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return answer;
    };
    g_refusing.push_back(
        std::make_unique<ImportHook>("kernel32.dll", name, reinterpret_cast<void*>(+call)));
    hook = g_refusing.back().get();
}

// A list whose temporary's name crosses MAX_PATH, and one beyond it: created, replaced,
// read, and the leftover of an earlier save cleared away.
TEST(LongPath, AListBeyondMaxPathIsSavedReadAndClearedUp) {
    ScratchDir dir;
    const std::string folder = dir.Path(std::string(150, 'f'));
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    RefuseLongPaths<0>("CreateFileW", &CreateFileW, INVALID_HANDLE_VALUE);
    RefuseLongPaths<1>("GetFileAttributesW", &GetFileAttributesW, INVALID_FILE_ATTRIBUTES);
    RefuseLongPaths<2>("MoveFileExW", &MoveFileExW, FALSE);
    RefuseLongPaths<3>("FindFirstFileW", &FindFirstFileW, INVALID_HANDLE_VALUE);
    RefuseLongPaths<4>("DeleteFileW", &DeleteFileW, FALSE);
    for (const auto& hook : g_refusing)
        ASSERT_TRUE(hook->Installed());
    for (size_t length : {size_t(MAX_PATH - 5), size_t(400)}) {
        const std::string file = folder + "\\" + std::string(length - folder.size() - 1, 'l');
        WriteBytes(file + ".~tw7", "left by a crash");
        MakeOld(file + ".~tw7");
        for (const char* value : {"1", "2"}) {
            CIniDocument doc;
            ASSERT_EQ(1, doc.Create(file));
            doc.Append('o', "k", value);
            EXPECT_EQ(1, doc.Save()) << length;
        }
        CIniDocument read;
        ASSERT_EQ(1, read.Load(file));
        EXPECT_EQ("k=2\r\n", read.Text());
        EXPECT_EQ(std::vector<std::string>{}, SaveLeftovers(file));
    }
    g_refusing.clear();
}

} // namespace
