#pragma once
#include <memory>

#include "platform/form.h"

namespace mv::qt {

// A plain top-level window at the form's bounds with its caption and a close box, for forms
// that have neither a dialog layout nor a painted full-screen role.
std::unique_ptr<WindowHost> makePlainHost(Form& form);

}  // namespace mv::qt
