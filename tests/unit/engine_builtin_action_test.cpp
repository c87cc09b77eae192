#include "engine/builtin_action.h"
#include "tests/support/fake_system.h"

#include <gtest/gtest.h>

namespace {

struct BuiltInAction : ::testing::Test {
    // The calls and message boxes of one action, message boxes shown as "caption: text".
    std::vector<std::string> Run(const std::string& token) {
        sys.ClearLog();
        RunBuiltInAction(token, sys, allowShutdown);
        for (const FakeSystem::MessageBoxCall& box : sys.messageBoxes) {
            EXPECT_EQ(nullptr, box.owner);
            EXPECT_EQ(tw::kMbIconError, box.flags);
        }
        return sys.calls;
    }

    FakeSystem sys;
    int allowShutdown = 1;
};

TEST_F(BuiltInAction, DoorCommandsNameTheDefaultCdAudioDeviceAndWait) {
    EXPECT_EQ((std::vector<std::string>{"Mci Set cdAudio door open wait"}),
              Run("$ZELO.TW.ACT~open_cdrom$"));
    EXPECT_EQ((std::vector<std::string>{"Mci Set cdAudio door closed wait"}),
              Run("$ZELO.TW.ACT~close_cdrom$"));
}

TEST_F(BuiltInAction, TokensMatchOnlyWholeAndExact) {
    const char* const kNearMisses[] = {"$zelo.tw.act~open_cdrom$", "$ZELO.TW.ACT~open_cdrom$ ",
                                       " $ZELO.TW.ACT~shutdown$", "$ZELO.TW.ACT~Shutdown$", ""};
    for (const char* token : kNearMisses) {
        EXPECT_EQ((std::vector<std::string>{"MessageBox null [Tarnwick Error] 没有找到内置对象  " +
                                            std::string(token) + " flags=0x10"}),
                  Run(token))
            << token;
    }
    EXPECT_EQ(1, allowShutdown);
}

TEST_F(BuiltInAction, ShutdownAdjustsThePrivilegeRequestsPowerOffAndClosesTheToken) {
    EXPECT_EQ(
        (std::vector<std::string>{"OpenProcessToken -> ok", "EnableShutdownPrivilege token -> ok",
                                  "RequestPowerOff -> ok", "CloseToken token"}),
        Run("$ZELO.TW.ACT~shutdown$"));
    EXPECT_EQ(0, sys.OpenTokens());
}

TEST_F(BuiltInAction, ShutdownWithoutTokenReportsBothStepsAndStillRequestsPowerOff) {
    sys.tokenOpens = false;
    EXPECT_EQ((std::vector<std::string>{
                  "OpenProcessToken -> null",
                  "MessageBox null [error in shutdown] OpenProcessToken flags=0x10",
                  "EnableShutdownPrivilege null -> error",
                  "MessageBox null [error in shutdown] AdjustTokenPrivileges flags=0x10",
                  "RequestPowerOff -> ok", "CloseToken null"}),
              Run("$ZELO.TW.ACT~shutdown$"));
}

TEST_F(BuiltInAction, RefusedPrivilegeAndPowerOffAreReportedAndTheTokenIsStillClosed) {
    sys.privilegeGranted = false;
    sys.powerOffAccepted = false;
    EXPECT_EQ(
        (std::vector<std::string>{
            "OpenProcessToken -> ok", "EnableShutdownPrivilege token -> error",
            "MessageBox null [error in shutdown] AdjustTokenPrivileges flags=0x10",
            "RequestPowerOff -> refused",
            "MessageBox null [Tarnwick Error] 关闭计算机失败! flags=0x10", "CloseToken token"}),
        Run("$ZELO.TW.ACT~shutdown$"));
    Run("$ZELO.TW.ACT~shutdown$");
    EXPECT_EQ(0, sys.OpenTokens());
}

TEST_F(BuiltInAction, ForbidMakesTheQueryRefuseUntilAllowedAgainSilently) {
    EXPECT_EQ(1, QueryEndSessionAnswer(1, allowShutdown));
    EXPECT_TRUE(Run("$ZELO.TW.ACT~forbid_shutdown$").empty());
    EXPECT_TRUE(Run("$ZELO.TW.ACT~forbid_shutdown$").empty());
    EXPECT_EQ(0, QueryEndSessionAnswer(1, allowShutdown));

    // The power-off request is still made; it is this answer that refuses it.
    EXPECT_EQ(std::string("RequestPowerOff -> ok"), Run("$ZELO.TW.ACT~shutdown$")[2]);
    EXPECT_EQ(0, QueryEndSessionAnswer(1, allowShutdown));

    EXPECT_TRUE(Run("$ZELO.TW.ACT~allow_shutdown$").empty());
    EXPECT_TRUE(Run("$ZELO.TW.ACT~allow_shutdown$").empty());
    EXPECT_EQ(1, QueryEndSessionAnswer(1, allowShutdown));
    // A refusal by the default handling stands whatever the flag says.
    EXPECT_EQ(0, QueryEndSessionAnswer(0, allowShutdown));
}

} // namespace
