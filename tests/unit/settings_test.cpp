#include "storage/settings.h"

#include "storage/ini_document.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string file = dir.Path("tarnwick.ini");
    Settings settings;
};

TEST_F(SettingsTest, SwitchesAreOnOnlyForExactlyYes) {
    WriteBytes(file, "[SET]\r\nshowtray=yes\r\nautorun=no\r\nmapfile=default.map\r\n");
    ASSERT_EQ(SettingsLoad::Ok, LoadSettings(file, settings));
    EXPECT_TRUE(settings.showTray);
    EXPECT_FALSE(settings.autoRun);
    EXPECT_EQ("default.map", settings.listFile);

    WriteBytes(file, "[SET]\r\nshowtray=Yes\r\nautorun=yes \r\nmapfile=\r\n");
    ASSERT_EQ(SettingsLoad::Ok, LoadSettings(file, settings));
    EXPECT_FALSE(settings.showTray);
    EXPECT_FALSE(settings.autoRun);
    EXPECT_EQ("", settings.listFile) << "an empty list file name is allowed";
}

TEST_F(SettingsTest, MissingFileOrMapFile) {
    EXPECT_EQ(SettingsLoad::NoFile, LoadSettings(file, settings));
    EXPECT_FALSE(fs::exists(file));

    WriteBytes(file, "[SET]\r\nshowtray=yes\r\nautorun=yes\r\n[X]\r\nmapfile=a.map\r\n");
    EXPECT_EQ(SettingsLoad::NoMapFile, LoadSettings(file, settings));
    EXPECT_TRUE(settings.showTray && settings.autoRun) << "the switches were read all the same";
}

TEST_F(SettingsTest, WriteSettingChangesOneValueAndKeepsTheRest) {
    WriteBytes(file, "# my settings\r\n[SET]\r\n\r\nshowtray=yes\r\nmapfile=a.map\r\n\r\n"
                     "[ACT]\r\ncount=1\r\n[act0]\r\nname=Shut down\r\n");
    WriteSetting(file, "showtray", "no");
    WriteSetting(file, "autorun", "yes");
    EXPECT_EQ("# my settings\r\n[SET]\r\nshowtray=no\r\nmapfile=a.map\r\n"
              "[ACT]\r\ncount=1\r\n[act0]\r\nname=Shut down\r\n",
              ReadBytes(file))
        << "blank lines go, the missing key stays missing";

    WriteSetting(dir.Path("none.ini"), "showtray", "yes");
    EXPECT_FALSE(fs::exists(dir.Path("none.ini"))) << "the file is never created";

    // Caught halfway through an editor's save: written back, it would stop the next start.
    const std::string half = "[SET]\r\nshowtray=yes\r\n\r\nmap";
    WriteBytes(file, half);
    WriteSetting(file, "showtray", "no");
    EXPECT_EQ(half, ReadBytes(file));
}

TEST_F(SettingsTest, CatalogueInIndexOrder) {
    WriteBytes(file, "[act1]\r\nname=Open\r\nicon=shell32.dll\r\niconint=11\r\n"
                     "path=$ZELO.TW.ACT~open_cdrom$\r\n"
                     "[ACT]\r\ncount=2\r\n"
                     "[act0]\r\nname=Shut down\r\nicon=shell32.dll\r\niconint=27\r\n"
                     "path=$ZELO.TW.ACT~shutdown$\r\n[act2]\r\nname=beyond the count\r\n");
    std::vector<CatalogueAction> actions = ReadCatalogue(file);
    ASSERT_EQ(2u, actions.size());
    EXPECT_EQ("Shut down", actions[0].name);
    EXPECT_EQ(27, actions[0].iconint);
    EXPECT_EQ("$ZELO.TW.ACT~shutdown$", actions[0].path);
    EXPECT_EQ("Open", actions[1].name);
    EXPECT_EQ("shell32.dll", actions[1].icon);
    EXPECT_EQ(11, actions[1].iconint);
}

TEST_F(SettingsTest, CatalogueCountThatSaysNothingOrTooMuch) {
    for (const char* count : {"", "count=many\r\n", "count=-2\r\n"}) {
        WriteBytes(file, std::string("[ACT]\r\n") + count + "[act0]\r\nname=x\r\n");
        EXPECT_TRUE(ReadCatalogue(file).empty()) << count;
    }
    WriteBytes(file, "[ACT]\r\ncount=2147483647\r\n[act0]\r\nname=only\r\n[act1]\r\nicon=a\r\n");
    std::vector<CatalogueAction> actions = ReadCatalogue(file);
    ASSERT_EQ(1u, actions.size()) << "ends before the first action without a name";
    EXPECT_EQ("only", actions[0].name);
    EXPECT_EQ("", actions[0].icon) << "a missing text reads as empty";
    EXPECT_TRUE(ReadCatalogue(dir.Path("missing.ini")).empty());
    CIniDocument closed;
    EXPECT_TRUE(ReadCatalogue(closed).empty());
}

TEST_F(SettingsTest, RunCommandQuotesTheProgramOnly) {
    EXPECT_EQ("\"C:\\Tools\\Tarnwick\\Tarnwick.exe\" C:\\Tools\\Tarnwick",
              BuildRunCommand("C:\\Tools\\Tarnwick", true));
    EXPECT_EQ("\"C:\\Program Files\\Tw\\Tarnwick.exe\" C:\\Program Files\\Tw",
              BuildRunCommand("C:\\Program Files\\Tw", true));
    EXPECT_EQ("", BuildRunCommand("C:\\Tools\\Tarnwick", false));
}

TEST(ParseDecimal, ReadsLikeAtoi) {
    EXPECT_EQ(0, ParseDecimal(""));
    EXPECT_EQ(0, ParseDecimal(CIniDocument::kNotFound));
    EXPECT_EQ(12, ParseDecimal("  \t12abc"));
    EXPECT_EQ(-7, ParseDecimal("-7"));
    EXPECT_EQ(5, ParseDecimal("+5 6"));
    EXPECT_EQ(0, ParseDecimal("- 5"));
    EXPECT_EQ(2147483647, ParseDecimal("99999999999999999999"));
    EXPECT_EQ(-2147483647 - 1, ParseDecimal("-2147483648"));
    EXPECT_EQ(-2147483647 - 1, ParseDecimal("-99999999999"));
}

} // namespace
