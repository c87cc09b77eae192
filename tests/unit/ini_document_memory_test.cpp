// Memory that runs out at any allocation while the settings file is read, looked up or
// changed never escapes: every answer is right or says the file cannot be read, and the
// document answers rightly again once there is memory.
#include "storage/ini_document.h"
#include "storage/settings.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

namespace {
long g_allocationsLeft = -1; // -1: no limit
} // namespace

void* operator new(std::size_t size) {
    if (g_allocationsLeft == 0) throw std::bad_alloc();
    if (g_allocationsLeft > 0) --g_allocationsLeft;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

namespace fs = std::filesystem;

// "SET" is long enough for a key table of its own, its values too long to be copied
// without memory.
std::string Value(int i) {
    return "value " + std::to_string(i) + " of the settings";
}

std::string SettingsText(const std::string& showtray) {
    std::string text = "[SET]\r\nshowtray=" + showtray + "\r\n";
    for (int i = 0; i < 20; ++i)
        text += "k" + std::to_string(i) + "=" + Value(i) + "\r\n";
    return text +
           "mapfile=lists\\the hotkeys.map\r\n[ACT]\r\ncount=1\r\n[act0]\r\nname=n\r\npath=p\r\n";
}

TEST(IniDocumentMemory, RunningOutNeverEscapesALookupOrASet) {
    ScratchDir dir;
    const std::string path = dir.Path("tarnwick.ini");
    WriteBytes(path, SettingsText("yes"));
    // Read-only, so that WriteSetting stops at its save: saves are slow under Wine, and
    // what memory does to them is no business of the lookups.
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    for (long budget = 0, ranOut = 1; ranOut; ++budget) {
        SCOPED_TRACE(testing::Message() << "allocations allowed: " << budget);
        CIniDocument doc;
        ASSERT_EQ(1, doc.Load(path));
        Settings settings;
        SettingsLoad loaded = SettingsLoad::NoMapFile;
        std::string value;
        size_t actions = 0;
        int set = 0;
        bool escaped = false;
        g_allocationsLeft = budget;
        try {
            value = doc.GetValue("SET", "k19");
            set = doc.SetValue("SET", "k7", "new");
            loaded = LoadSettings(path, settings);
            actions = ReadCatalogue(path).size();
            WriteSetting(path, "showtray", "no");
        } catch (...) {
            escaped = true;
        }
        ranOut = g_allocationsLeft == 0;
        g_allocationsLeft = -1;
        EXPECT_FALSE(escaped);
        EXPECT_TRUE(value == Value(19) || value == CIniDocument::kNoDocument);
        EXPECT_EQ(set == 1 ? "new" : Value(7), doc.GetValue("SET", "k7"));
        for (int i : {0, 19})
            EXPECT_EQ(Value(i), doc.GetValue("SET", "k" + std::to_string(i)));
        EXPECT_TRUE(loaded == SettingsLoad::NoFile ||
                    (loaded == SettingsLoad::Ok && settings.listFile == "lists\\the hotkeys.map"));
        EXPECT_LE(actions, 1u);
    }
}

} // namespace
