#include "storage/list_file.h"

#include "engine/hotkey_code.h"
#include "storage/file_text.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <new>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Lead bytes of GBK, as the system answers them on a Simplified Chinese Windows.

HotKeyEntry Notepad() {
    HotKeyEntry e;
    e.name = "Notepad";
    e.path = "C:\\WINDOWS\\system32\\notepad.exe";
    e.hotkey = 1614;
    e.iconint = 0;
    e.icon = "C:\\WINDOWS\\system32\\notepad.exe";
    e.keydes = "Ctrl + Alt + N";
    e.workdir = "C:\\WINDOWS\\system32";
    e.info = "";
    return e;
}

HotKeyEntry ShutDown() {
    HotKeyEntry e;
    e.name = "Shut down";
    e.path = "$ZELO.TW.ACT~shutdown$";
    e.hotkey = 1619;
    e.iconint = 27;
    e.icon = "C:\\WINDOWS\\system32\\shell32.dll";
    e.keydes = "Ctrl + Alt + S";
    e.workdir = "_";
    e.info = "内置对象";
    e.builtin = true;
    return e;
}

class ListFileTest : public ::testing::Test {
protected:
    ListReadResult Read(const std::string& path) {
        read.clear();
        return LoadEntriesFromListFile(path, [this](const HotKeyEntry& e) { read.push_back(e); });
    }
    // Writes, reads back, and expects the same entries and a complete read.
    void ExpectRoundTrip(const std::list<HotKeyEntry>& entries) {
        ASSERT_EQ(1, SaveEntriesToListFile(file, entries));
        ASSERT_EQ(ListReadResult::Ok, Read(file));
        EXPECT_EQ(std::vector<HotKeyEntry>(entries.begin(), entries.end()), read);
    }

    ScratchDir dir;
    std::string file = dir.Path("hotkey01.map");
    std::vector<HotKeyEntry> read;
};

TEST_F(ListFileTest, WritesTheFileLineForLine) {
    HotKeyEntry notepad = Notepad();
    notepad.info = "first line\r\nsecond line";
    ASSERT_EQ(1, SaveEntriesToListFile(file, {notepad, ShutDown()}));
    EXPECT_EQ("[MAIN]\r\ncount=2\r\n"
              "[run1]\r\nname=Notepad\r\npath=C:\\WINDOWS\\system32\\notepad.exe\r\n"
              "hotkey=1614\r\niconint=0\r\nicon=C:\\WINDOWS\\system32\\notepad.exe\r\n"
              "keydes=Ctrl + Alt + N\r\nworkdir=C:\\WINDOWS\\system32\r\n"
              "info=first line`@`second line\r\n"
              "[run2]\r\nname=Shut down\r\npath=$ZELO.TW.ACT~shutdown$\r\nhotkey=1619\r\n"
              "iconint=27\r\nicon=C:\\WINDOWS\\system32\\shell32.dll\r\n"
              "keydes=Ctrl + Alt + S\r\nworkdir=_\r\ninfo=\xC4\xDA\xD6\xC3\xB6\xD4\xCF\xF3\r\n",
              ReadBytes(file));
}

TEST_F(ListFileTest, WhatIsWrittenReadsBackTheSame) {
    HotKeyEntry odd = Notepad();
    odd.name = " spaced = name ";
    odd.path = "C:\\My Tools\\a=b\\run me.exe";
    odd.info = "two\r\nline breaks\r\n";
    odd.hotkey = -1;
    odd.iconint = 2147483647;
    ExpectRoundTrip({Notepad(), ShutDown(), odd});
    EXPECT_FALSE(read[0].builtin);
    EXPECT_TRUE(read[1].builtin);
}

