#include "ui/controls.h"

std::string CListCtrl::GetItemText(int item, int subItem) const {
    // The control cannot tell the length in advance: grow until the text fits with
    // room to spare. Two units of room, because a character of two units that does not
    // fit is left out whole.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW lvi = {};
        lvi.iSubItem = subItem;
        lvi.cchTextMax = static_cast<int>(buffer.size());
        lvi.pszText = buffer.data();
        int copied = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                                  reinterpret_cast<LPARAM>(&lvi)));
        if (copied < static_cast<int>(buffer.size()) - 2 || buffer.size() >= (1u << 20))
            return Narrow(std::wstring_view(lvi.pszText, copied > 0 ? static_cast<size_t>(copied) : 0));
        buffer.resize(buffer.size() * 2);
    }
}
