// The status read of each of the 31 models against a camera that answers
// every inquiry with any bytes: identification, decoding, label lookups,
// layouts and the refresh error.
// Properties: the read ends, the logs keep their bound, the operator is
// told of a failure at most once, the panel can read a sane camera right
// after, and every packet written is well formed, none refused by the send
// check.
#include <map>
#include <memory>

#include "camera.h"
#include "fuzz_support.h"
#include "app/testing/rig.h"

using namespace orbus;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::map<int, std::unique_ptr<testing::Rig>> rigs;
    fuzz::Input in(data, size);
    const int model = in.byte() % static_cast<int>(sim::cameraModels().size());
    auto& rig = rigs[model];
    if (!rig) {
        rig = std::make_unique<testing::Rig>(std::vector<std::string>{sim::cameraModels()[model].name});
        fuzz::check(rig->startUp(), "the panel starts up on every model");
    }
    FrmMain& m = rig->main();
    const LinkState& L = rig->link();
    const std::uint8_t flags = in.byte();
    link::LinkControl& control = rig->linkControl();
    control.presetEnds();
    control.skipRefreshes(0);
    control.statusReadEnds();
    if (m.autoCaption() != bool(flags & 0x01)) m.AutoRefreshed_Click();
    if (flags & 0x02) rig->program->model.VersionRead = false;  // identify again from the answers
    rig->windows.messages.clear();
    rig->port.clearWritten();
    // Nothing kept from earlier inputs: memory an input leaves behind sets
    // off a leak check, and the records would only grow.
    rig->chain.forgetReceived();

    // Each inquiry gets the next piece of the input as its answer.
    rig->chain.mutate = [&in](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
        if (packet.size() > 1 && packet[1] == 0x09) replies = {in.piece(24)};
    };
    rig->readStatus();
    rig->chain.mutate = nullptr;
    fuzz::check(!L.StatusReading && !L.StatusReadBusy, "the read ends");
    fuzz::check(m.RecvText.text().size() <= 1000 && m.SendText.text().size() <= 1000, "the logs keep their bound");
    // The old-firmware warning of an ORX-Kappa is news of its own, told
    // besides a failure of the same read.
    std::size_t told = 0;
    for (const Message& msg : rig->windows.messages)
        told += msg.text.rfind("This application will run on a restricted function mode", 0) != 0;
    fuzz::check(told <= 1, "the operator is told of a failure at most once");

    // A sane camera afterwards is identified and read as usual.
    rig->port.input();
    rig->program->model.VersionRead = false;
    if (m.autoCaption()) m.AutoRefreshed_Click();
    const std::size_t mark = rig->mark();
    rig->readStatus();
    fuzz::check(rig->packetsSince(mark).size() >= 1, "the next read asks the camera again");
    // Replies still on their way are delivered now, not piled up for later
    // inputs, and the auto refresh stops, so no read is left waiting.
    if (m.autoCaption()) m.AutoRefreshed_Click();
    rig->settle(5);
    // The answer limits of the waits that ended run out too.
    rig->run(1.5);
    fuzz::checkSent(rig->port.written(), rig->windows.messages);
    fuzz::forgetTraffic(*rig);
    return 0;
}
