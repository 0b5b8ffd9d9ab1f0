// The remote API's messages: a request read into packets or a refusal in
// words, every command of the catalogue at the ends of its ranges, and the
// answers, listings and change messages built from the chain model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/packet.h"
#include "net/api.h"
#include "net/api_catalogue.h"
#include "net/remote_hub.h"
#include "platform/hex.h"

using namespace orbus;
using namespace orbus::net;

namespace {

model::Identity panTilt(PanTiltModel m, const char* name) {
    model::Identity id;
    id.series = Series::PanTilt;
    id.panTilt = m;
    id.name = name;
    return id;
}

model::Identity block(int byte5) {
    model::Identity id;
    id.series = Series::Block;
    id.blockModel = byte5;
    id.name = blockModelName(*findBlockModel(byte5));
    return id;
}

// Three cameras: an ORX-Kappa whose head told its speed maxima, an
// ORX-Alpha, a block camera.
struct ThreeCameras {
    ThreeCameras() {
        chain.setLength(3);
        chain.setIdentity(1, panTilt(PanTiltModel::Kappa, "ORX-Kappa"));
        status::PanTiltStatus head;
        head.panSpeedMax = 18;
        head.tiltSpeedMax = 17;
        chain.setPanTilt(1, head);
        chain.setIdentity(2, panTilt(PanTiltModel::Alpha, "ORX-Alpha"));
        chain.setIdentity(3, block(0x12));
    }
    RequestContext context(bool raw = false) const { return {&chain, raw}; }
    model::Chain chain;
};

std::vector<std::string> texts(const std::vector<Bytes>& packets) {
    std::vector<std::string> out;
    for (const Bytes& p : packets) out.push_back(hexBytes(p));
    return out;
}

}  // namespace

