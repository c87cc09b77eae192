// What a save keeps besides the content: links, permissions, a file another program holds
// open, folders of any name, and a folder free of the temporaries earlier saves left
// behind, except the one a missing list may still need.
#include "platform/file_replace.h"
#include "storage/ini_document.h"
#include "storage/list_file.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const std::string kOld = "[a]\r\nk=old\r\n";
const std::string kNew = "[a]\r\nk=new\r\n";

class SafeSave : public ::testing::Test {
protected:
    // Loads `path` (kOld unless it exists already), sets k=new and saves; the result.
    int SaveNewValue(const std::string& path) {
        if (!fs::exists(path)) WriteBytes(path, kOld);
        CIniDocument doc;
        EXPECT_EQ(1, doc.Load(path));
        EXPECT_EQ(1, doc.SetValue("a", "k", "new"));
        return doc.Save();
    }

    std::vector<std::string> SortedNames() const {
        std::vector<std::string> names = dir.Names();
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchDir dir;
};

TEST_F(SafeSave, OldLeftoverTemporariesOfThisFileGoAndNothingElse) {
    const std::string file = dir.Path("t.map");
    WriteBytes(file, kOld);
    for (const char* stale : {"t.map.~tw1", "t.map.~tw27", "t.map.~tw999"}) {
        WriteBytes(dir.Path(stale), "half a save");
        MakeOld(dir.Path(stale));
    }
    // Other files' temporaries, names that only look alike (a number the save never
    // writes so), and a folder of that name; all of them old.
    for (const char* other : {"other.map.~tw1", "t.map.~twx", "t.map.~tw1.bak", "t.map.~tw",
                              "t.map.~tw1234", "t.map.bak", "xt.map.~tw1", "t.map.~tw007"}) {
        WriteBytes(dir.Path(other), "keep");
        MakeOld(dir.Path(other));
    }
    fs::create_directory(dir.Path("t.map.~tw5"));
    // Another copy's save under way: its temporary is fresh.
    WriteBytes(dir.Path("t.map.~tw3"), "being written");
    MakeOld(dir.Path("t.map.~tw3"), std::chrono::minutes(2));

    EXPECT_EQ(1, SaveNewValue(file));
    EXPECT_EQ(kNew, ReadBytes(file));
    std::vector<std::string> kept = {"other.map.~tw1", "t.map",          "t.map.~tw",
                                     "t.map.~tw007",   "t.map.~tw1.bak", "t.map.~tw1234",
                                     "t.map.~tw3",     "t.map.~tw5",     "t.map.~twx",
                                     "t.map.bak",      "xt.map.~tw1"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, SortedNames());
}

TEST_F(SafeSave, AFailedSaveLeavesLeftoversAndTheOldFileAlone) {
    const std::string file = dir.Path("t.map");
    WriteBytes(file, kOld);
    WriteBytes(dir.Path("t.map.~tw1"), "half a save");
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(-1, SaveNewValue(file));
    EXPECT_EQ(kOld, ReadBytes(file));
    EXPECT_EQ((std::vector<std::string>{"t.map", "t.map.~tw1"}), SortedNames());
}

// On Windows the C library opens files without letting them be deleted or replaced, as
// many editors and sync tools do: the save then writes the file in place.
TEST_F(SafeSave, AFileAnotherReaderHoldsOpenIsStillSaved) {
    const std::string file = dir.Path("held.map");
    WriteBytes(file, kOld);
    std::FILE* reader = std::fopen(file.c_str(), "rb");
    ASSERT_NE(nullptr, reader);
    const int result = SaveNewValue(file);
    std::fclose(reader);
    EXPECT_EQ(1, result);
    EXPECT_EQ(kNew, ReadBytes(file));
    EXPECT_EQ(std::vector<std::string>{"held.map"}, SortedNames());
}

TEST_F(SafeSave, OverwritingInPlaceTakesTheNewLengthAndKeepsTheSource) {
    const std::string target = dir.Path("t.map");
    const std::string source = dir.Path("t.map.~tw1");
    const std::string longer(200 * 1024, 'x'); // more than one copy buffer
    WriteBytes(target, "short");
    WriteBytes(source, longer);
    EXPECT_EQ(Overwrite::Done, OverwriteFileWith(source, target));
    EXPECT_EQ(longer, ReadBytes(target));
    EXPECT_EQ(longer, ReadBytes(source));

    WriteBytes(source, "tiny");
    EXPECT_EQ(Overwrite::Done, OverwriteFileWith(source, target));
    EXPECT_EQ("tiny", ReadBytes(target));

    EXPECT_EQ(Overwrite::Untouched, OverwriteFileWith(dir.Path("missing"), target));
    EXPECT_EQ("tiny", ReadBytes(target));
    EXPECT_EQ(Overwrite::Untouched, OverwriteFileWith(source, dir.Path("absent.map")));
    EXPECT_FALSE(fs::exists(dir.Path("absent.map"))) << "an overwrite never creates";
}

// Through std::filesystem's UTF-8 paths the folders' names survive any code page.
TEST_F(SafeSave, AFolderOfAnyNameSavesAndClearsUpLikeAnyOther) {
    for (const char* name : {u8"łódź", u8"김민준"}) {
        const std::string file = dir.Path(".") + "/" + name + "/t.map";
        ASSERT_TRUE(fs::create_directory(fs::u8path(file).parent_path()));
        std::ofstream(fs::u8path(file), std::ios::binary) << kOld;
        std::ofstream(fs::u8path(file + ".~tw2")) << "half a save";
        fs::last_write_time(fs::u8path(file + ".~tw2"),
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
        CIniDocument doc;
        ASSERT_EQ(1, doc.Load(file));
        EXPECT_EQ(1, doc.SetValue("a", "k", name));
        EXPECT_EQ(1, doc.Save());
        CIniDocument read;
        ASSERT_EQ(1, read.Load(file));
        EXPECT_EQ(name, read.GetValue("a", "k"));
        EXPECT_TRUE(SaveLeftovers(file).empty());
    }
}

// Every name of a file with hard links sees the new content: the save writes it in place,
// keeping the old content meanwhile under a name that no other save holds.
TEST_F(SafeSave, AFileWithFurtherNamesIsWrittenInPlace) {
    const std::string file = dir.Path("t.map");
    WriteBytes(file, kOld);
    fs::create_hard_link(file, dir.Path("other.map"));
    WriteBytes(dir.Path("t.map.~tw1"), "another copy's save"); // fresh: still being written
    EXPECT_EQ(1, SaveNewValue(file));
    EXPECT_EQ(kNew, ReadBytes(dir.Path("other.map")));
    EXPECT_EQ(kNew, ReadBytes(file));
    EXPECT_EQ("another copy's save", ReadBytes(dir.Path("t.map.~tw1")));
    EXPECT_EQ((std::vector<std::string>{"other.map", "t.map", "t.map.~tw1"}), SortedNames());
}

// A list that only a leftover holds (a save of an earlier version failed halfway) comes
// back before anything reads or saves it: the newest leftover that reads as a whole list.
// Until the list is there again, no cleanup takes the newest of them.
TEST_F(SafeSave, AMissingListComesBackFromTheNewestWholeLeftover) {
    const std::string file = dir.Path("t.map");
    const std::string whole = "[MAIN]\r\ncount=1\r\n[run1]\r\nname=";
    const std::string half = "[MAIN]\r\ncount=2\r\n[run1]\r\nname=cut\r\n";
    struct Leftover {
        const char* tail;
        std::string bytes;
        int minutes;
    };
    for (const Leftover& l :
         {Leftover{".~tw1", whole + "older\r\n", 30}, Leftover{".~tw2", whole + "newer\r\n", 20},
          Leftover{".~tw3", half, 10}, Leftover{".~tw4", "", 40}}) {
        WriteBytes(file + l.tail, l.bytes);
        MakeOld(file + l.tail, std::chrono::minutes(l.minutes));
    }
    EXPECT_TRUE(RestoreMissingListFile(file));
    EXPECT_EQ(whole + "newer\r\n", ReadBytes(file));
    EXPECT_FALSE(RestoreMissingListFile(file)) << "a list that is there stays as it is";
    EXPECT_EQ(whole + "newer\r\n", ReadBytes(file));

    // None whole: nothing comes back, and the list the next change writes keeps the newest.
    fs::remove(file);
    fs::remove(file + ".~tw1");
    EXPECT_FALSE(RestoreMissingListFile(file));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(1, SaveEntriesToListFile(file, {}));
    EXPECT_EQ((std::vector<std::string>{"t.map", "t.map.~tw3"}), SortedNames());
    EXPECT_EQ(1, SaveEntriesToListFile(file, {}));
    EXPECT_EQ(std::vector<std::string>{"t.map"}, SortedNames()) << "the list is back: all go";
}

// A write in place cut short can leave the old file's last lines behind the new last
// section, their own header overwritten: they give that entry no arguments, elevation,
// Win combination or switch it did not have.
TEST(TornListFile, LinesLeftBehindTheLastSectionAreInert) {
    const std::string text = "[MAIN]\r\ncount=1\r\n[run1]\r\nname=n\r\npath=C:\\n.exe\r\n"
                             "hotkey=1614\r\ninfo=\r\n"
                             "as=--old\r\nargs=--old\r\nrunas=1\r\nfullhotkey=67150\r\n"
                             "disabled=1\r\n";
    std::vector<HotKeyEntry> read;
    ASSERT_EQ(ListReadResult::Ok, LoadEntriesFromListText(text, [&](const HotKeyEntry& e) {
                  read.push_back(e);
              }));
    ASSERT_EQ(1u, read.size());
    EXPECT_EQ("C:\\n.exe", read[0].path);
    EXPECT_EQ("", read[0].args);
    EXPECT_FALSE(read[0].runas);
    EXPECT_EQ(1614, read[0].hotkey);
    EXPECT_TRUE(read[0].enabled);
}

#ifndef _WIN32
TEST_F(SafeSave, ThroughALinkTheLinkedFileIsRewrittenAndTheLinkStays) {
    fs::create_directory(dir.Path("synced"));
    const std::string real = dir.Path("synced/list.map");
    WriteBytes(real, kOld);
    // A relative link, reached through a second one.
    ASSERT_EQ(0, symlink("synced/list.map", dir.Path("link.map").c_str()));
    ASSERT_EQ(0, symlink(dir.Path("link.map").c_str(), dir.Path("chain.map").c_str()));

    EXPECT_EQ(1, SaveNewValue(dir.Path("chain.map")));
    EXPECT_EQ(kNew, ReadBytes(real));
    EXPECT_TRUE(fs::is_symlink(dir.Path("link.map")));
    EXPECT_TRUE(fs::is_symlink(dir.Path("chain.map")));
    EXPECT_EQ(std::vector<std::string>{"list.map"}, [&] {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(dir.Path("synced")))
            names.push_back(item.path().filename().string());
        return names;
    }()) << "the temporary lies beside the linked file and is gone";
    EXPECT_EQ(real, ResolveLinks(dir.Path("chain.map")));
    EXPECT_EQ(dir.Path("plain"), ResolveLinks(dir.Path("plain")));
}

TEST_F(SafeSave, PermissionsAndTheFileItselfAreKept) {
    const std::string file = dir.Path("t.map");
    WriteBytes(file, kOld);
    ASSERT_EQ(0, chmod(file.c_str(), 0640));
    EXPECT_EQ(1, SaveNewValue(file));
    struct stat st;
    ASSERT_EQ(0, stat(file.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777u);

    // An overwrite in place changes the file others hold, not a new one beside it.
    ASSERT_EQ(0, link(file.c_str(), dir.Path("hard").c_str()));
    WriteBytes(dir.Path("source"), "in place");
    EXPECT_EQ(Overwrite::Done, OverwriteFileWith(dir.Path("source"), file));
    EXPECT_EQ("in place", ReadBytes(dir.Path("hard")));
}
#endif

} // namespace
