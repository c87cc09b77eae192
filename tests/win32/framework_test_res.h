#pragma once
// Templates of the framework tests, numbered clear of the program's resources.

#define IDD_TEST_OUTER 9101
#define IDD_TEST_FORM 9102
#define IDD_TEST_CONTROLS 9103

#define IDC_TEST_NAME 9120
#define IDC_TEST_CHECK 9121
#define IDC_TEST_NUMBER 9122

#define IDC_TEST_LIST 9130
#define IDC_TEST_HOTKEY 9131
#define IDC_TEST_COMBO 9132
#define IDC_TEST_ICON 9133