TEST(NetApi, RefusesWhatItCannotSendInWordsAndSendsNothing) {
    const ThreeCameras rig;
    const std::string big = R"({"id":1,"camera":1,"command":"zoom.stop","pad":")" + std::string(kMaxMessage, 'x') + "\"}";
    struct Case {
        std::string message;
        bool raw;
        std::string error;
    };
    const Case cases[] = {
        // the message itself
        {"", false, "empty message"},
        {R"({"id":1,"camera":1,"command":"zoom.stop",})", false, "malformed JSON at byte 42"},
        {R"({"id":1 "camera":1})", false, "malformed JSON at byte 16"},
        {big, false, "message over 64 KiB"},
        {std::string(40, '[') + std::string(40, ']'), false, "message nested deeper than 16 levels"},
        {"[1,2]", false, "a message is a JSON object"},
        {R"({"id":{"a":1},"camera":1,"command":"zoom.stop"})", false, "id must be a number or a text"},
        {R"({"id":1,"camera":1})", false, R"(a message holds one of "command", "packet", "subscribe" or "heartbeat")"},
        {R"({"id":1,"camera":1,"command":"zoom.stop","packet":"81 01 04 07 00 FF"})", true,
         R"(a message holds one of "command", "packet", "subscribe" or "heartbeat")"},
        {R"({"subscribe":"yes"})", false, "subscribe must be true or false"},
        {R"({"heartbeat":true,"camera":1})", false, R"(unknown member "camera" for heartbeat)"},
        // commands and cameras
        {R"({"camera":1,"command":"zoomx"})", false, R"(unknown command "zoomx")"},
        {R"({"camera":1,"command":7})", false, R"(command must be a name, as "zoom.tele")"},
        {R"({"camera":9,"command":"zoom.stop"})", false, "camera 9 is not in the chain (1 to 3)"},
        {R"({"camera":4,"command":"zoom.stop"})", false, "camera 4 is not in the chain (1 to 3)"},
        {R"({"camera":0,"command":"zoom.stop"})", false, "camera 0 is not in the chain (1 to 3)"},
        {R"({"camera":18446744073709551615,"command":"zoom.stop"})", false,
         "camera 18446744073709551615 is not in the chain (1 to 3)"},
        {R"({"camera":"1","command":"zoom.stop"})", false, "camera must be a whole number from 1 to 3"},
        {R"({"camera":1.5,"command":"zoom.stop"})", false, "camera must be a whole number from 1 to 3"},
        {R"({"command":"zoom.stop"})", false, "camera missing: a number from 1 to 3"},
        {R"({"camera":3,"command":"panTilt.stop"})", false, "camera 3 (KBM-R02) has no pan-tilt head"},
        {R"({"camera":1,"command":"zoom.stop","speed":3})", false, R"(unknown member "speed" for zoom.stop)"},
        // values
        {R"({"camera":1,"command":"zoom.tele"})", false, R"(value "speed" missing)"},
        {R"({"camera":1,"command":"zoom.tele","speed":8})", false, R"(value "speed" out of range: 0 to 7)"},
        {R"({"camera":1,"command":"zoom.tele","speed":-1})", false, R"(value "speed" out of range: 0 to 7)"},
        {R"({"camera":1,"command":"zoom.tele","speed":2.5})", false, R"(value "speed" must be a whole number from 0 to 7)"},
        {R"({"camera":1,"command":"panTilt.drive","direction":"up","panSpeed":19,"tiltSpeed":1})", false,
         R"(value "panSpeed" out of range: 1 to 18)"},
        {R"({"camera":2,"command":"panTilt.drive","direction":"up","panSpeed":1,"tiltSpeed":24})", false,
         R"(value "tiltSpeed" out of range: 1 to 23)"},
        {R"({"camera":1,"command":"panTilt.drive","direction":"north","panSpeed":1,"tiltSpeed":1})", false,
         R"(value "direction" must be one of: up, left, right, down, up-left, up-right, down-left, down-right)"},
        {R"({"camera":1,"command":"switch.keyLock","value":"maybe"})", false, R"(value "value" must be "on" or "off")"},
        // the model narrows a setting's range as the panel's layout does
        {R"({"camera":1,"command":"exposure.gain","value":8})", false, R"(value "value" out of range: 0 to 7)"},
        {R"({"camera":1,"command":"preset.recall","number":0})", false, R"(value "number" out of range: 1 to 6)"},
        {R"({"camera":3,"command":"memory.set","number":6})", false, R"(value "number" out of range: 0 to 5)"},
        // raw packets
        {R"({"camera":1,"packet":"81 01 04 07 02 FF"})", false, "raw packets are not allowed"},
        {R"({"camera":1,"packet":"81 01 04 0G 02 FF"})", true, R"(packet must be hexadecimal bytes, as "81 01 04 07 02 FF")"},
        {R"({"camera":1,"packet":"81 01 04 07 02 F"})", true, R"(packet must be hexadecimal bytes, as "81 01 04 07 02 FF")"},
        {R"({"camera":1,"packet":[129,1]})", true, R"(packet must be hexadecimal bytes, as "81 01 04 07 02 FF")"},
        {R"({"camera":1,"packet":"81 FF"})", true, "packet of 2 bytes: a packet has 3 to 16"},
        {R"({"camera":1,"packet":"81 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 FF"})", true,
         "packet of 17 bytes: a packet has 3 to 16"},
        {R"({"camera":1,"packet":"01 04 07 02 FF"})", true, "packet must start with a header byte 8x"},
        {R"({"camera":1,"packet":"81 01 84 07 02 FF"})", true, "packet is not well formed: data bytes 00 to 7F, one FF at the end"},
        {R"({"camera":1,"packet":"81 01 04 FF 02 FF"})", true, "packet is not well formed: data bytes 00 to 7F, one FF at the end"},
        {R"({"camera":1,"packet":"81 01 04 07 02 00"})", true, "packet is not well formed: data bytes 00 to 7F, one FF at the end"},
        {R"({"camera":5,"packet":"81 01 04 07 02 FF"})", true, "camera 5 is not in the chain (1 to 3)"},
    };
    for (const Case& c : cases) {
        const Request r = parseRequest(c.message, rig.context(c.raw));
        EXPECT_EQ(r.kind, Request::Kind::Refused) << c.message.substr(0, 80);
        EXPECT_EQ(r.error, c.error) << c.message.substr(0, 80);
        EXPECT_TRUE(r.packets.empty()) << c.message.substr(0, 80);
    }
}

