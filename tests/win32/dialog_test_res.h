#pragma once
// Resources of the editing dialogs' tests, numbered clear of the program's.

#define IDI_TEST_ICON_1 9201
#define IDI_TEST_ICON_2 9202
#define IDI_TEST_ICON_3 9203
#define IDI_TEST_ICON_4 9204
