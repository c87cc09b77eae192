#pragma once
// The string tables of res/strings.rc, which the portable tests show their texts from.

#include <set>

// Every id either table holds.
std::set<int> RcStringIds();