TEST(NetApi, ReadsCommandsAndPacketsIntoThePacketsForTheirCamera) {
    const ThreeCameras rig;
    struct Case {
        std::string message;
        std::vector<std::string> packets;
    };
    const Case cases[] = {
        // drives: the rockers at their speed, the ORX-Alpha's focus at its one speed
        {R"({"camera":3,"command":"zoom.tele","speed":7})", {"83 01 04 07 27 FF"}},
        {R"({"camera":1,"command":"zoom.wide","speed":0})", {"81 01 04 07 30 FF"}},
        {R"({"camera":1,"command":"zoom.stop"})", {"81 01 04 07 00 FF"}},
        {R"({"camera":1,"command":"focus.far","speed":5})", {"81 01 04 08 25 FF"}},
        {R"({"camera":2,"command":"focus.near","speed":5})", {"82 01 04 08 03 FF"}},
        {R"({"camera":2,"command":"focus.stop"})", {"82 01 04 08 00 FF"}},
        {R"({"camera":1,"command":"panTilt.drive","direction":"down-left","panSpeed":18,"tiltSpeed":1})",
         {"81 01 06 01 12 01 01 02 FF"}},
        {R"({"camera":2,"command":"panTilt.drive","direction":"up","panSpeed":24,"tiltSpeed":23})",
         {"82 01 06 01 18 17 03 01 FF"}},
        {R"({"camera":1,"command":"panTilt.stop"})", {"81 01 06 01 18 18 03 03 FF"}},
        {R"({"camera":1,"command":"panTilt.home"})", {"81 01 06 04 FF"}},
        // presets count from 1, memories from 0: the same packets
        {R"({"camera":1,"command":"preset.recall","number":1})", {"81 01 04 3F 02 00 FF"}},
        {R"({"camera":1,"command":"preset.set","number":6})", {"81 01 04 3F 01 05 FF"}},
        {R"({"camera":3,"command":"memory.recall","number":0})", {"83 01 04 3F 02 00 FF"}},
        {R"({"camera":3,"command":"memory.reset","number":5})", {"83 01 04 3F 00 05 FF"}},
        // the profile's settings
        {R"({"camera":1,"command":"exposure.mode","value":"manual"})", {"81 01 04 39 03 FF"}},
        {R"({"camera":1,"command":"exposure.iris","value":9})", {"81 01 04 4B 00 00 00 09 FF"}},
        {R"({"camera":1,"command":"switch.keyLock","value":"off"})", {"81 01 04 17 00 FF"}},
        {R"({"camera":1,"command":"switch.keyLock","value":true})", {"81 01 04 17 02 FF"}},
        {R"({"camera":1,"command":"whiteBalance.redGain","value":255})", {"81 01 04 43 00 00 0F 0F FF"}},
        {R"({"camera":1,"command":"alarm.levels","day":2748,"night":291})", {"81 01 04 6D 0A 0B 0C 01 02 03 FF"}},
        // raw packets: the address byte is the camera's
        {R"({"camera":2,"packet":"81 01 04 07 02 FF"})", {"82 01 04 07 02 FF"}},
        {R"({"camera":3,"packet":"88 09 04 00 FF"})", {"83 09 04 00 FF"}},
        {R"({"camera":1,"packet":"8101040702ff"})", {"81 01 04 07 02 FF"}},
    };
    for (const Case& c : cases) {
        const Request r = parseRequest(c.message, rig.context(true));
        EXPECT_NE(r.kind, Request::Kind::Refused) << c.message << ": " << r.error;
        EXPECT_EQ(texts(r.packets), c.packets) << c.message;
    }
    // With no chain known yet, every address is open and the widest ranges hold.
    const Request open = parseRequest(R"({"camera":7,"command":"panTilt.drive","direction":"up","panSpeed":24,"tiltSpeed":23})", {});
    EXPECT_EQ(texts(open.packets), std::vector<std::string>{"87 01 06 01 18 17 03 01 FF"}) << open.error;
    const Request widest = parseRequest(R"({"camera":6,"command":"zoom.position","value":32767})", {});
    EXPECT_EQ(texts(widest.packets), std::vector<std::string>{"86 01 04 47 07 0F 0F 0F FF"}) << widest.error;
}

