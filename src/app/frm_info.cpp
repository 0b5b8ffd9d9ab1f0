#include "app/frm_info.h"

namespace orbus {

FrmInfo::FrmInfo()
    : Form("FrmInfo", "Information"),
      LbTitle(*this, "LbTitle", ""),
      LbSubtitle(*this, "LbSubtitle", ""),
      ProgressBar1(*this, "ProgressBar1", 0, 100) {
    resize(5400, 2100);
    LbTitle.setGeometry(240, 180, 4920, 360);
    LbTitle.setCentered(true);
    LbSubtitle.setGeometry(240, 660, 4920, 300);
    LbSubtitle.setCentered(true);
    LbSubtitle.setMessageRole("Start-up step");
    ProgressBar1.setGeometry(240, 1140, 4920, 300);
    ProgressBar1.setAccessibleName("Start-up progress");
}

}  // namespace orbus