// A program that knows only the eight keys registers "hotkey" cut to 16 bits: for a Win
// combination or a binding switched off it must find 0 there, and only the new key may
// bring the Win bit back.
TEST_F(ListFileTest, NewValuesAreKeptWhereOlderReadersLeaveThemAlone) {
    HotKeyEntry win = Notepad();
    win.hotkey = 1614 | kHotKeyWin;
    win.keydes = "Win + Ctrl + Alt + N";
    HotKeyEntry off = Notepad();
    off.enabled = false;
    ExpectRoundTrip({win, off, Notepad()});
    EXPECT_FALSE(read[1].enabled);
    const std::string text = ReadBytes(file);
    const std::string run = "name=Notepad\r\npath=C:\\WINDOWS\\system32\\notepad.exe\r\nhotkey=";
    EXPECT_NE(std::string::npos, text.find("[run1]\r\n" + run + "0\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("info=\r\nfullhotkey=67150\r\n[run2]\r\n" + run + "0\r\n"));
    EXPECT_NE(std::string::npos, text.find("info=\r\nfullhotkey=1614\r\ndisabled=1\r\n[run3]"));

    WriteBytes(file, "[MAIN]\r\ncount=1\r\n[run1]\r\nname=n\r\nhotkey=67150\r\n");
    ASSERT_EQ(ListReadResult::Ok, Read(file));
    EXPECT_EQ(1614, read[0].hotkey) << "a Win bit in \"hotkey\" is what an older program sees";
}

// Arguments and elevation follow the eight keys, and the path they belong to is kept out of
// reach of a reader that knows only those: it would start it without them.
TEST_F(ListFileTest, LaunchExtrasFollowTheEightKeysAndGuardThePath) {
    HotKeyEntry tool = Notepad();
    tool.path = "%ProgramFiles%\\Tool\\tool.exe";
    tool.args = "--profile \"work day\"";
    tool.runas = true;
    const std::string text = ListFileText({tool});
    EXPECT_NE(std::string::npos,
              text.find("path=|%ProgramFiles%\\Tool\\tool.exe\r\nhotkey=1614\r\n"));
    EXPECT_EQ("info=\r\nargs=--profile \"work day\"\r\nrunas=1\r\n",
              text.substr(text.find("info=")));
    ExpectRoundTrip({tool, Notepad()});
    tool.runas = false; // each extra alone guards the path
    ExpectRoundTrip({tool});

    // An older program that rewrote the file dropped the extras: the path stays inert.
    const std::string rewritten = text.substr(0, text.find("args="));
    read.clear();
    ASSERT_EQ(ListReadResult::Ok,
              LoadEntriesFromListText(rewritten, [this](const HotKeyEntry& e) { read.push_back(e); }));
    ASSERT_EQ(1u, read.size());
    EXPECT_EQ("|%ProgramFiles%\\Tool\\tool.exe", read[0].path);
    EXPECT_FALSE(read[0].runas);
}

// The window and already-running choices follow every other key, only when they are not
// the defaults, and leave the path unguarded: any program starts the binding as it did
// before the choice was made, another copy in a normal window.
TEST_F(ListFileTest, LaunchChoicesAreWrittenLastAndOnlyWhenNotTheDefault) {
    const struct {
        tw::WindowShow show;
        const char* tail;
    } cases[] = {
        {tw::WindowShow::Normal, "info=\r\n"},
        {tw::WindowShow::Minimized, "info=\r\nwindow=minimized\r\n"},
        {tw::WindowShow::Maximized, "info=\r\nwindow=maximized\r\nifrunning=ignore\r\n"},
        {tw::WindowShow::Hidden,
         "info=\r\nfullhotkey=1614\r\ndisabled=1\r\nwindow=hidden\r\nifrunning=front\r\n"},
    };
    for (const auto& c : cases) {
        HotKeyEntry e = Notepad();
        e.show = c.show;
        if (c.show == tw::WindowShow::Maximized) e.ifRunning = IfRunning::LeaveAlone;
        if (c.show == tw::WindowShow::Hidden) e.ifRunning = IfRunning::BringBack;
        e.enabled = c.show != tw::WindowShow::Hidden;
        const std::string text = ListFileText({e});
        EXPECT_EQ(c.tail, text.substr(text.find("info="))) << static_cast<int>(c.show);
        EXPECT_NE(std::string::npos, text.find("path=C:\\WINDOWS\\system32\\notepad.exe\r\n"));
        ExpectRoundTrip({e, Notepad()});
    }
    const std::string text = ListFileText({Notepad()}) + "window=fullscreen\r\n";
    read.clear();
    ASSERT_EQ(ListReadResult::Ok,
              LoadEntriesFromListText(text, [this](const HotKeyEntry& e) { read.push_back(e); }));
    EXPECT_EQ(tw::WindowShow::Normal, read.at(0).show) << "a word this program does not know";
}

// A reader that knows only GBK would read another name where a character GBK lacks
// stands: such a path or working directory guards the path, a GBK name does not.
TEST_F(ListFileTest, NamesBeyondGbkGuardThePath) {
    const struct {
        const char* path;
        const char* workdir;
        bool guarded;
    } cases[] = {
        {"C:\\工具\\a.exe", "C:\\工具", false},
        {"C:\\김민준\\a.exe", "", true},
        {"D:\\\xc5\x82\xc3\xb3" "d\xc5\xba\\a.exe", "", true}, // łódź
        {"C:\\a.exe", "C:\\\xf0\x9f\x98\x80", true},           // an emoji
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        HotKeyEntry e = Notepad();
        e.path = c.path;
        e.workdir = c.workdir;
        const std::string stored = std::string(c.guarded ? "path=|" : "path=") + c.path + "\r\n";
        EXPECT_NE(std::string::npos, DecodeFileText(ListFileText({e})).find(stored));
        ExpectRoundTrip({e});
    }
}

TEST_F(ListFileTest, EmptyListIsTwoLines) {
    ExpectRoundTrip({});
    EXPECT_EQ("[MAIN]\r\ncount=0\r\n", ReadBytes(file));
}

TEST_F(ListFileTest, BuiltInComesFromTheNoteAlone) {
    HotKeyEntry program = Notepad();
    program.info = "内置对象";
    HotKeyEntry almost = ShutDown();
    almost.info = "内置对象 ";
    ASSERT_EQ(1, SaveEntriesToListFile(file, {program, almost}));
    ASSERT_EQ(ListReadResult::Ok, Read(file));
    EXPECT_TRUE(read[0].builtin);
    EXPECT_FALSE(read[1].builtin);
}

TEST_F(ListFileTest, DoubleByteNoteWhoseTrailBytesLookLikeTheMarker) {
    // C4 60 is one character whose trail byte is "`"; "@`" after it is text, and only
    // the marker written for the line break turns back into one.
    HotKeyEntry e = Notepad();
    const std::string c460 = DecodeFileText("\xC4\x60"), c8140 = DecodeFileText("\x81\x40");
    e.info = c460 + "@`\r\n" + c8140 + "`@" + c460;
    ExpectRoundTrip({e});
    EXPECT_NE(std::string::npos,
              ReadBytes(file).find("info=\xC4\x60@``@`\x81\x40`@\xC4\x60\r\n"));
}

TEST_F(ListFileTest, MarkerConversionBothWays) {
    EXPECT_EQ("a`@`b`@``@`", NoteToFile("a\r\nb\r\n\r\n"));
    EXPECT_EQ("lone\rcr`@`lone lf", NoteToFile("lone\rcr\nlone lf"));
    EXPECT_EQ("a\r\nb\r\n\r\n", NoteFromFile("a`@`b`@``@`"));
    EXPECT_EQ("``@", NoteFromFile("``@"));
    EXPECT_EQ("\xC4", NoteFromFile("\xC4")) << "a lead byte at the very end";
    EXPECT_EQ("\xC4\r\n", NoteFromFile("\xC4`@`")) << "no pairs in the text inside";
}

TEST_F(ListFileTest, CountDecidesHowManySectionsAreRead) {
    ASSERT_EQ(1, SaveEntriesToListFile(file, {Notepad(), ShutDown(), Notepad()}));
    std::string bytes = ReadBytes(file);
    bytes.replace(bytes.find("count=3"), 7, "count=2");
    WriteBytes(file, bytes);
    EXPECT_EQ(ListReadResult::Ok, Read(file));
    EXPECT_EQ(2u, read.size());

    bytes.replace(bytes.find("count=2"), 7, "count=4");
    WriteBytes(file, bytes);
    EXPECT_EQ(ListReadResult::Invalid, Read(file));
    EXPECT_EQ(3u, read.size()) << "entries before the missing section are delivered";
}

TEST_F(ListFileTest, SectionsInAnyOrder) {
    WriteBytes(file, "[run2]\r\nname=second\r\n[MAIN]\r\ncount= +2\r\n[run1]\r\nname=first\r\n");
    ASSERT_EQ(ListReadResult::Ok, Read(file));
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ("first", read[0].name);
    EXPECT_EQ("second", read[1].name);
}

TEST_F(ListFileTest, MissingKeysAndOddNumbers) {
    WriteBytes(file, "[MAIN]\ncount=2x\n[run1]\nname=\nhotkey=12abc\niconint=-3\n"
                     "[run2]\niconint=1\n");
    EXPECT_EQ(ListReadResult::Invalid, Read(file)) << "run2 has no name";
    ASSERT_EQ(1u, read.size());
    const HotKeyEntry& e = read[0];
    EXPECT_EQ("", e.name);
    EXPECT_EQ(12, e.hotkey);
    EXPECT_EQ(-3, e.iconint);
    EXPECT_TRUE(e.path.empty() && e.icon.empty() && e.workdir.empty() && e.info.empty() &&
                e.keydes.empty())
        << "missing texts read as empty, not as the lookup's marker";
}

TEST_F(ListFileTest, NoCountOrNoFile) {
    WriteBytes(file, "[run1]\r\nname=x\r\n");
    EXPECT_EQ(ListReadResult::Ok, Read(file));
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(ListReadResult::CannotOpen, Read(dir.Path("missing.map")));
    EXPECT_TRUE(read.empty());
}

TEST_F(ListFileTest, MemoryRunningShortStopsTheReadWithTheEntriesSoFar) {
    ASSERT_EQ(1, SaveEntriesToListFile(file, {Notepad(), ShutDown(), Notepad()}));
    const ListReadResult result =
        LoadEntriesFromListFile(file, [&](const HotKeyEntry& e) {
            if (read.size() == 2) throw std::bad_alloc();
            read.push_back(e);
        });
    EXPECT_EQ(ListReadResult::Invalid, result);
    EXPECT_EQ((std::vector<HotKeyEntry>{Notepad(), ShutDown()}), read);
}

TEST_F(ListFileTest, FailedWriteKeepsTheOldFile) {
    ASSERT_EQ(1, SaveEntriesToListFile(file, {Notepad()}));
    const std::string before = ReadBytes(file);
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(-1, SaveEntriesToListFile(file, {}));
    EXPECT_EQ(before, ReadBytes(file));
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(-1, SaveEntriesToListFile(dir.Path("no folder/x.map"), {}));
    EXPECT_EQ(-1, SaveEntriesToListFile("", {}));
}

} // namespace