TEST(NetApi, EchoesTheIdAsGivenInEveryAnswer) {
    const ThreeCameras rig;
    struct Case {
        std::string message;
        std::string answer;
    };
    const Case cases[] = {
        {R"({"id":17,"camera":1,"command":"zoom.stop"})", R"({"id":17,"replies":["90 41 FF","90 51 FF"]})"},
        {R"({"id":"a-7","camera":1,"command":"zoom.stop"})", R"({"id":"a-7","replies":["90 41 FF","90 51 FF"]})"},
        {R"({"id":2.5,"camera":1,"command":"zoom.stop"})", R"({"id":2.5,"replies":["90 41 FF","90 51 FF"]})"},
        {R"({"camera":1,"command":"zoom.stop"})", R"({"id":null,"replies":["90 41 FF","90 51 FF"]})"},
        {R"({"id":"x","camera":1,"command":"zoomx"})", R"({"id":"x","error":"unknown command \"zoomx\""})"},
        {R"({"id":-3,"camera":1,"packet":"81 01 04 07 02 FF"})", R"({"id":-3,"error":"raw packets are not allowed"})"},
        {R"({"id":5,"subscribe":true})", R"({"id":5,"subscribed":true,"chain":)"},
    };
    // Camera 3 replies from its own address; the client sees 90.
    const std::vector<Bytes> replies = {{0xB0, 0x41, 0xFF}, {0xB0, 0x51, 0xFF}};
    for (const Case& c : cases) {
        const Request r = parseRequest(c.message, rig.context());
        const std::string answer = jsonText(r.kind == Request::Kind::Refused ? errorJson(r.id, r.error)
                                            : r.kind == Request::Kind::Subscribe ? subscribedJson(r.id, r.subscribe, rig.chain)
                                                                                 : answerJson(r.id, replies));
        EXPECT_EQ(answer.substr(0, c.answer.size()), c.answer) << c.message;
    }
    // A text cut inside a character of the client's is still sent as JSON.
    const Request cut = parseRequest(R"({"id":1,"camera":1,"command":")" + std::string(39, 'z') + "\xC3\xA9\"}", rig.context());
    EXPECT_EQ(cut.error, "unknown command \"" + std::string(39, 'z') + "...\"");
    EXPECT_NO_THROW(jsonText(errorJson(cut.id, cut.error)));
}

