// Progress window "Information" shown while the main window starts up.
#pragma once

#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

class FrmInfo : public Form {
public:
    FrmInfo();

    Label LbTitle;
    Label LbSubtitle;
    ProgressBar ProgressBar1;
};

}  // namespace orbus
