#include "storage/ini_document.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

void MakeReadOnly(const std::string& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

const std::string kNotFound(1, '\x02');
const std::string kNoDocument(1, '\x01');

class IniDocumentTest : public ::testing::Test {
protected:
    // Writes bytes to a file of the scratch folder and loads it into doc.
    void LoadBytes(const std::string& bytes) {
        file = dir.Path("t.ini");
        WriteBytes(file, bytes);
        ASSERT_EQ(1, doc.Load(file));
    }
    // Saves doc and returns what landed on the disk.
    std::string Saved() {
        EXPECT_EQ(1, doc.Save());
        return ReadBytes(file);
    }

    ScratchDir dir;
    std::string file;
    CIniDocument doc;
};

TEST_F(IniDocumentTest, LinesAreSortedByTheirFirstByteOnly) {
    LoadBytes("k0=before\r\n"
              "[S]\r\n"
              "#c=1\r\n"
              "; no equals sign\r\n"
              "plain\r\n"
              "\r\n"
              "=empty key\r\n"
              "path=C:\\a=b\\c\r\n"
              "count =3\r\n"
              " lead= v \r\n"
              "[T=no bracket\r\n"
              "x=in T\r\n");
    EXPECT_EQ(kNotFound, doc.GetValue("S", "k0")) << "keys before the first header";
    EXPECT_EQ(kNotFound, doc.GetValue("S", "#c")) << "a comment is no key";
    EXPECT_EQ("empty key", doc.GetValue("S", ""));
    EXPECT_EQ("C:\\a=b\\c", doc.GetValue("S", "path"));
    EXPECT_EQ(kNotFound, doc.GetValue("S", "count"));
    EXPECT_EQ("3", doc.GetValue("S", "count "));
    EXPECT_EQ(" v ", doc.GetValue("S", " lead"));
    EXPECT_EQ(kNotFound, doc.GetValue("S", "x"))
        << "a line starting with [ opens a new section, even without the closing bracket";
    // Blank lines and lines without "=" that are neither comment nor header are gone.
    EXPECT_EQ("k0=before\r\n[S]\r\n#c=1\r\n=empty key\r\npath=C:\\a=b\\c\r\ncount =3\r\n"
              " lead= v \r\n[T=no bracket\r\nx=in T\r\n",
              Saved());
}

TEST_F(IniDocumentTest, HeaderIsComparedWholeWithItsBrackets) {
    LoadBytes("[MAIN] \r\na=1\r\n[main]\r\nb=2\r\n[ MAIN]\r\nc=3\r\n[MAIN]#x\r\nd=4\r\n");
    for (const char* key : {"a", "b", "c", "d"})
        EXPECT_EQ(kNotFound, doc.GetValue("MAIN", key)) << key;
    EXPECT_EQ("2", doc.GetValue("main", "b"));
}

TEST_F(IniDocumentTest, FirstMatchWinsAndSameHeadersAreOneSection) {
    LoadBytes("[A]\r\nk=1\r\nk=2\r\n[B]\r\nk=b\r\n[A]\r\nk=3\r\nm=4\r\n");
    EXPECT_EQ("1", doc.GetValue("A", "k"));
    EXPECT_EQ("4", doc.GetValue("A", "m"));
    EXPECT_EQ("b", doc.GetValue("B", "k"));
    EXPECT_EQ(kNotFound, doc.GetValue("B", "m"));

    EXPECT_EQ(1, doc.SetValue("A", "k", "x"));
    EXPECT_EQ(1, doc.SetValue("A", "m", "y"));
    EXPECT_EQ("x", doc.GetValue("A", "k"));
    EXPECT_EQ(-2, doc.SetValue("A", "new", "v")) << "never adds a key";
    EXPECT_EQ(-2, doc.SetValue("C", "k", "v")) << "never adds a section";
    EXPECT_EQ("[A]\r\nk=x\r\nk=2\r\n[B]\r\nk=b\r\n[A]\r\nk=3\r\nm=y\r\n", Saved());
}

TEST_F(IniDocumentTest, LongSectionsFollowTheSameRules) {
    // Enough keys that the section is no longer walked line by line, split over two
    // sections with one header, with a repeated key on either side of the split.
    std::string bytes = "[L]\r\n";
    for (int i = 0; i < 30; ++i)
        bytes += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    bytes += "k3=late\r\n[M]\r\nk40=m\r\n[L]\r\nk7=later\r\nk40=40\r\n";
    LoadBytes(bytes);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(std::to_string(i), doc.GetValue("L", "k" + std::to_string(i)));
    EXPECT_EQ("40", doc.GetValue("L", "k40"));
    EXPECT_EQ("m", doc.GetValue("M", "k40"));
    EXPECT_EQ(kNotFound, doc.GetValue("L", "k30"));
    EXPECT_EQ(1, doc.Append('o', "k30", "appended")) << "lands in the last section, [L]";
    EXPECT_EQ("appended", doc.GetValue("L", "k30"));
    EXPECT_EQ(1, doc.SetValue("L", "k3", "set"));
    EXPECT_EQ(bytes.replace(bytes.find("k3=3"), 4, "k3=set") + "k30=appended\r\n", Saved());
}

TEST_F(IniDocumentTest, LfAndCrLfLoadAlikeAndSaveWritesCrLf) {
    LoadBytes("[a]\nk=1\r\nlone\rcr=2\n\nlast=3\r");
    EXPECT_EQ("1", doc.GetValue("a", "k"));
    EXPECT_EQ("2", doc.GetValue("a", "lone\rcr")) << "a CR not before LF is text";
    EXPECT_EQ("3\r", doc.GetValue("a", "last"));
    EXPECT_EQ("[a]\r\nk=1\r\nlone\rcr=2\r\nlast=3\r\r\n", Saved());

    CIniDocument again;
    ASSERT_EQ(1, again.Load(file));
    EXPECT_EQ("3\r", again.GetValue("a", "last")) << "unterminated last line, read back";
}

TEST_F(IniDocumentTest, ByteOrderMarkHidesTheFirstHeader) {
    LoadBytes("\xEF\xBB\xBF[SET]\r\nmapfile=a.map\r\n[X]\r\nk=v\r\n");
    EXPECT_EQ(kNotFound, doc.GetValue("SET", "mapfile"));
    EXPECT_EQ("v", doc.GetValue("X", "k"));
    EXPECT_EQ("mapfile=a.map\r\n[X]\r\nk=v\r\n", Saved());
}

TEST_F(IniDocumentTest, EmptyFileIsAnEmptyDocument) {
    LoadBytes("");
    EXPECT_EQ(kNotFound, doc.GetValue("", ""));
    EXPECT_EQ("", Saved());
}

TEST_F(IniDocumentTest, StateCodes) {
    std::string missing = dir.Path("missing.ini");
    EXPECT_EQ(-1, doc.Load(missing));
    EXPECT_EQ(kNoDocument, doc.GetValue("a", "b"));
    EXPECT_EQ(-1, doc.SetValue("a", "b", "c"));
    EXPECT_EQ(-1, doc.Append('o', "b", "c"));
    EXPECT_EQ(-2, doc.Save());
    EXPECT_FALSE(fs::exists(missing));

    LoadBytes("[a]\r\nb=1\r\n");
    WriteBytes(dir.Path("other.ini"), "[a]\r\nb=2\r\n");
    EXPECT_EQ(-2, doc.Load(dir.Path("other.ini")));
    EXPECT_EQ(-1, doc.Create(dir.Path("new.ini")));
    EXPECT_EQ("1", doc.GetValue("a", "b")) << "the held document stays";

    EXPECT_EQ(1, doc.Close());
    EXPECT_EQ(kNoDocument, doc.GetValue("a", "b"));
    EXPECT_EQ(-2, doc.Save());
    EXPECT_EQ(1, doc.Close());
    EXPECT_EQ(1, doc.Load(dir.Path("other.ini")));
    EXPECT_EQ("2", doc.GetValue("a", "b"));
}

TEST_F(IniDocumentTest, FolderCannotBeLoaded) {
    EXPECT_EQ(-1, doc.Load(dir.Path("")));
    EXPECT_EQ(kNoDocument, doc.GetValue("a", "b"));
}

TEST_F(IniDocumentTest, CreateAppendSaveBuildsAFileInOrder) {
    file = dir.Path("new.map");
    ASSERT_EQ(1, doc.Create(file));
    EXPECT_FALSE(fs::exists(file)) << "nothing is written before Save";
    EXPECT_EQ(1, doc.Append('o', "early", "1"));
    EXPECT_EQ(1, doc.Append('d', "[MAIN]", ""));
    EXPECT_EQ(1, doc.Append('o', "count", "0"));
    EXPECT_EQ(1, doc.Append('n', "", "# note"));
    EXPECT_EQ("0", doc.GetValue("MAIN", "count"));
    EXPECT_EQ(kNotFound, doc.GetValue("MAIN", "early"));
    EXPECT_EQ("early=1\r\n[MAIN]\r\ncount=0\r\n# note\r\n", Saved());
    EXPECT_EQ(std::vector<std::string>{"new.map"}, dir.Names()) << "no temporary file left";
}

TEST_F(IniDocumentTest, LinesOfSeveralMegabytes) {
    std::string big(5 * 1024 * 1024, 'x');
    big[12345] = '=';
    // A CR at the end of one read block and its LF at the start of the next.
    std::string crossing = "k=" + std::string(64 * 1024 - 5 - 2 - 1, 'y');
    std::string bytes = "[a]\r\n" + crossing + "\r\n" + "v=" + big + "\r\n";
    LoadBytes(bytes);
    EXPECT_EQ(crossing.substr(2), doc.GetValue("a", "k"));
    EXPECT_EQ(big, doc.GetValue("a", "v"));
    EXPECT_EQ(bytes, Saved());
}

TEST_F(IniDocumentTest, LoadThenSaveKeepsEveryKeptLineByteForByte) {
    const std::string bytes =
        "# settings\r\n[SET]\r\nshowtray=yes\r\nmapfile=C:\\My Maps\\a=b.map\r\n"
        "[\xC4\xDA\xD6\xC3]\r\nname=\xC4\xDA\xD6\xC3\xB6\xD4\xCF\xF3\r\n";
    LoadBytes(bytes);
    EXPECT_EQ(bytes, Saved());
    EXPECT_EQ("内置对象", doc.GetValue("内置", "name")) << "GBK in the file, UTF-8 inside";
    // A shorter document replaces a longer file completely.
    doc.Close();
    ASSERT_EQ(1, doc.Create(file));
    doc.Append('d', "[x]", "");
    EXPECT_EQ("[x]\r\n", Saved());
}

// The most a document reads or writes; a 32-bit process holds that comfortably.
const size_t kMaxFile = size_t(64) << 20;

TEST_F(IniDocumentTest, AFileAtTheSizeLimitRoundTripsAndNoLargerOneIsWrittenOrRead) {
    file = dir.Path("big.ini");
    ASSERT_EQ(1, doc.Create(file));
    ASSERT_EQ(1, doc.Append('n', "", std::string(kMaxFile - 2, '#'))); // CR LF: the limit
    ASSERT_EQ(1, doc.Save());
    CIniDocument again;
    EXPECT_EQ(1, again.Load(file));
    again.Close();
    // A document that could not take a line writes nothing at all.
    EXPECT_EQ(-1, doc.Append('n', "", "#"));
    EXPECT_EQ(-1, doc.Save());
    EXPECT_EQ(kMaxFile, fs::file_size(file));
    // Larger files are refused from their size; blank lines cost nothing, however many.
    fs::resize_file(file, 300 * 1024 * 1024);
    EXPECT_EQ(-1, again.Load(file));
    WriteBytes(file, std::string(kMaxFile, '\n'));
    EXPECT_EQ(1, again.Load(file));
}

class IniDocumentSaveFailure : public IniDocumentTest {
protected:
    void SetUp() override {
        LoadBytes(kOld);
        ASSERT_EQ(1, doc.SetValue("a", "k", "new"));
    }
    const std::string kOld = "[a]\r\nk=old\r\n";
};

TEST_F(IniDocumentSaveFailure, ReadOnlyTargetStaysAsItWas) {
    MakeReadOnly(file);
    EXPECT_EQ(-1, doc.Save());
    EXPECT_EQ(kOld, ReadBytes(file));
    EXPECT_EQ(std::vector<std::string>{"t.ini"}, dir.Names());
    EXPECT_EQ("new", doc.GetValue("a", "k")) << "the document stays in memory";
}

TEST_F(IniDocumentSaveFailure, MissingFolderOrEmptyPathIsRefused) {
    CIniDocument other;
    ASSERT_EQ(1, other.Create(dir.Path("no such folder/t.ini")));
    other.Append('d', "[a]", "");
    EXPECT_EQ(-1, other.Save());
    other.Close();
    ASSERT_EQ(1, other.Create(""));
    EXPECT_EQ(-1, other.Save());
    EXPECT_EQ(std::vector<std::string>{"t.ini"}, dir.Names());
}

TEST_F(IniDocumentSaveFailure, FolderAsTargetIsRefused) {
    fs::create_directory(dir.Path("sub"));
    WriteBytes(dir.Path("sub/inside"), "keep");
    CIniDocument other;
    ASSERT_EQ(1, other.Create(dir.Path("sub")));
    other.Append('d', "[a]", "");
    EXPECT_EQ(-1, other.Save());
    EXPECT_TRUE(fs::is_directory(dir.Path("sub")));
    EXPECT_EQ("keep", ReadBytes(dir.Path("sub/inside")));
    EXPECT_EQ(2u, dir.Names().size()) << "no temporary file left";
}

TEST_F(IniDocumentSaveFailure, TakenTemporaryNamesAreSteppedOver) {
    WriteBytes(file + ".~tw1", "left by a crash");
    MakeOld(file + ".~tw1");
    EXPECT_EQ(1, doc.Save());
    EXPECT_EQ("[a]\r\nk=new\r\n", ReadBytes(file));
    // Named as this file's temporary, it is one an earlier save left: a good save ends it.
    EXPECT_EQ(1u, dir.Names().size());
}

#ifndef _WIN32
// A full disk shows as a short write; the file-size limit produces one on demand.
TEST_F(IniDocumentSaveFailure, ShortWriteKeepsTheOldFile) {
    doc.SetValue("a", "k", std::string(256 * 1024, 'z'));
    struct rlimit old;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old));
    struct rlimit small = old;
    small.rlim_cur = 100 * 1024;
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    int result = doc.Save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(-1, result);
    EXPECT_EQ(kOld, ReadBytes(file));
    EXPECT_EQ(std::vector<std::string>{"t.ini"}, dir.Names());
}
#endif

} // namespace
