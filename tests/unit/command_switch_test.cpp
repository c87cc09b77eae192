// The command line of a second start: the switches, and everything else left to be the
// folder it always was.
#include "engine/command_switch.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandSwitch, SwitchesAreExactWordsAndAnythingElseIsTheFolder) {
    const struct {
        const char* line;
        SwitchKind kind;
        const char* file;
    } cases[] = {
        {"/load C:\\lists\\work.map", SwitchKind::Load, "C:\\lists\\work.map"},
        {"  /merge \"D:\\共享 列表\\all.map\"  ", SwitchKind::Merge, "D:\\共享 列表\\all.map"},
        {"/on", SwitchKind::On, ""},
        {"/off ", SwitchKind::Off, ""},
        {"/show", SwitchKind::Show, ""},
        {"/hide", SwitchKind::Hide, ""},
        {"/quit", SwitchKind::Quit, ""},
        {"/load", SwitchKind::Unknown, ""},       // the file is missing
        {"/quit now", SwitchKind::Unknown, ""},   // a switch with more after it
        {"/Load x.map", SwitchKind::Unknown, ""}, // exact words only
        {"/frobnicate", SwitchKind::Unknown, ""},
        {"/tools", SwitchKind::None, ""},         // a folder of that name exists
        {"C:\\Users\\li\\Tarnwick", SwitchKind::None, ""},
        {"/", SwitchKind::None, ""},
        {"", SwitchKind::None, ""},
        {"D:/lists", SwitchKind::None, ""},
    };
    const auto isFolder = [](const std::string& path) { return path == "/tools"; };
    for (const auto& c : cases) {
        const CommandSwitch parsed = ParseCommandSwitch(c.line, isFolder);
        EXPECT_EQ(c.kind, parsed.kind) << c.line;
        EXPECT_EQ(c.file, parsed.file) << c.line;
        if (parsed.kind == SwitchKind::None || parsed.kind == SwitchKind::Unknown) continue;
        const CommandSwitch back = SwitchFromMessage(SwitchMessage(parsed));
        EXPECT_EQ(parsed.kind, back.kind) << c.line;
        EXPECT_EQ(parsed.file, back.file) << c.line;
    }
    EXPECT_EQ(SwitchKind::Unknown, SwitchFromMessage("reload\nx").kind);
}

} // namespace
