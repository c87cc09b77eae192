// The Windows side of the safe save: the old file's attributes stay, a file another
// program holds open without delete sharing is written in place, and when even that is
// refused the new content waits, whole, beside the untouched old file.
#include "storage/ini_document.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

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

    // Once the file is free again, the next save writes it and clears the leftover.
    EXPECT_EQ(1, SaveNewValue());
    EXPECT_EQ(kNew, ReadBytes(file));
    EXPECT_EQ(std::vector<std::string>{"list.map"}, SortedNames());
}

} // namespace