// Every command for every kind of camera, at both ends of each value's
// range and with every choice: packets the link takes, or a refusal.
TEST(NetApi, EveryCatalogueEntryBuildsWellFormedPacketsAtItsBoundaries) {
    ThreeCameras rig;
    rig.chain.setLength(7);
    rig.chain.setIdentity(4, panTilt(PanTiltModel::Beta, "ORX-Beta"));
    rig.chain.setIdentity(5, panTilt(PanTiltModel::Gamma, "ORX-Gamma"));
    rig.chain.setIdentity(6, block(0x1C));  // the 10x lens
    // camera 7: not identified
    for (const CommandDef& c : commandCatalogue()) {
        EXPECT_FALSE(c.does.empty()) << c.name;
        for (int camera = 1; camera <= 7; ++camera) {
            const model::Camera& record = *rig.chain.camera(camera);
            // Each value in turn at its low end, its high end, each choice;
            // the others at their low end.
            std::vector<std::pair<std::string, Json>> low;
            for (const ValueDef& v : c.values) {
                const auto [lo, hi] = valueRange(c, v, record);
                EXPECT_LE(lo, hi) << c.name << " " << v.name << " camera " << camera;
                low.push_back({v.name, v.kind == ValueKind::Number ? Json(lo) : v.kind == ValueKind::Switch ? Json("off") : Json(v.choices.front())});
            }
            std::vector<Json> messages;
            auto message = [&](std::size_t which, const Json& value) {
                Json m = {{"camera", camera}, {"command", c.name}};
                for (std::size_t i = 0; i < low.size(); ++i) m[low[i].first] = i == which ? value : low[i].second;
                messages.push_back(m);
            };
            message(c.values.size(), Json());
            for (std::size_t i = 0; i < c.values.size(); ++i) {
                const ValueDef& v = c.values[i];
                if (v.kind == ValueKind::Number) message(i, valueRange(c, v, record).second);
                if (v.kind == ValueKind::Switch) message(i, "on");
                for (const std::string& choice : v.choices) message(i, choice);
            }
            for (const Json& m : messages) {
                const Request r = parseRequest(m.dump(), rig.context());
                if (c.name.rfind("panTilt.", 0) == 0 && (camera == 3 || camera == 6)) {
                    EXPECT_EQ(r.kind, Request::Kind::Refused) << m.dump();
                    continue;
                }
                EXPECT_EQ(r.kind, Request::Kind::Command) << m.dump() << ": " << r.error;
                EXPECT_FALSE(r.packets.empty()) << m.dump();
                for (const Bytes& p : r.packets) {
                    EXPECT_TRUE(wellFormedPacket(p)) << m.dump() << " -> " << hexBytes(p);
                    EXPECT_EQ(p.front(), 0x80 + camera) << m.dump();
                }
            }
        }
    }
}

// Whoever built a packet, the hub judges its motion from its bytes: what it
// starts it must be able to stop, and a stop must not be taken for a drive.
TEST(NetApi, TellsWhatEachPacketDoesToItsCamerasMotions) {
    using W = Motion::What;
    const struct {
        std::string packet;
        Axis axis;
        W what;
        std::string stop;  // for a drive
    } cases[] = {
        {"82 01 04 07 27 FF", Axis::Zoom, W::Starts, "82 01 04 07 00 FF"},
        {"81 01 04 07 02 FF", Axis::Zoom, W::Starts, "81 01 04 07 00 FF"},
        {"81 01 04 07 00 FF", Axis::Zoom, W::Stops, ""},
        {"83 01 04 08 35 FF", Axis::Focus, W::Starts, "83 01 04 08 00 FF"},
        {"81 01 04 08 03 FF", Axis::Focus, W::Starts, "81 01 04 08 00 FF"},
        {"81 01 04 06 20 FF", Axis::DigitalZoom, W::Starts, "81 01 04 06 00 FF"},
        // The digital zoom's on and off share the drive's command byte.
        {"81 01 04 06 02 FF", Axis::None, W::Nothing, ""},
        {"81 01 04 05 02 FF", Axis::VerticalPhase, W::Starts, "81 01 04 05 00 FF"},
        {"81 01 04 05 03 FF", Axis::VerticalPhase, W::Starts, "81 01 04 05 00 FF"},
        {"81 01 04 05 00 FF", Axis::VerticalPhase, W::Stops, ""},
        {"81 01 04 05 40 FF", Axis::None, W::Nothing, ""},
        // A pan-tilt stop keeps the drive's speeds.
        {"84 01 06 01 05 07 01 03 FF", Axis::PanTilt, W::Starts, "84 01 06 01 05 07 03 03 FF"},
        {"84 01 06 01 05 05 03 03 FF", Axis::PanTilt, W::Stops, ""},
        {"81 01 06 04 FF", Axis::PanTilt, W::TakesOver, ""},
        {"81 01 04 47 01 02 03 04 FF", Axis::Zoom, W::TakesOver, ""},
        {"81 01 04 3F 02 01 FF", Axis::None, W::EndsAll, ""},
        {"81 01 04 3F 01 01 FF", Axis::None, W::Nothing, ""},
        {"81 01 04 07 10 FF", Axis::None, W::Nothing, ""},
        {"81 09 04 47 FF", Axis::None, W::Nothing, ""},
        {"81 09 04 07 02 FF", Axis::None, W::Nothing, ""},
        {"81 01 06 01 05 05 01 FF", Axis::None, W::Nothing, ""},
        {"81 01 FF", Axis::None, W::Nothing, ""},
    };
    for (const auto& c : cases) {
        Bytes p;
        for (std::size_t i = 0; i + 1 < c.packet.size(); i += 3) p.push_back(static_cast<std::uint8_t>(std::stoi(c.packet.substr(i, 2), nullptr, 16)));
        const Motion m = motionOf(p);
        EXPECT_EQ(m.axis, c.axis) << c.packet;
        EXPECT_EQ(m.what, c.what) << c.packet;
        EXPECT_EQ(hexBytes(stopOf(p)), c.stop) << c.packet;
    }
}

