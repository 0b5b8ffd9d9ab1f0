// A control of the main window named so that the compiler checks it: a
// member, one element of a control-array member, or every element of one.
// Tables of controls (command rows, model layouts, groups a model hides)
// hold these instead of object names looked up while the panel runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "panel/frm_main_controls.h"

namespace orbus {

struct ControlRef {
    static constexpr int kSingle = -1;
    // Every element of a control array: the element is told with each use.
    static constexpr int kEach = -2;

    std::string_view member;   // the member's name
    int index = kSingle;       // the element of a control array, kSingle or kEach
    Control* (*get)(FrmMainControls&, int index) = nullptr;
    // Every element of the array in index order, or the one control.
    std::vector<Control*> (*every)(FrmMainControls&) = nullptr;

    // False for an empty reference (one that names no control).
    explicit operator bool() const { return get != nullptr; }

    // The control in this window; nullptr when the array has no such element.
    Control* in(FrmMainControls& m) const { return get ? get(m, index) : nullptr; }
    const Control* in(const FrmMainControls& m) const { return in(const_cast<FrmMainControls&>(m)); }
    // As in(), with `element` standing for kEach.
    Control* at(FrmMainControls& m, int element) const { return get ? get(m, index == kEach ? element : index) : nullptr; }
    // The controls this reference stands for in this window.
    std::vector<Control*> elements(FrmMainControls& m) const {
        if (index == kEach && every) return every(m);
        Control* c = in(m);
        return c ? std::vector<Control*>{c} : std::vector<Control*>{};
    }
    // Stands for the control named `name`, element `element` (kSingle: not
    // an array element).
    bool names(std::string_view name, int element) const {
        return name == member && (element == index || (index == kEach && element >= 0));
    }
    // Its object name, as the windows and the logs know it ("LblAE_17");
    // for every element, the member's name.
    std::string objectName() const {
        return index < 0 ? std::string(member) : std::string(member) + "_" + std::to_string(index);
    }
};

template <auto Member>
Control* controlOf(FrmMainControls& m, int index) {
    auto& c = m.*Member;
    if constexpr (requires { c.has(0); }) {
        return c.has(index) ? &c[index] : nullptr;
    } else {
        return &c;
    }
}

template <auto Member>
std::vector<Control*> controlsOf(FrmMainControls& m) {
    auto& c = m.*Member;
    std::vector<Control*> out;
    if constexpr (requires { c.has(0); }) {
        c.forEach([&out](int, Control& e) { out.push_back(&e); });
    } else {
        out.push_back(&c);
    }
    return out;
}

}  // namespace orbus

// ORBUS_CONTROL(IrisOpen), ORBUS_ELEMENT(LblAE, 17), ORBUS_EACH(PresetSet):
// a misspelt member does not compile.
#define ORBUS_CONTROL(member)                                                                              \
    (::orbus::ControlRef{#member, ::orbus::ControlRef::kSingle, &::orbus::controlOf<&::orbus::FrmMainControls::member>, \
                         &::orbus::controlsOf<&::orbus::FrmMainControls::member>})
#define ORBUS_ELEMENT(member, i)                                                                \
    (::orbus::ControlRef{#member, (i), &::orbus::controlOf<&::orbus::FrmMainControls::member>, \
                         &::orbus::controlsOf<&::orbus::FrmMainControls::member>})
#define ORBUS_EACH(member)                                                                               \
    (::orbus::ControlRef{#member, ::orbus::ControlRef::kEach, &::orbus::controlOf<&::orbus::FrmMainControls::member>, \
                         &::orbus::controlsOf<&::orbus::FrmMainControls::member>})
