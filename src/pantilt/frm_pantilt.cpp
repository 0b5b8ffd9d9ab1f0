#include "pantilt/frm_pantilt.h"

#include "app/program.h"

namespace orbus {

FrmPanTilt::FrmPanTilt(Program& program) : Form("FrmPanTilt", "Pan/Tilt"), prog_(program) {}

}  // namespace orbus
