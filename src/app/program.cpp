#include "app/program.h"

#include <algorithm>

#include "app/dialog_host.h"
#include "app/frm_chain.h"
#include "app/frm_info.h"
#include "app/frm_main.h"
#include "app/frm_open.h"
#include "app/frm_remote.h"
#include "app/frm_traffic.h"
#include "app/meaning.h"
#include "app/pantilt_host.h"
#include "app/profile_link.h"
#include "dialogs/about.h"
#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/md.h"
#include "dialogs/deffect.h"
#include "dialogs/fset.h"
#include "dialogs/privacy.h"
#include "dialogs/privacy_a.h"
#include "dialogs/profile_window.h"
#include "dialogs/title.h"
#include "pantilt/frm_pantilt.h"

namespace orbus {

namespace {

// The program's own objects, handed out as they are.
class ProgramContext final : public dialogs::Context {
public:
    explicit ProgramContext(Program& prog) : prog_(prog) {}

    Platform& platform() override { return prog_.platform; }
    void loaded(Form& f) override { prog_.loaded(f); }
    void unloaded(Form& f) override { prog_.unloaded(f); }
    bool isLoaded(const Form& f) const override { return prog_.isLoaded(f); }

    const LinkState& link() override { return prog_.link; }
    link::LinkControl& linkControl() override { return prog_.frmMain().linkControl(); }
    ModelIdentity& model() override { return prog_.model; }
    ModeBook& modes() override { return prog_.modes; }
    AlarmState& alarm() override { return prog_.alarm; }
    LabelTables& labels() override { return prog_.labels; }
    TitleBook& titles() override { return prog_.titles; }
    PanTiltFlags& ptw() override { return prog_.ptw; }
    const model::Chain& cameras() const override { return prog_.cameras; }

    dialogs::Host& dialogHost() override { return prog_.dialogHost(); }

