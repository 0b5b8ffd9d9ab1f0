#include "app/dialog_host.h"

#include "app/frm_main.h"
#include "app/program.h"
#include "dialogs/menus.h"
#include "link/packet.h"

namespace orbus {

namespace {

class MainDialogHost final : public dialogs::Host {
public:
    explicit MainDialogHost(FrmMain& main) : main_(main) {}

    link::CommandSink& commands() override { return main_.commands(); }
    std::string sendValues(const std::vector<int>& values, int mode) override {
        Bytes packet;
        // A value that is no byte is refused where it always was ("ERR").
        if (!ToByteArray(values, packet)) return main_.SendValues(values, mode);
        const auto kind = mode == link::kStop ? link::CommandPacer::Kind::Stop : link::CommandPacer::Kind::Other;
        const link::SendOutcome sent =
            main_.commands().send({std::move(packet), link::Source::Dialog, kind, "", link::Pacing::Direct});
        return sent == link::SendOutcome::Sent ? "OK" : "NG";
    }
    void commandWentOut(int camera) override { main_.commandWentOut(camera); }
    link::Line& line() override { return main_.line(); }
    link::Async<Bytes> waitAnswer(int length) override { return main_.WaitAnswer(length); }
    bool lastWaitTimedOut() const override { return main_.lastWaitTimedOut(); }
    bool lastWaitBusy() const override { return main_.lastWaitBusy(); }
    void showReceived(const Bytes& bytes) override { main_.EchoReceived(bytes, false); }
    link::Async<Bytes> exchange(Bytes packet, int length, bool answer) override {
        return main_.commands().exchange({std::move(packet), link::Source::Dialog}, length, answer);
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
    void readCameraStatus() override { main_.ReadCameraStatus(); }

private:
    FrmMain& main_;
};

}  // namespace

std::unique_ptr<dialogs::Host> makeDialogHost(FrmMain& main) { return std::make_unique<MainDialogHost>(main); }

void wireDialogMenus(Program& prog) {
    using namespace dialogs;
    FrmMain& m = prog.frmMain();
    Context& c = prog.context();
    m.SettingZones.onClick = [&c] { SettingZones_Click(c); };
    m.PrivacyAv.onClick = [&c] { PrivacyAv_Click(c); };
    m.AESpotMode.onClick = [&c] { AESpotMode_Click(c); };
    m.EffectLevel.onClick = [&c] { EffectLevel_Click(c); };
    m.SettingMenu.onClick = [&c] { SettingMenu_Click(c); };
    m.MotionDetecter.onClick = [&c] { MotionDetecter_Click(c); };
    m.SetTimeDate.onClick = [&c] { SetTimeDate_Click(c); };
    m.IDWrite.onClick = [&c] { IDWrite_Click(c); };
    m.AutoPowerOff.onClick = [&c] { AutoPowerOff_Click(c); };
    m.NightPowerOff.onClick = [&c] { NightPowerOff_Click(c); };
    m.TitleSet.onClick = [&c] { TitleSet_Click(c); };
    m.version.onClick = [&c] { version_Click(c); };
}

}  // namespace orbus
