#include "ComboBox.h"

#include <vector>

std::string CComboBox::GetLBText(int index) const {
    const int length = Send<int>(CB_GETLBTEXTLEN, index);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = Send<int>(CB_GETLBTEXT, index, buffer.data());
    return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}
