#include "app/dialog_host.h"

#include "app/frm_main.h"
#include "app/program.h"
#include "dialogs/menus.h"

namespace orbus {

namespace {

class MainDialogHost final : public dialogs::Host {
public:
    explicit MainDialogHost(FrmMain& main) : main_(main) {}

    std::string sendValues(const std::vector<int>& values, int mode) override { return main_.SendValues(values, mode); }
    bool mayGoOut(const Bytes& packet) override { return main_.outgoingAllowed(packet); }
    void commandWentOut(int camera) override { main_.commandWentOut(camera); }
    link::Line& line() override { return main_.line(); }
    link::Async<Bytes> waitAnswer(int length) override { return main_.WaitAnswer(length); }
    bool lastWaitTimedOut() const override { return main_.lastWaitTimedOut(); }
    bool lastWaitBusy() const override { return main_.lastWaitBusy(); }
    void showReceived(const Bytes& bytes) override { main_.EchoReceived(bytes, false); }
    link::Async<Bytes> exchange(Bytes packet, int length, bool answer) override {
        return main_.exchange(std::move(packet), length, answer);
    }

    void start(link::Async<void> routine) override { main_.tasks().start(std::move(routine)); }
    link::Async<void> pause(double seconds) override { return main_.pause(seconds); }

    void holdRefresh(bool lockButton) override { main_.refresh().hold(lockButton); }
    void giveRefreshBack() override { main_.refresh().giveBack(); }
    void switchAutoRefreshOff() override { main_.refresh().switchOff(); }
    bool autoRefreshOn() const override { return main_.autoCaption(); }
    void setPanTiltUpkeep(bool on) override { main_.Timer2.setEnabled(on); }

    link::Async<bool> checkAlarm() override { return main_.CheckAlarmStatus(); }
    bool titleShown() const override { return main_.TitleOnOff.checked(); }
    void setTitleShown(bool shown) override { main_.TitleOnOff.setChecked(shown); }
    void showCameraID(const std::string& text) override { main_.CameraIDText.setText(text); }
    double mainLeft() const override { return main_.left(); }
    double mainTop() const override { return main_.top(); }

private:
    FrmMain& main_;
};

}  // namespace

std::unique_ptr<dialogs::Host> makeDialogHost(FrmMain& main) { return std::make_unique<MainDialogHost>(main); }

void wireDialogMenus(Program& prog) {
    using namespace dialogs;
    FrmMain& m = prog.frmMain();
    m.SettingZones.onClick = [&prog] { SettingZones_Click(prog); };
    m.PrivacyAv.onClick = [&prog] { PrivacyAv_Click(prog); };
    m.AESpotMode.onClick = [&prog] { AESpotMode_Click(prog); };
    m.EffectLevel.onClick = [&prog] { EffectLevel_Click(prog); };
    m.SettingMenu.onClick = [&prog] { SettingMenu_Click(prog); };
    m.MotionDetecter.onClick = [&prog] { MotionDetecter_Click(prog); };
    m.SetTimeDate.onClick = [&prog] { SetTimeDate_Click(prog); };
    m.IDWrite.onClick = [&prog] { IDWrite_Click(prog); };
    m.AutoPowerOff.onClick = [&prog] { AutoPowerOff_Click(prog); };
    m.NightPowerOff.onClick = [&prog] { NightPowerOff_Click(prog); };
    m.TitleSet.onClick = [&prog] { TitleSet_Click(prog); };
    m.version.onClick = [&prog] { version_Click(prog); };
}

}  // namespace orbus
