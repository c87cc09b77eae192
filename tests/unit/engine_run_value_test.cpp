// Where the start-with-Windows value goes: machine-wide only for a program in a folder
// ordinary users cannot write, for the user otherwise, and in exactly one place after
// every click, whatever was there before and whatever this copy may write.
#include "engine/sys_util.h"
#include "platform/folder_rule.h"
#include "tests/support/fake_system.h"

#include <gtest/gtest.h>

namespace {

const char kKey[] = "Run\\";
const std::string kMachine = "HKLM\\Run\\|v", kUser = "HKCU\\Run\\|v";
const std::string kInstalled = "\"C:\\Program Files\\T\\Tarnwick.exe\" C:\\Program Files\\T";
const std::string kUnpacked = "\"C:\\Tools\\T\\Tarnwick.exe\" C:\\Tools\\T";
const char kNone[] = "<none>"; // no such value

TEST(RunValue, LivesInOnePlaceChosenByWhereTheProgramLies) {
    const struct {
        const char* what;
        std::string command;       // the click: empty switches off
        bool machineWritable;      // the copy is elevated (or there is no UAC)
        std::string machine, user; // before, then after
        std::string machineAfter, userAfter;
        bool ok;
    } cases[] = {
        {"installed, elevated", kInstalled, true, kNone, "old", kInstalled, "", true},
        {"installed, not elevated", kInstalled, false, kNone, kNone, kNone, kInstalled, true},
        {"installed, machine value already ours", kInstalled, false, kInstalled, kInstalled,
         kInstalled, "", true},
        {"installed, another machine value in the way", kInstalled, false, kUnpacked, "old",
         kUnpacked, "", false},
        {"unpacked, elevated", kUnpacked, true, kNone, kNone, kNone, kUnpacked, true},
        {"unpacked, an old machine value is emptied", kUnpacked, true, kUnpacked, kNone, "",
         kUnpacked, true},
        {"unpacked, a machine value it cannot empty", kUnpacked, false, kUnpacked, "old", kUnpacked,
         "", false},
        {"off, elevated", "", true, kInstalled, kUnpacked, "", "", true},
        {"off, not elevated, nothing machine-wide", "", false, kNone, kUnpacked, kNone, "", true},
        {"off, not elevated, a machine value stays", "", false, kInstalled, kNone, kInstalled,
         kNone, false},
    };
    for (const auto& c : cases) {
        FakeSystem sys;
        if (c.machine != kNone) sys.registry[kMachine] = c.machine;
        if (c.user != kNone) sys.registry[kUser] = c.user;
        if (!c.machineWritable)
            sys.regResultFor[tw::RegRoot::LocalMachine] = tw::RegWriteResult::CannotCreateKey;

        EXPECT_EQ(c.ok,
                  CSysUtil(sys).WriteRegString(tw::RegRoot::LocalMachine, kKey, "v", c.command))
            << c.what;
        const auto after = [&sys](const std::string& key) {
            return sys.registry.count(key) ? sys.registry[key] : std::string(kNone);
        };
        EXPECT_EQ(c.machineAfter, after(kMachine)) << c.what;
        EXPECT_EQ(c.userAfter, after(kUser)) << c.what;
        ASSERT_EQ(c.ok ? 0u : 1u, sys.messageBoxes.size()) << c.what;
        if (!c.ok) {
            EXPECT_EQ(CSysUtil::MachineValueHeldText(), sys.messageBoxes[0].text);
        }
    }
}

TEST(RunValue, SystemFoldersHoldOnlyWhatLiesStrictlyInsideThem) {
    const struct {
        const char* path;
        const char* folder;
        bool inside;
    } cases[] = {
        {"c:/PROGRAM FILES/T/Tarnwick.exe", "C:\\Program Files\\", true},
        {"\\\\?\\C:\\Windows\\T.exe", "C:\\Windows", true},
        {"C:\\Program Files (x86)\\T.exe", "C:\\Program Files", false},
        {"C:\\Program Files\\", "C:\\Program Files", false},
        {"C:\\Program Files\\..\\Users\\li\\T.exe", "C:\\Program Files", false},
        {"C:\\Users\\li\\Program Files\\T.exe", "C:\\Program Files", false},
        {"C:\\Program Files\\T.exe", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.inside, IsInsideFolder(c.path, c.folder)) << c.path << " in " << c.folder;
}

} // namespace
