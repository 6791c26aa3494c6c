#include "Edit.h"

void CEdit::LimitText(int maxChars) const {
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChars));
}
