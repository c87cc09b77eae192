#pragma once
// The built-in action dialog: one of the actions the settings file's catalogue offers,
// with its icon, bound to a hotkey. After IDOK the caller reads the result fields.

#include "res/resource.h"
#include "storage/ini_document.h"
#include "storage/settings.h"
#include "ui/controls.h"
#include "ui/dialog.h"

#include <string>
#include <vector>

class CAct : public CDialog {
public:
    explicit CAct(HWND parent);

    CIniDocument m_doc;        // the catalogue, loaded while the dialog is open
    std::string m_strName;     // the action's display name
    std::string m_strIconFile; // the file holding its icon
    std::string m_strKeyDes;   // key description; empty without a key
    std::string m_strPath;     // its built-in action token
    int m_nHotKey = 0;         // hotkey code
    int m_nIconIndex = 0;      // index of the icon in m_strIconFile
    CComboBox m_cbAction;      // control 1007
    CStatic m_IconDisplay;     // control 1008
    CHotKeyCtrl m_HotKey;      // control 2006, with the "Win" box 1100 beside it

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    void OnSelchangeAction();

private:
    // The selected action, or null when none is.
    const CatalogueAction* SelectedAction() const;

    std::vector<CatalogueAction> m_actions; // item i of the action box is action i
    HICON m_hShownIcon = nullptr;           // extracted for the display; ours to release
};
