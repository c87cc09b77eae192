#pragma once
// The five actions the program performs itself instead of opening a target through the
// shell. An entry names one by holding its token in `path`; tokens are compared whole,
// byte for byte.

#include "platform/system.h"

#include <string>

extern const char kTokenOpenCdrom[];
extern const char kTokenCloseCdrom[];
extern const char kTokenShutdown[];
extern const char kTokenForbidShutdown[];
extern const char kTokenAllowShutdown[];

// The note that marks a built-in entry in the list view and in the hotkey list file.
extern const char kBuiltInNote[];

// Runs the action a token names. `allowShutdown` is the application's shutdown-allowed
// flag (1 allows, 0 refuses), which the forbid and allow actions set. Failures and
// unknown tokens are reported with message boxes without an owner window.
void RunBuiltInAction(const std::string& token, tw::ISystem& system, int& allowShutdown);

// The panel's answer to the system's shutdown and log-off query, given the answer of its
// default window procedure.
int QueryEndSessionAnswer(int defaultAnswer, int allowShutdown);