TEST(NetApi, ListsTheChainAndTellsSubscribersOfItsChanges) {
    ThreeCameras rig;
    status::CameraStatus s;
    s.model = PanTiltModel::Kappa;
    status::CameraBlockStatus cb;
    cb.exposureMode = 0x03;
    cb.iris = 9;
    cb.irisText = "F2.8";
    s.camera = cb;
    status::LensStatus lens;
    lens.zoom = 0x1234;
    lens.autoFocus = true;
    s.lens = lens;

    std::vector<std::string> told;
    const auto subscription = rig.chain.subscribe(
        [&](int camera, model::Chain::Aspect aspect) { told.push_back(jsonText(changeJson(rig.chain, camera, aspect))); });
    rig.chain.setStatus(1, s, 1.0);
    rig.chain.setPower(1, status::PowerState::On);
    rig.chain.setLength(2);

    const Json chain = chainJson(rig.chain);
    EXPECT_EQ(chain["length"], 2);
    ASSERT_EQ(chain["cameras"].size(), 2u);
    const Json& kappa = chain["cameras"][0];
    EXPECT_EQ(kappa["model"], "ORX-Kappa");
    EXPECT_EQ(kappa["series"], "pan-tilt");
    EXPECT_EQ(kappa["answering"], true);
    EXPECT_EQ(kappa["power"], "on");
    EXPECT_EQ(kappa["values"]["exposure.mode"], "manual");
    EXPECT_EQ(kappa["values"]["exposure.iris"], 9);
    EXPECT_EQ(kappa["values"]["zoom.position"], 0x1234);
    EXPECT_EQ(kappa["values"]["focus.mode"], "auto");
    EXPECT_EQ(kappa["texts"]["exposure.iris"], "F2.8");
    EXPECT_EQ(kappa["panTilt"]["panSpeedMax"], 18);
    // Unheard of: no model, not answering, no values.
    model::Chain fresh;
    fresh.setLength(1);
    const Json unknown = chainJson(fresh)["cameras"][0];
    EXPECT_TRUE(unknown["model"].is_null());
    EXPECT_EQ(unknown["answering"], false);
    EXPECT_TRUE(unknown["values"].empty());

    ASSERT_EQ(told.size(), 3u);
    EXPECT_EQ(Json::parse(told[0])["change"], "status");
    EXPECT_EQ(Json::parse(told[0])["camera"], 1);
    EXPECT_EQ(Json::parse(told[0])["state"]["values"], kappa["values"]);
    EXPECT_EQ(Json::parse(told[1])["state"]["power"], "on");
    EXPECT_EQ(Json::parse(told[2])["change"], "chain");
    EXPECT_EQ(Json::parse(told[2])["chain"]["length"], 2);

    // The command listing names every command with its values.
    const Json commands = commandsJson()["commands"];
    EXPECT_EQ(commands.size(), commandCatalogue().size());
    EXPECT_EQ(commands[0]["name"], "panTilt.drive");
    EXPECT_EQ(commands[0]["values"][1], (Json{{"name", "panSpeed"}, {"min", 1}, {"max", 24}}));
}
