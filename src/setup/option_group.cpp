#include "setup/option_group.h"

namespace mv {

void ChooseInGroup(CheckBox& clicked, std::initializer_list<CheckBox*> group) {
    if (clicked.Value() == 0) {
        bool another = false;
        for (CheckBox* box : group) another = another || (box != &clicked && box->Value() != 0);
        if (!another) clicked.setValue(1);
        return;
    }
    for (CheckBox* box : group)
        if (box != &clicked) box->setValue(0);
}

}  // namespace mv
