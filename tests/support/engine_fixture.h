#pragma once
// An engine over the recording fake, with a panel window and its two hotkey buttons.

#include "engine/hotkey_code.h"
#include "engine/hotkey_engine.h"
#include "tests/support/fake_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class EngineTest : public ::testing::Test {
protected:
    EngineTest() { engine.AttachWindows(panel, offButton, onButton); }

    static HotKeyEntry Program(const std::string& name, int code,
                               const std::string& path = "C:\\tools\\run.exe",
                               const std::string& workdir = "C:\\tools") {
        HotKeyEntry e;
        e.name = name;
        e.path = path;
        e.workdir = workdir;
        e.keydes = code ? "key " + std::to_string(code) : "无";
        e.hotkey = code;
        return e;
    }

    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const HotKeyEntry& e : engine.m_entries)
            ids.push_back(e.id);
        return ids;
    }

    // Ids the fake holds a registration for, in registration order.
    std::vector<int> RegisteredIds() const {
        std::vector<int> ids;
        for (const FakeSystem::Registration& r : sys.registered)
            ids.push_back(r.id);
        return ids;
    }

    FakeSystem sys;
    int allowShutdown = 1;
    CHotKeyEngine engine{sys, allowShutdown};
    tw::WindowRef panel = sys.MakeWindow("panel");
    tw::WindowRef offButton = sys.MakeWindow("off");
    tw::WindowRef onButton = sys.MakeWindow("on");
};

// Ctrl+Alt plus a letter: distinct combinations for distinct letters.
inline int CtrlAlt(char key) {
    return MakeHotKeyCode(static_cast<unsigned char>(key), tw::kHotKeyfControl | tw::kHotKeyfAlt);
}
