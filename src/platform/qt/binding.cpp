#include "platform/qt/binding.h"

namespace orbus::qt {

const Binding& bindingFor(Kind kind) {
    static const Binding none;
    switch (kind) {
    case Kind::Button: return kButtonBinding;
    case Kind::CheckBox: return kCheckBoxBinding;
    case Kind::OptionButton: return kOptionButtonBinding;
    case Kind::Label: return kLabelBinding;
    case Kind::Frame: return kFrameBinding;
    case Kind::TextBox: return kTextBoxBinding;
    case Kind::Slider: return kSliderBinding;
    case Kind::ComboBox: return kComboBoxBinding;
    case Kind::MenuItem: return kMenuItemBinding;
    case Kind::ProgressBar: return kProgressBarBinding;
    case Kind::UpDown: return kUpDownBinding;
    case Kind::Picture: return kPictureBinding;
    case Kind::Table: return kTableBinding;
    case Kind::Timer: break;
    }
    return none;
}

}  // namespace orbus::qt
