#include "ui/file_dialog.h"

#include "platform/text_fit.h"
#include "ui/dialog.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const std::string& defaultExt,
                         const std::string& fileName, DWORD flags, const std::string& filter,
                         HWND parent)
    : m_bOpenFileDialog(openFileDialog),
      // The system would add its own dot in front of ours.
      m_strDefExt(!defaultExt.empty() && defaultExt[0] == '.' ? defaultExt.substr(1) : defaultExt),
      m_strFileName(fileName), m_dwFlags(flags), m_strFilter(filter), m_hParent(parent) {}

INT_PTR CFileDialog::DoModal() {
    std::string filter = FileDialogFilter(m_strFilter);
    char file[MAX_PATH] = {};
    // A longer initial name is cut between characters, never through one.
    const std::string initial =
        FitWholeChars(m_strFileName, MAX_PATH, [](unsigned char b) { return ::IsDBCSLeadByte(b); });
    initial.copy(file, MAX_PATH - 1);

    HWND owner = m_hParent;
    if (owner == nullptr && CDialog::GetMainWnd() != nullptr)
        owner = ::GetLastActivePopup(CDialog::GetMainWnd()->m_hWnd);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = m_strFilter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = m_strDefExt.empty() ? nullptr : m_strDefExt.c_str();
    ofn.Flags = m_dwFlags | OFN_EXPLORER;

    BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (!chosen) return IDCANCEL;
    m_strPathName = file;
    m_nFileOffset = ofn.nFileOffset;
    m_nFileExtension = ofn.nFileExtension;
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    if (m_nFileOffset > m_strPathName.size()) return std::string();
    return m_strPathName.substr(m_nFileOffset);
}

std::string CFileDialog::GetFileTitle() const {
    std::string name = GetFileName();
    // The system reports where the extension begins, after the last dot of the name.
    if (m_nFileExtension > m_nFileOffset && m_nFileExtension <= m_strPathName.size() &&
        m_strPathName[m_nFileExtension - 1] == '.')
        return name.substr(0, m_nFileExtension - 1u - m_nFileOffset);
    return name;
}

std::string FileDialogFilter(const std::string& barSeparated) {
    std::string filter = barSeparated;
    for (size_t i = 0; i < filter.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(filter[i])) && i + 1 < filter.size())
            ++i;
        else if (filter[i] == '|')
            filter[i] = '\0';
    }
    // c_str() adds the second terminating zero.
    filter.push_back('\0');
    return filter;
}
