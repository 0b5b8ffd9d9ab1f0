// Start-up against a chain whose answers to the interface clear, the
// address set and the version inquiry come from the input (the simulated
// cameras answer everything else): the retry through the port dialog, the
// camera count, identification of every series and model, the first status
// read; then the operator picks one of the cameras found, numbers the chain
// again (its answer from the input too) and clears the camera's interface.
// Properties: start-up ends, with the main window up or the program ended
// from the port dialog; every packet written is well formed and none the
// panel built was refused; the camera driven keeps an address of 1 to 7.
#include <memory>

#include "camera.h"
#include "fuzz_support.h"
#include "app/testing/rig.h"

using namespace orbus;

namespace {

bool isBody(const sim::Bytes& p, std::initializer_list<std::uint8_t> body) {
    return p.size() == body.size() + 2 && std::equal(body.begin(), body.end(), p.begin() + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const auto& models = sim::cameraModels();
    std::vector<std::string> chain;
    for (int n = 1 + in.byte() % 3; n > 0; --n) chain.push_back(models[in.byte() % models.size()].name);
    // A new program each time: start-up runs once in a program's life.
    auto rig = std::make_unique<testing::Rig>(chain);

    // Each answer of these three kinds is the simulated camera's own when
    // the input says so or has run out, else the next piece of the input.
    rig->chain.mutate = [&in](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
        const bool ours = (packet[0] == 0x88 && (isBody(packet, {0x01, 0x00, 0x01}) || isBody(packet, {0x30, 0x01}))) ||
                          isBody(packet, {0x09, 0x00, 0x02});
        if (!ours || in.empty()) return;
        const std::uint8_t how = in.byte();
        if (how & 0x01) return;
        replies = {in.piece(16)};
        // Now and then a second reply right behind the first.
        if (how & 0x02) replies.push_back(in.piece(16));
    };
    // The operator presses OK again in the port dialog a few times, then
    // closes it (which ends the program).
    testing::Rig& r = *rig;
    for (int i = 0; i < 3; ++i) r.windows.script([&r] { r.open().Command1.click(); });
    r.windows.script([&r] { r.open().unload(); });

    const bool up = r.startUp();
    fuzz::check(up || r.windows.ending(), "start-up ends with the main window or the program ended");
    if (up) {
        FrmMain& m = r.main();
        LinkState& L = r.link();
        fuzz::check(L.CamAddress >= 1 && L.CamAddress <= 7, "the camera driven has an address");
        // The operator picks a camera the menu offers, numbers the chain
        // again and clears the camera's interface.
        const int pick = 1 + in.byte() % 7;
        if (m.CameraSel[pick].enabled()) m.CameraSel[pick].click();
        m.AddressSet.click();
        fuzz::check(L.CamAddress >= 1 && L.CamAddress <= 7, "the camera driven has an address");
        m.IFClear.click();
        r.run(0.5);
    }
    r.chain.mutate = nullptr;
    fuzz::checkSent(r.port.written(), r.windows.messages);
    return 0;
}
