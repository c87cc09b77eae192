#pragma once
// The About box: the program's icon, name and version, and the maker.

#include "ui/dialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}
};
