#pragma once
// The icon picker: every icon of a file as a picture of the system's large icon size (32 x 32
// at 96 DPI, and following the DPI of the dialog's monitor), the file's name in an editable box
// with a Browse button. Returns the file name and the chosen icon's index.

#include "res/resource.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/image_list.h"

#include <string>

class CIconSel : public CDialog {
public:
    CIconSel(std::string fileName, int iconIndex, HWND parent);

    int m_nIconIndex;          // in: the current index; out: the chosen one
    CListCtrl m_IconList;      // control 1000
    std::string m_strFileName; // in and out: the icon file, box 2000
    CImageList m_ImageList;    // the file's icons, owned here

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;

    void FillIconList();
    void OnBrowse();
    void OnClickedOk();

    // The file a person chooses in the system's Open dialog, as a full path; a test
    // overrides it to answer instead.
    virtual bool ChooseIconFile(std::string& path);
};
