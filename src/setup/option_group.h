#pragma once
// Check boxes drawn as option buttons, one chosen per group.
#include <initializer_list>

#include "platform/ui/controls/checkbox.h"

namespace mv {

// Clicking a box of a group chooses it: the others are cleared, and a chosen one stays chosen.
void ChooseInGroup(CheckBox& clicked, std::initializer_list<CheckBox*> group);

}  // namespace mv
