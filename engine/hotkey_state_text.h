#pragma once
// The texts that tell the user which bindings are not working: the tray icon's tip and
// the tip over a refused row.

#include <string>

// The tray tip the program starts with, which stays while every binding works.
extern const char kTrayTipPlain[];

// The tray tip for `refused` bindings the system refused; never longer than the 63 bytes
// the notification area keeps.
std::string RefusedTrayTip(int refused);

// The tip over a row whose combination, described by `keydes`, the system refused: the
// system itself or another program holds it.
std::string RefusedRowTip(const std::string& keydes);

// The tip over a row whose last launch failed, `reason` saying why.
std::string FailedLaunchRowTip(const std::string& reason);

// Who failed to start, for a balloon's title or a message: the entry's name, or its
// command when it has none.
std::string FailedLaunchTitle(const std::string& name, const std::string& path);

// The tip over a row whose binding is switched off by its own check box.
std::string SwitchedOffRowTip();
// A switched-off row whose combination the binding `holder` (its name) holds.
std::string SwitchedOffHeldRowTip(const std::string& holder);
// What a merge did: `added` entries, `switchedOff` of them switched off for a taken
// combination.
std::string MergeSummary(int added, int switchedOff);
