#include "ui/file_dialog.h"

#include "platform/win32/wide.h"
#include "ui/dialog.h"

#include <vector>

CFileDialog::CFileDialog(BOOL openFileDialog, const std::string& defaultExt,
                         const std::string& fileName, DWORD flags, const std::string& filter,
                         HWND parent)
    : m_bOpenFileDialog(openFileDialog),
      // The system would add its own dot in front of ours.
      m_strDefExt(!defaultExt.empty() && defaultExt[0] == '.' ? defaultExt.substr(1) : defaultExt),
      m_strFileName(fileName), m_dwFlags(flags), m_strFilter(filter), m_hParent(parent) {}

namespace {
// Room for a path up to the system's long-path limit.
const DWORD kFileBuffer = 32768;
} // namespace

INT_PTR CFileDialog::DoModal() {
    const std::wstring filter = Widen(FileDialogFilter(m_strFilter));
    const std::wstring defExt = Widen(m_strDefExt);
    std::vector<wchar_t> file(kFileBuffer, L'\0');
    const std::wstring initial = Widen(m_strFileName);
    if (initial.size() < kFileBuffer) initial.copy(file.data(), initial.size());

    HWND owner = m_hParent;
    if (owner == nullptr && CDialog::GetMainWnd() != nullptr)
        owner = ::GetLastActivePopup(CDialog::GetMainWnd()->m_hWnd);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = m_strFilter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBuffer;
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.Flags = m_dwFlags | OFN_EXPLORER;

    BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (!chosen) return IDCANCEL;
    const std::wstring chosenPath(file.data());
    m_strPathName = Narrow(chosenPath);
    // The system counts UTF-16 units; the names are taken apart by bytes.
    const size_t offset = ofn.nFileOffset <= chosenPath.size() ? ofn.nFileOffset : 0;
    const size_t extension = ofn.nFileExtension <= chosenPath.size() ? ofn.nFileExtension : 0;
    m_nFileOffset = (Narrow(chosenPath.substr(0, offset)).size());
    m_nFileExtension =
        extension == 0 ? 0 : (Narrow(chosenPath.substr(0, extension)).size());
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
    for (char& c : filter)
        if (c == '|') c = '\0';
    // c_str() adds the second terminating zero.
    filter.push_back('\0');
    return filter;
}
