// Memory group: the pan-tilt cameras' preset grid with its one pending
// operation, the block cameras' memory grid, and camera power with the
// refresh pause a camera needs while it starts.
#include "panel/control_ref.h"
#include "panel/main_window.h"
#include "panel/runner.h"

namespace orbus::panel {

namespace {

struct PresetRow {
    ControlRef buttons;  // every option button of the row
    std::uint8_t op;     // PresetOp: 0 set, 1 recall, 2 reset
};

const PresetRow kPresetRows[] = {
    {ORBUS_EACH(PresetSet), 0},
    {ORBUS_EACH(PresetRecall), 1},
    {ORBUS_EACH(PresetReset), 2},
};

OptionButton* presetButton(MainWindow& m, const PresetRow& pr, int n) {
    return static_cast<OptionButton*>(pr.buttons.at(m, n));
}

// Watchdog of a pending preset: it clears the preset when no completion comes.
void armPresetWatchdog(MainWindow& m) { m.refresh().watchPreset(); }

// The lit option button is the sign of the operation pending; one at a time.
void Preset_Click(MainWindow& m, const PresetRow& pr, int n) {
    const LinkState& L = m.linkState();
    OptionButton* button = presetButton(m, pr, n);
    const CommandRow* row = chooseRow(m, pr.buttons.member, n, Event::Click);
    if (!button || !row) return;
    if (L.PresetBusy) {
        // Refused: the click lit this dot and put out its neighbours, the
        // pending one among them, which stays the sign of what runs.
        button->setValue(false);
        if (OptionButton* pending = presetButton(m, kPresetRows[L.PresetOp % 3], L.PresetNo)) pending->setValue(true);
        return;
    }
    m.linkControl().presetStarts(pr.op, n);
    sendRow(m, *row, n);
    if (!L.SendOK) {
        // Nothing went out, so no completion will end the operation: end it
        // here, or every later status read would wait for it for good.
        button->setValue(false);
        m.linkControl().presetEnds();
        return;
    }
    armPresetWatchdog(m);
    if (row->hold) refreshHold(m);
}

// Seconds a camera needs after power on before it answers a status read:
// the read after the command is later, or the next reads are skipped.
int powerOnInterval(PanTiltModel model) { return model == PanTiltModel::Beta ? 6000 : model == PanTiltModel::Kappa ? 7000 : 2000; }
std::uint8_t powerOnSkips(PanTiltModel model) { return model == PanTiltModel::Beta ? 3 : model == PanTiltModel::Kappa ? 4 : 1; }

void Power_Click(MainWindow& m) {
    const LinkState& L = m.linkState();
    const CommandRow* row = chooseRow(m, ORBUS_CONTROL(Power), Event::Click);
    if (!row) return;
    if (m.Power.checked()) {
        m.Power.setChecked(false);
    } else {
        m.Power.setChecked(true);
        // The camera may come back as another model: identify it again.
        m.identity().VersionRead = false;
        m.refresh().poweredOn(powerOnInterval(L.ModelCode), powerOnSkips(L.ModelCode));
    }
    sendRow(m, *row, kSingle);
}

}  // namespace

void wireMemory(MainWindow& m) {
    for (const PresetRow& pr : kPresetRows) {
        for (Control* c : pr.buttons.elements(m)) {
            const int n = c->index();
            static_cast<OptionButton*>(c)->onClick = [&m, &pr, n] { Preset_Click(m, pr, n); };
        }
    }
    // A recalled memory shows on the panel at once.
    m.RecallOption.forEach([&m](int, OptionButton& b) { onEvent(m, b, Event::Click, [&m] { m.ReadCameraStatus(); }); });
    m.Power.onClick = [&m] { Power_Click(m); };
}

}  // namespace orbus::panel
