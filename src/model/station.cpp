#include "model/station.h"

#include "link/link_window.h"
#include "link/send_mode.h"
#include "platform/control.h"
#include "status/decode.h"
#include "status/identify.h"
#include "status/labels.h"
#include "status/status_reader.h"

namespace orbus::model {

// The link's view of a window: logs on the hidden form, nothing to draw.
class Station::Logs final : public link::LinkWindow {
public:
    Logs(Form& host, Station& station)
        : sent(host, "SendText"),
          received(host, "RecvText"),
          refresh(host, "Timer1", 2000, false),
          watchdog(host, "Timer3", 6000, false),
          station_(station) {}
    TextBox& commandHistory() override { return sent; }
    TextBox& responseLog() override { return received; }
    int portNumber() const override { return station_.platform_.port.commPort(); }
    void drawRefresh() override {}
    void commandWentOut(int) override {}
    void clearPresetHighlight(int, int) override {}
    void clearPresetHighlights() override {}
    void linkChanged() override { station_.linkChanged(); }

    TextBox sent, received;
    // The link's periodic refresh and its watchdog; the refresh never
    // starts here (nothing reads on a timer without a window), the watchdog
    // frees what a silent camera holds.
    Timer refresh;
    Timer watchdog;

private:
    Station& station_;
};

// One camera's inquiries on the station's link.
class Station::Reading final : public status::StatusLink {
public:
    Reading(link::CameraLink& link, int address) : link_(link), address_(address) {}
    int header() const override { return 0x80 + address_; }
    link::Async<Bytes> ask(Bytes packet, int length) override {
        link_.SD(packet, link::kQuiet);
        co_return co_await link_.WaitReply(length, true);
    }
    bool reading() const override { return false; }
    bool overtaken() const override { return false; }
    bool abandoned() const override { return false; }
    void gaveUp(long code) override { failure = code; }

    long failure = 0;

private:
    link::CameraLink& link_;
    int address_;
};

Station::Station(Platform& platform)
    : platform_(platform),
      host_("Station", ""),
      logs_(std::make_unique<Logs>(host_, *this)),
      link_(std::make_unique<link::CameraLink>(*logs_, state_, health_, platform_, logs_->refresh, logs_->watchdog)),
      commands_(*link_) {
    link_->control().echoOn();
    platform_.timers.attach(logs_->refresh);
    platform_.timers.attach(logs_->watchdog);
    platform_.port.onComm = [this](int event) {
        if (event == ComEvReceive) link_->portReceived();
    };
}

Station::~Station() {
    platform_.port.onComm = nullptr;
    link_->close();
    platform_.timers.detach(logs_->refresh);
    platform_.timers.detach(logs_->watchdog);
}

bool Station::open(int baud) {
    SerialPort& port = platform_.port;
    if (port.isOpen()) port.close();
    LineSettings s;
    s.baud = baud;
    port.setSettings(s);
    port.setDTREnable(true);
    if (!port.open()) return false;
    port.setRThreshold(1);
    port.setSThreshold(1);
    return true;
}

link::Async<std::optional<int>> Station::numberChain() {
    const std::optional<int> found = co_await link_->addressSetExchange();
    if (found) chain_.renumber(*found);
    co_return found;
}

namespace {

// The label tables the panel lays out for a camera.
LabelTables labelsFor(const Identity& id) {
    LabelTables l;
    l.fillDefaults();
    if (id.series == Series::PanTilt) {
        if (id.panTilt == PanTiltModel::Beta) l.fillBeta();
        else if (id.panTilt == PanTiltModel::Kappa) l.fillKappa();
        else l.fillGamma();
    } else if (const BlockModelRow* row = findBlockModel(id.blockModel)) {
        if (row->lens == LensClass::X10) l.fill10X();
        else if (row->lens == LensClass::X18) l.fill18X();
        else l.fill25X();
    }
    return l;
}

}  // namespace

link::Async<bool> Station::read(int address) {
    if (!chain_.camera(address)) co_return false;
    link::Line::Hold hold = co_await link_->line().take();
    Reading reading{*link_, address};
    status::Identifier identifier{reading};
    const auto version = co_await identifier.version();
    if (!version || version->series == Series::Unknown) co_return false;
    const Identity identity = identityOf(*version);
    chain_.setIdentity(address, identity);
    const Capabilities& caps = chain_.camera(address)->capabilities;
    if (!caps.statusInquiries) co_return true;

    int videoSystem = 0;
    if (identity.panTilt == PanTiltModel::Kappa && identity.series == Series::PanTilt) {
        const status::KappaConditions k = co_await identifier.kappaConditions();
        if (!k.videoSystem) co_return false;
        videoSystem = *k.videoSystem;
    }
    status::StatusReader reader{reading};
    const PanTiltModel model = identity.series == Series::PanTilt ? identity.panTilt : PanTiltModel::None;
    const auto replies = co_await reader.blocks(model, videoSystem);
    hold.release();
    if (!replies) co_return false;

    const LabelTables labels = labelsFor(identity);
    status::DecodeContext context;
    context.model = model;
    context.panTiltSeries = identity.series == Series::PanTilt;
    context.kappaVideoSystem = videoSystem;
    const Camera* before = chain_.camera(address);
    context.videoSysCode = before->status ? before->status->videoSysCode : 0;
    context.labels = &labels;
    chain_.setStatus(address, status::decodeStatus(*replies, context), platform_.clock.now());
    co_return true;
}

void Station::linkChanged() { facts_.changed(*link_); }

void LinkFactsFeed::changed(link::CameraLink& link) {
    if (owed_) return;
    owed_ = true;
    std::weak_ptr<bool> alive = alive_;
    poster_.post(0, [this, alive, &link] {
        if (auto a = alive.lock(); !a || !*a) return;
        owed_ = false;
        for (int address = 1; address <= Chain::kMaxCameras; ++address) {
            LinkFacts f;
            f.inFlight = link.pacer().inFlight(address);
            f.waiting = link.pacer().waiting(address);
            f.lastReplyAt = health_.camera(address).lastReplyAt;
            chain_.setLink(address, f);
        }
    });
}

}  // namespace orbus::model
