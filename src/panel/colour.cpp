#include "panel/colour.h"

#include "panel/control_ref.h"
#include "panel/main_window.h"
#include "panel/runner.h"

namespace orbus::panel {

std::vector<MenuItem*> whiteBalanceItems(MainWindow& m) {
    return {&m.ATWPro, &m.InDoor, &m.OutDoor, &m.OnePushWB, &m.ATW, &m.ManualWB};
}

void enableWhiteBalanceControls(MainWindow& m, int mode) {
    enableAll({&m.RGainUp, &m.RGainDown, &m.BGainUp, &m.BGainDown, &m.RGainSlider, &m.BGainSlider, &m.RBReset},
              mode == 5);
    m.WBTrigger.setEnabled(mode == 3);
}

namespace {

// The ORX-Kappa measures one-push white balance only at a shutter of 1/8
// or faster (position 4 and up); below position 6 it takes up to 18 s.

void WBTrigger_Click(MainWindow& m) {
    const LinkState& L = m.linkState();
    const int shutter = m.modes().KappaShutterPos;
    if (L.ModelCode == PanTiltModel::Kappa && shutter < 4) return;
    const CommandRow* row = chooseRow(m, ORBUS_CONTROL(WBTrigger), Event::Click);
    if (!row) return;
    sendRow(m, *row, kSingle);
    m.linkControl().whiteBalanceEnds();
    if (!L.SendOK) return;
    m.linkControl().whiteBalanceStarts();
    if (L.ModelCode == PanTiltModel::Kappa) {
        if (shutter < 6) {
            m.refresh().watchWithin(18000);
        }
        m.linkControl().skipRefreshes(2);
    }
    refreshHold(m);
}

}  // namespace

void wireColour(MainWindow& m) {
    const std::vector<MenuItem*> wb = whiteBalanceItems(m);
    for (int mode = 0; mode < static_cast<int>(wb.size()); ++mode) {
        MenuItem* it = wb[static_cast<std::size_t>(mode)];
        onEvent(m, *it, Event::Click, [&m, wb, it, mode] {
            markGroup(wb, it, true);
            enableWhiteBalanceControls(m, mode);
        });
    }
    m.WBTrigger.onClick = [&m] { WBTrigger_Click(m); };

    const std::vector<MenuItem*> picture = {&m.PEOff,      &m.Pastel, &m.NegArt, &m.Sepia,  &m.BlackWhite,
                                            &m.Solarize, &m.Mosaic, &m.Slim,   &m.Stretch};
    const std::vector<MenuItem*> digital = {&m.DEOff, &m.Still, &m.Flash, &m.Lumi, &m.Trail};
    for (const auto* group : {&picture, &digital}) {
        for (MenuItem* it : *group) {
            onEvent(m, *it, Event::Click, [g = *group, it] { markGroup(g, it, true); });
        }
    }
}

}  // namespace orbus::panel
