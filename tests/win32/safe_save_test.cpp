// The Windows side of the safe save: the old file's attributes stay, a file another
// program holds open without delete sharing is written in place, when even that is
// refused the new content waits, whole, beside the untouched old file, and a replace that
// fails halfway never leaves the place of the file empty.
#include "storage/ini_document.h"

#include "import_hook.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A replace that fails as Windows documents it does while a virus scanner or a sync
// client holds the fresh file: the old file already under the backup name (or, without
// one, gone), the new one not in its place. Wine's replace never fails so.
int g_failures = 0, g_calls = 0;
DWORD g_error = 0;
std::string g_backup;
ImportHook* g_replaceHook = nullptr;

BOOL WINAPI ReplaceHook(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags,
                        LPVOID exclude, LPVOID reserved) {
    g_backup = backup ? backup : "";
    if (++g_calls > g_failures)
        return reinterpret_cast<decltype(&ReplaceFileA)>(g_replaceHook->Original())(
            replaced, replacement, backup, flags, exclude, reserved);
    if (backup)
        MoveFileExA(replaced, backup, MOVEFILE_REPLACE_EXISTING);
    else
        DeleteFileA(replaced);
    SetLastError(g_error);
    return FALSE;
}

const std::string kOld = "[a]\r\nk=old\r\n";
const std::string kNew = "[a]\r\nk=new\r\n";

class WinSafeSave : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir.Path("list.map");
        WriteBytes(file, kOld);
    }

    int SaveNewValue() {
        CIniDocument doc;
        EXPECT_EQ(1, doc.Load(file));
        EXPECT_EQ(1, doc.SetValue("a", "k", "new"));
        return doc.Save();
    }

    // Opens the file as another program would, with the given sharing.
    HANDLE Hold(DWORD share) {
        return CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }

    std::string ReadThrough(HANDLE h) {
        char buffer[256];
        DWORD got = 0;
        SetFilePointer(h, 0, nullptr, FILE_BEGIN);
        if (!ReadFile(h, buffer, sizeof buffer, &got, nullptr)) return "read failed";
        return std::string(buffer, got);
    }

    std::vector<std::string> SortedNames() const {
        std::vector<std::string> names = dir.Names();
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchDir dir;
    std::string file;
};

TEST_F(WinSafeSave, HiddenAndSystemAttributesStay) {
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), kept));
    EXPECT_EQ(1, SaveNewValue());
    EXPECT_EQ(kNew, ReadBytes(file));
    const DWORD now = GetFileAttributesA(file.c_str());
    EXPECT_EQ(kept, now & kept);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WinSafeSave, ANewFileIsCreated) {
    file = dir.Path("new.map");
    CIniDocument doc;
    ASSERT_EQ(1, doc.Create(file));
    doc.Append('d', "[a]", "");
    EXPECT_EQ(1, doc.Save());
    EXPECT_EQ("[a]\r\n", ReadBytes(file));
    EXPECT_EQ((std::vector<std::string>{"list.map", "new.map"}), SortedNames());
}

TEST_F(WinSafeSave, HeldWithReadAndWriteSharingTheFileIsWrittenInPlace) {
    HANDLE other = Hold(FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_EQ(1, SaveNewValue());
    EXPECT_EQ(kNew, ReadThrough(other)) << "the other program sees the new content";
    CloseHandle(other);
    EXPECT_EQ(kNew, ReadBytes(file));
    EXPECT_EQ(std::vector<std::string>{"list.map"}, SortedNames()) << "no temporary left";
}

TEST_F(WinSafeSave, WhenNoWriteIsAllowedTheNewContentWaitsBesideTheOldFile) {
    HANDLE other = Hold(FILE_SHARE_READ);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_EQ(-1, SaveNewValue());
    EXPECT_EQ(kOld, ReadThrough(other));
    CloseHandle(other);
    EXPECT_EQ(kOld, ReadBytes(file));
    ASSERT_EQ((std::vector<std::string>{"list.map", "list.map.~tw1"}), SortedNames());
    EXPECT_EQ(kNew, ReadBytes(file + ".~tw1"));

    // Once the file is free again, the next save writes it and clears the leftover, which
    // is no longer fresh then.
    MakeOld(file + ".~tw1");
    EXPECT_EQ(1, SaveNewValue());
    EXPECT_EQ(kNew, ReadBytes(file));
    EXPECT_EQ(std::vector<std::string>{"list.map"}, SortedNames());
}

TEST_F(WinSafeSave, AReplaceThatFailsHalfwayNeverLeavesThePlaceOfTheFileEmpty) {
    ImportHook hook("kernel32.dll", "ReplaceFileA", reinterpret_cast<void*>(&ReplaceHook));
    ASSERT_TRUE(hook.Installed());
    g_replaceHook = &hook;
    for (DWORD error : {ERROR_UNABLE_TO_MOVE_REPLACEMENT, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}) {
        // A scanner that lets go after two tries, and one that never does: then the old
        // file is back in its place and the new content is written into it.
        for (int failures : {2, 1000}) {
            SCOPED_TRACE(testing::Message() << "error " << error << ", failures " << failures);
            WriteBytes(file, kOld);
            g_failures = failures;
            g_calls = 0;
            g_error = error;
            EXPECT_EQ(1, SaveNewValue());
            EXPECT_EQ(kNew, ReadBytes(file));
            EXPECT_EQ(failures == 2 ? 3 : 5, g_calls) << "tried again";
            EXPECT_EQ(0u, g_backup.find(file + ".~tw")) << "the old file waits beside";
            EXPECT_EQ(std::vector<std::string>{"list.map"}, SortedNames());
        }
    }
    g_replaceHook = nullptr;
}

} // namespace
