// The running program: the platform it runs on, the program-wide state the
// windows share, and the windows themselves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/design_layout.h"
#include "app/meaning.h"
#include "link/chain_health.h"
#include "app/traffic_record.h"
#include "dialogs/context.h"
#include "dialogs/title.h"
#include "link/link_state.h"
#include "model/chain.h"
#include "net/remote_hub.h"
#include "net/transports.h"
#include "platform/platform.h"
#include "status/identity.h"
#include "status/labels.h"

namespace orbus {

// The dialogs' windows are declared with their context (dialogs/context.h).
class FrmOpen;
class FrmInfo;
class FrmMain;
class FrmPanTilt;
class FrmChain;
class FrmTraffic;
class FrmProfile;
class FrmRemote;

// The port dialog's choice.
struct PortChoice {
    int CommPortNo = 1;           // 1..12
    std::string BaudText = "9600";  // "9600", "38400" or "19200"
    bool PortChosen = false;      // the dialog's OK was pressed
    // The models of the built-in simulated chain chosen instead of "Com n";
    // empty: "Com n". CommPortNo keeps its number meanwhile.
    std::string simulator;
    // A serial device server's address (tcp://HOST:PORT, rfc2217://HOST:PORT)
    // chosen instead of "Com n"; empty: "Com n". CommPortNo keeps its number.
    std::string network;
};

class Program {
public:
    static constexpr const char* kTitle = "ORBUS Panel";
    static constexpr const char* kSection = "Settings";

    explicit Program(Platform& platform);
    ~Program();

    // What the traffic on the line says of each camera, kept by the tap on
    // the serial port.
    ChainHealth chain{{&versionModelName, &answerLength}};
    // What the panel knows of each camera: the main window shows the
    // driven one's values from here.
    model::Chain cameras;
    // Every packet that passed the port, for the traffic window.
    TrafficRecord traffic;

private:
    // Chain Status and the Traffic window see what passes through the port.
    PortTap tap_;
    PortTap recording_;

public:
    // The machine's platform, with the serial port seen through the tap.
    Platform platform;
    LinkState link;
    PortChoice port;
    PanTiltFlags ptw;
    ModelIdentity model;
    ModeBook modes;
    AlarmState alarm;
    LabelTables labels;
    TitleBook titles;
    // The main window as drawn, before any camera was identified.
    DesignLayout design;

    FrmOpen& frmOpen() { return *frmOpen_; }
    FrmInfo& frmInfo() { return *frmInfo_; }
    FrmMain& frmMain() { return *frmMain_; }
    FrmPanTilt& frmPanTilt() { return *frmPanTilt_; }
    Privacy& privacy() { return *privacy_; }
    PrivacyA& privacyA() { return *privacyA_; }
    FrmAES& frmAES() { return *frmAES_; }
    FrmDeffect& frmDeffect() { return *frmDeffect_; }
    FSet& fset() { return *fset_; }
    FrmMD& frmMD() { return *frmMD_; }
    FrmSetDT& frmSetDT() { return *frmSetDT_; }
    FrmCamID& frmCamID() { return *frmCamID_; }
    FrmAutoPOff& frmAutoPOff() { return *frmAutoPOff_; }
    FrmNightPOff& frmNightPOff() { return *frmNightPOff_; }
    FrmTitle_K& frmTitleK() { return *frmTitleK_; }
    FrmTitle_M& frmTitleM() { return *frmTitleM_; }
    FrmAbout& frmAbout() { return *frmAbout_; }
    Frmmoreinfo& frmMoreInfo() { return *frmMoreInfo_; }
    FrmChain& frmChain() { return *frmChain_; }
    FrmTraffic& frmTraffic() { return *frmTraffic_; }
    FrmProfile& frmProfile() { return *frmProfile_; }
    FrmRemote& frmRemote() { return *frmRemote_; }
    // The network's clients, sending through the main window's command
    // interface; the services' sockets, once the machine has given them.
    net::RemoteHub& remoteHub() { return *remoteHub_; }
    net::RemoteTransports* remoteTransports() { return remoteTransports_; }
    void setRemoteTransports(net::RemoteTransports* transports) { remoteTransports_ = transports; }
    // The JSON API and web page's server, switched the same way.
    net::RemoteTransports* apiTransports() { return apiTransports_; }
    void setApiTransports(net::RemoteTransports* transports) { apiTransports_ = transports; }
    // Any remote service listens.
    bool remoteOn();
    // What the dialogs may ask of the main window.
    dialogs::Host& dialogHost() { return *dialogHost_; }
    // What the dialogs and the pan-tilt window are given of the program.
    dialogs::Context& context() { return *context_; }

    // Every window of the program, for the view layer to mirror.
    std::vector<Form*> forms() const;

    // Starts the program: the port dialog.
    void start();

    // Windows loaded and not unloaded since, in the order they were loaded.
    void loaded(Form& f);
    void unloaded(Form& f);
    bool isLoaded(const Form& f) const;
    const std::vector<Form*>& loadedForms() const { return loaded_; }

    // Settings store of this program ("Settings" section).
    std::string setting(const std::string& key, const std::string& fallback) const;
    void saveSetting(const std::string& key, const std::string& value);

    // Ends the program at once.
    void end();

private:
    // Made before the windows it is handed to.
    std::unique_ptr<dialogs::Context> context_;
    std::unique_ptr<FrmOpen> frmOpen_;
    std::unique_ptr<FrmInfo> frmInfo_;
    // Before the main window, which asks for them as it is built.
    net::RemoteTransports* remoteTransports_ = nullptr;
    net::RemoteTransports* apiTransports_ = nullptr;
    std::unique_ptr<FrmMain> frmMain_;
    // Made with the main window, gone after the dialogs.
    std::unique_ptr<dialogs::Host> dialogHost_;
    std::unique_ptr<FrmPanTilt> frmPanTilt_;
    std::unique_ptr<Privacy> privacy_;
    std::unique_ptr<PrivacyA> privacyA_;
    std::unique_ptr<FrmAES> frmAES_;
    std::unique_ptr<FrmDeffect> frmDeffect_;
    std::unique_ptr<FSet> fset_;
    std::unique_ptr<FrmMD> frmMD_;
    std::unique_ptr<FrmSetDT> frmSetDT_;
    std::unique_ptr<FrmCamID> frmCamID_;
    std::unique_ptr<FrmAutoPOff> frmAutoPOff_;
    std::unique_ptr<FrmNightPOff> frmNightPOff_;
    std::unique_ptr<FrmTitle_K> frmTitleK_;
    std::unique_ptr<FrmTitle_M> frmTitleM_;
    std::unique_ptr<FrmAbout> frmAbout_;
    std::unique_ptr<Frmmoreinfo> frmMoreInfo_;
    std::unique_ptr<FrmChain> frmChain_;
    std::unique_ptr<FrmTraffic> frmTraffic_;
    std::unique_ptr<FrmProfile> frmProfile_;
    std::unique_ptr<net::RemoteHub> remoteHub_;
    std::unique_ptr<FrmRemote> frmRemote_;
    std::vector<Form*> loaded_;
};

}  // namespace orbus