    Privacy& privacy() override { return prog_.privacy(); }
    PrivacyA& privacyA() override { return prog_.privacyA(); }
    FrmAES& frmAES() override { return prog_.frmAES(); }
    FrmDeffect& frmDeffect() override { return prog_.frmDeffect(); }
    FSet& fset() override { return prog_.fset(); }
    FrmMD& frmMD() override { return prog_.frmMD(); }
    FrmSetDT& frmSetDT() override { return prog_.frmSetDT(); }
    FrmCamID& frmCamID() override { return prog_.frmCamID(); }
    FrmAutoPOff& frmAutoPOff() override { return prog_.frmAutoPOff(); }
    FrmNightPOff& frmNightPOff() override { return prog_.frmNightPOff(); }
    FrmTitle_K& frmTitleK() override { return prog_.frmTitleK(); }
    FrmTitle_M& frmTitleM() override { return prog_.frmTitleM(); }
    FrmAbout& frmAbout() override { return prog_.frmAbout(); }
    Frmmoreinfo& frmMoreInfo() override { return prog_.frmMoreInfo(); }

private:
    Program& prog_;
};

}  // namespace

Program::Program(Platform& p)
    : traffic(p.clock.now(), TrafficRecord::kCapacity, p.clock.localTime()),
      tap_(p.port, p.clock, chain),
      recording_(tap_, p.clock, traffic),
      platform{p.clock, p.poster, p.timers, p.settings, p.windows, recording_, p.devices},
      context_(std::make_unique<ProgramContext>(*this)),
      frmOpen_(std::make_unique<FrmOpen>(*this)),
      frmInfo_(std::make_unique<FrmInfo>()),
      frmMain_(std::make_unique<FrmMain>(*this)),
      dialogHost_(makeDialogHost(*frmMain_)),
      frmPanTilt_(std::make_unique<FrmPanTilt>(*context_, pantilt::mainWindowOf(*this))),
      privacy_(std::make_unique<Privacy>(*context_)),
      privacyA_(std::make_unique<PrivacyA>(*context_)),
      frmAES_(std::make_unique<FrmAES>(*context_)),
      frmDeffect_(std::make_unique<FrmDeffect>(*context_)),
      fset_(std::make_unique<FSet>(*context_)),
      frmMD_(std::make_unique<FrmMD>(*context_)),
      frmSetDT_(std::make_unique<FrmSetDT>(*context_)),
      frmCamID_(std::make_unique<FrmCamID>(*context_)),
      frmAutoPOff_(std::make_unique<FrmAutoPOff>(*context_)),
      frmNightPOff_(std::make_unique<FrmNightPOff>(*context_)),
      frmTitleK_(std::make_unique<FrmTitle_K>(*context_)),
      frmTitleM_(std::make_unique<FrmTitle_M>(*context_)),
      frmAbout_(std::make_unique<FrmAbout>(*context_)),
      frmMoreInfo_(std::make_unique<Frmmoreinfo>(*context_)),
      frmChain_(std::make_unique<FrmChain>(*this)),
      frmTraffic_(std::make_unique<FrmTraffic>(*this)),
      frmProfile_(std::make_unique<FrmProfile>(*context_, profileChainOf(*this))) {
    // The traffic record names the controller of each packet the link writes.
    traffic.setWriter([this] { return frmMain_->cameraLink().writer(); },
                      [this] { return std::string_view(frmMain_->cameraLink().writerClient()); });
    remoteHub_ = std::make_unique<net::RemoteHub>(frmMain_->commands(), platform.clock, platform.poster);
    // Before the address set the chain's length is not known: any camera may answer.
    remoteHub_->cameraExists([this](int n) { return cameras.length() == 0 || n <= cameras.length(); });
    frmRemote_ = std::make_unique<FrmRemote>(*this);
    wireDialogMenus(*this);
    useControlCaptions(this, [this] { return forms(); });
    design.capture(*frmMain_, *frmPanTilt_);
    for (Form* f : forms()) {
        for (Control* c : f->controls()) {
            if (c->kind() == Kind::Timer) platform.timers.attach(static_cast<Timer&>(*c));
        }
    }
    // The progress window leaves the loaded list when unloaded.
    frmInfo_->onUnload = [this] {
        frmInfo_->hide();
        unloaded(*frmInfo_);
    };
}

Program::~Program() {
    // The main window goes before the record: a write from now on is the panel's own.
    traffic.setWriter({});
    dropControlCaptions(this);
    for (Form* f : forms()) {
        for (Control* c : f->controls()) {
            if (c->kind() == Kind::Timer) platform.timers.detach(static_cast<Timer&>(*c));
        }
    }
    platform.port.onComm = nullptr;
}

std::vector<Form*> Program::forms() const {
    return {frmOpen_.get(),  frmInfo_.get(),   frmMain_.get(),    frmPanTilt_.get(),  privacy_.get(),
            privacyA_.get(), frmAES_.get(),    frmDeffect_.get(), fset_.get(),        frmMD_.get(),
            frmSetDT_.get(), frmCamID_.get(),  frmAutoPOff_.get(), frmNightPOff_.get(), frmTitleK_.get(),
            frmTitleM_.get(), frmAbout_.get(), frmMoreInfo_.get(), frmChain_.get(), frmTraffic_.get(),
            frmProfile_.get(), frmRemote_.get()};
}

void Program::start() {
    loaded(*frmOpen_);
    frmOpen_->Form_Load();
    frmOpen_->show();
}

void Program::loaded(Form& f) {
    if (!isLoaded(f)) loaded_.push_back(&f);
}

void Program::unloaded(Form& f) { loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), &f), loaded_.end()); }

bool Program::isLoaded(const Form& f) const {
    return std::find(loaded_.begin(), loaded_.end(), &f) != loaded_.end();
}

bool Program::remoteOn() {
    return (remoteTransports_ && remoteTransports_->running()) || (apiTransports_ && apiTransports_->running());
}

std::string Program::setting(const std::string& key, const std::string& fallback) const {
    return platform.settings.get(kTitle, kSection, key, fallback);
}

void Program::saveSetting(const std::string& key, const std::string& value) {
    platform.settings.set(kTitle, kSection, key, value);
}

void Program::end() {
    for (Form* f : forms()) f->hide();
    if (platform.port.isOpen()) platform.port.close();
    platform.windows.endProgram();
}

}  // namespace orbus
