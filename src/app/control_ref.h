// A control of the main window named so that the compiler checks it: a
// member, or one element of a control-array member. Tables of controls
// (command rows, model layouts, groups a model hides) hold these instead of
// object names looked up while the panel runs.
#pragma once

#include <string>
#include <string_view>

#include "app/frm_main.h"

namespace orbus {

struct ControlRef {
    static constexpr int kSingle = -1;

    std::string_view member;   // the member's name
    int index = kSingle;       // the element of a control array, or kSingle
    Control* (*get)(FrmMain&, int index) = nullptr;

    // The control in this window; nullptr when the array has no such element.
    Control* in(FrmMain& m) const { return get(m, index); }
    const Control* in(const FrmMain& m) const { return get(const_cast<FrmMain&>(m), index); }
    // Its object name, as the windows and the logs know it ("LblAE_17").
    std::string objectName() const {
        return index == kSingle ? std::string(member) : std::string(member) + "_" + std::to_string(index);
    }
};

template <auto Member>
Control* controlOf(FrmMain& m, int index) {
    auto& c = m.*Member;
    if constexpr (requires { c.has(0); }) {
        return c.has(index) ? &c[index] : nullptr;
    } else {
        return &c;
    }
}

}  // namespace orbus

// ORBUS_CONTROL(IrisOpen), ORBUS_ELEMENT(LblAE, 17): a misspelt member does
// not compile.
#define ORBUS_CONTROL(member) \
    (::orbus::ControlRef{#member, ::orbus::ControlRef::kSingle, &::orbus::controlOf<&::orbus::FrmMain::member>})
#define ORBUS_ELEMENT(member, i) (::orbus::ControlRef{#member, (i), &::orbus::controlOf<&::orbus::FrmMain::member>})
