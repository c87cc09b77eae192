// Parsing from memory: the same document as loading the same bytes from a file, the same
// bytes out as Save writes, and lists large enough to grow every table.
#include "storage/ini_document.h"
#include "storage/list_file.h"
#include "storage/file_text.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

namespace {

const std::string kNotFound(1, '\x02');


const char* const kSamples[] = {
    "",
    "[a]\nk=1\r\nlone\rcr=2\n\nlast=3\r",
    "\xEF\xBB\xBF[SET]\r\nmapfile=a.map\r\n[X]\r\nk=v\r\n",
    "# c=1\r\n;dropped\r\n=empty key\r\n[open\r\nk=v=w\r\n[a]\r\n[a]\r\nk=2\r\nk=3",
    "k=before any header\r\n[\xC4\xDA\xD6\xC3]\r\nname=\xC4\xDA\xD6\xC3\xB6\xD4\xCF\xF3\r\n",
};

TEST(IniDocumentText, MemoryAndFileGiveTheSameDocument) {
    ScratchDir dir;
    for (const char* sample : kSamples) {
        SCOPED_TRACE(sample);
        const std::string file = dir.Path("s.ini");
        WriteBytes(file, sample);
        CIniDocument fromFile, fromText;
        ASSERT_EQ(1, fromFile.Load(file));
        ASSERT_EQ(1, fromText.LoadText(file, sample));
        EXPECT_EQ(fromFile.Text(), fromText.Text());
        for (const char* section : {"a", "SET", "X", "\xC4\xDA\xD6\xC3", "open"}) {
            for (const char* key : {"k", "mapfile", "name", "", "lone\rcr", "last"})
                EXPECT_EQ(fromFile.GetValue(section, key), fromText.GetValue(section, key));
        }
        // What Text gives is what Save writes, also after a change.
        fromText.SetValue("a", "k", "changed");
        fromText.Append('o', "added", "1");
        const std::string text = fromText.Text();
        ASSERT_EQ(1, fromText.Save());
        EXPECT_EQ(text, ReadBytes(file));
    }
}

TEST(IniDocumentText, StateCodesAreThoseOfLoad) {
    CIniDocument doc;
    EXPECT_EQ("", doc.Text());
    ASSERT_EQ(1, doc.LoadText("x.ini", "[a]\r\nb=1\r\n"));
    EXPECT_EQ(-2, doc.LoadText("y.ini", "[a]\r\nb=2\r\n"));
    EXPECT_EQ("1", doc.GetValue("a", "b")) << "the held document stays";
    doc.Close();
    EXPECT_EQ(1, doc.LoadText("y.ini", std::string("[a]\r\nb=\0x\r\n", 11)));
    EXPECT_EQ(std::string("\0x", 2), doc.GetValue("a", "b")) << "a zero byte is text";
}

// Tens of thousands of sections grow the header table many times over; a header that
// comes back much later still joins its first section.
TEST(IniDocumentText, ManySectionsAndLateRepeatsOfAHeader) {
    std::string text = "[MAIN]\r\ncount=1\r\n";
    const int sections = 30000;
    for (int n = 1; n <= sections; ++n)
        text += "[run" + std::to_string(n) + "]\r\nname=" + std::to_string(n) + "\r\n";
    text += "[run7]\r\nname=late\r\nextra=7\r\n[MAIN]\r\ncount=2\r\n";
    CIniDocument doc;
    ASSERT_EQ(1, doc.LoadText("big.map", text));
    for (int n = 1; n <= sections; n += 7)
        ASSERT_EQ(std::to_string(n), doc.GetValue("run" + std::to_string(n), "name")) << n;
    EXPECT_EQ("7", doc.GetValue("run7", "extra"));
    EXPECT_EQ("1", doc.GetValue("MAIN", "count"));
    EXPECT_EQ(kNotFound, doc.GetValue("run30001", "name"));
    EXPECT_EQ(text, doc.Text());
}

TEST(ListFileText, ReadsAsTheFileReaderAndWritesAsTheFileWriter) {
    std::list<HotKeyEntry> entries;
    for (int n = 0; n < 50; ++n) {
        HotKeyEntry e;
        e.name = "记 " + std::to_string(n);
        e.path = "C:\\a=b\\p" + std::to_string(n) + ".exe";
        e.icon = e.path;
        e.hotkey = n < 10 ? 1600 + n : 0;
        e.keydes = n < 10 ? "Ctrl + Alt + " + std::to_string(n) : "";
        e.workdir = "C:\\";
        // 81 60 is one character whose trail byte is "`": no marker with the "@`" after it.
        e.info = n % 2 ? "one\r\ntwo " + DecodeFileText("\x81`") + "@`" : "";
        entries.push_back(e);
    }
    ScratchDir dir;
    const std::string file = dir.Path("l.map");
    ASSERT_EQ(1, SaveEntriesToListFile(file, entries));
    const std::string text = ListFileText(entries);
    EXPECT_EQ(ReadBytes(file), text);

    std::vector<HotKeyEntry> fromFile, fromText;
    EXPECT_EQ(ListReadResult::Ok,
              LoadEntriesFromListFile(file, [&](const HotKeyEntry& e) { fromFile.push_back(e); }));
    EXPECT_EQ(ListReadResult::Ok,
              LoadEntriesFromListText(text, [&](const HotKeyEntry& e) { fromText.push_back(e); }));
    ASSERT_EQ(entries.size(), fromText.size());
    EXPECT_EQ(fromFile, fromText);
    EXPECT_EQ(std::vector<HotKeyEntry>(entries.begin(), entries.end()), fromText);
    EXPECT_EQ(ListReadResult::Invalid, LoadEntriesFromListText("[MAIN]\r\ncount=1\r\n", [](const HotKeyEntry&) {}));
}

} // namespace
