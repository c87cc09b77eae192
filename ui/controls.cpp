#include "ui/controls.h"

std::string CListCtrl::GetItemText(int item, int subItem) const {
    // The control cannot tell the length in advance: grow until the text fits with
    // room to spare. Two bytes of room, because a double-byte character that does not
    // fit is left out whole.
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA lvi = {};
        lvi.iSubItem = subItem;
        lvi.cchTextMax = static_cast<int>(buffer.size());
        lvi.pszText = buffer.data();
        int copied = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                                  reinterpret_cast<LPARAM>(&lvi)));
        if (copied < static_cast<int>(buffer.size()) - 2 || buffer.size() >= (1u << 20))
            return std::string(lvi.pszText, copied > 0 ? static_cast<size_t>(copied) : 0);
        buffer.resize(buffer.size() * 2);
    }
}
