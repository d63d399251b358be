#pragma once

#include "platform/x11/XkbKeyboardLayout.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace vantora::testing {

// Keymaps built from layout names (needs xkb-data), compiled once per test program.
inline const platform::KeyboardLayout &keyboardLayout(const QByteArray &names)
{
    static std::map<QByteArray, std::unique_ptr<platform::XkbKeyboardLayout>> built;
    auto &layout = built[names];
    if (!layout)
        layout = platform::XkbKeyboardLayout::fromNames(names);
    if (!layout)
        throw std::runtime_error("keymap does not compile: " + names.toStdString());
    return *layout;
}

} // namespace vantora::testing
