// The component of a name and a kind that a form owns, however deep it sits,
// for tests that read a form's private controls, menu items and components.
#pragma once

#include <stdexcept>
#include <string>

#include "gui/Component.h"
#include "gui/Exception.h"

namespace testing_support {

// Owner's component of that name and kind; the case fails when there is none
// of that name or it is of another kind.
template <class T>
T* Named(const gui::TComponent& owner, const wchar_t* name) {
    T* found = owner.Find<T>(name);
    if (!found) throw std::runtime_error("no component of that kind named " + gui::WideToUtf8(name));
    return found;
}

}  // namespace testing_support
