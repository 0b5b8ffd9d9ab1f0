// A remote client's message of any bytes, read against a chain not yet
// numbered with raw packets allowed, and against three identified cameras
// with raw packets refused.
// Properties: never a crash; a message is taken or refused, a refusal with
// words and nothing to send; every packet produced is well formed and goes
// to the camera named; every answer is JSON that reads back.
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "net/api.h"
#include "net/api_catalogue.h"
#include "net/remote_hub.h"

using namespace orbus;
using namespace orbus::net;

namespace {

const model::Chain& threeCameras() {
    static const model::Chain chain = [] {
        model::Chain c;
        c.setLength(3);
        model::Identity kappa;
        kappa.series = Series::PanTilt;
        kappa.panTilt = PanTiltModel::Kappa;
        kappa.name = "ORX-Kappa";
        c.setIdentity(1, kappa);
        status::PanTiltStatus head;
        head.panSpeedMax = 0x7F;
        head.tiltSpeedMax = 1;
        c.setPanTilt(1, head);
        model::Identity alpha = kappa;
        alpha.panTilt = PanTiltModel::Alpha;
        alpha.name = "ORX-Alpha";
        c.setIdentity(2, alpha);
        model::Identity block;
        block.series = Series::Block;
        block.blockModel = 0x12;
        block.name = "KBM-R02";
        c.setIdentity(3, block);
        return c;
    }();
    return chain;
}

void checkRequest(const Request& r) {
    if (r.kind == Request::Kind::Refused) {
        fuzz::check(!r.error.empty(), "every refusal has words");
        fuzz::check(r.packets.empty(), "a refusal sends nothing");
        const std::string answer = jsonText(errorJson(r.id, r.error));
        fuzz::check(Json::parse(answer, nullptr, false).is_object(), "an error answer reads back");
        return;
    }
    fuzz::check(r.error.empty(), "a message taken has no refusal");
    const bool sends = r.kind == Request::Kind::Command || r.kind == Request::Kind::Packet;
    fuzz::check(sends != r.packets.empty(), "a command or packet sends, nothing else does");
    for (const Bytes& p : r.packets) {
        fuzz::check(wellFormedPacket(p), "every packet is well formed");
        fuzz::check(p.size() <= kMaxPacket, "no packet longer than a camera takes");
        fuzz::check(p.front() == 0x80 + r.camera && r.camera >= 1 && r.camera <= 7, "every packet goes to the camera named");
        if (motionOf(p).what == Motion::Starts) fuzz::check(wellFormedPacket(stopOf(p)), "a drive's stop is well formed");
    }
    const std::string answer = jsonText(answerJson(r.id, r.packets));
    fuzz::check(Json::parse(answer, nullptr, false).is_object(), "an answer reads back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view message(reinterpret_cast<const char*>(data), size);
    checkRequest(parseRequest(message, {nullptr, true}));
    const Request r = parseRequest(message, {&threeCameras(), false});
    checkRequest(r);
    fuzz::check(r.kind != Request::Kind::Packet, "no raw packet while they are refused");
    return 0;
}
