#include "net/api.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <variant>

#include "link/packet.h"
#include "net/api_catalogue.h"
#include "platform/hex.h"
#include "profile/catalogue.h"

namespace orbus::net {

namespace {

// ---- words -------------------------------------------------------------------------

// A text of the client's in a refusal: quoted, cut short at a whole
// character, control characters shown as '?'.
std::string clientText(std::string_view text) {
    constexpr std::size_t kLimit = 40;
    std::string s(text.substr(0, kLimit));
    if (text.size() > kLimit) {
        // Back off to the start of a character, then say it was cut.
        while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80) s.pop_back();
        if (!s.empty() && static_cast<unsigned char>(s.back()) >= 0xC0) s.pop_back();
        s += "...";
    }
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return "\"" + s + "\"";
}

std::string rangeText(int lo, int hi) { return std::to_string(lo) + " to " + std::to_string(hi); }

// ---- reading -----------------------------------------------------------------------

// The first place the text nests arrays and objects deeper than the limit;
// strings are skipped, escapes and all.
bool nestsTooDeep(std::string_view text) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') inString = true;
        else if (c == '[' || c == '{') {
            if (++depth > kMaxNesting) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

// A whole number, clamped into long long; nothing for anything else.
std::optional<long long> wholeNumber(const Json& v) {
    if (v.is_number_unsigned()) {
        const auto u = v.get<unsigned long long>();
        return u > static_cast<unsigned long long>(std::numeric_limits<long long>::max())
                   ? std::numeric_limits<long long>::max()
                   : static_cast<long long>(u);
    }
    if (v.is_number_integer()) return v.get<long long>();
    return std::nullopt;
}

Request refused(Request r, std::string why) {
    r.kind = Request::Kind::Refused;
    r.error = std::move(why);
    r.packets.clear();
    return r;
}

// The members a message of its kind may hold besides `id`; the first other one.
std::optional<std::string> strangeMember(const Json& message, const std::vector<std::string>& allowed) {
    for (const auto& [key, value] : message.items()) {
        if (key == "id") continue;
        if (std::find(allowed.begin(), allowed.end(), key) == allowed.end()) return key;
    }
    return std::nullopt;
}

// The camera a command or packet goes to; a refusal in words otherwise.
std::variant<int, std::string> cameraOf(const Json& message, const RequestContext& context) {
    const int length = context.chain ? context.chain->length() : 0;
    const int last = length > 0 ? length : model::Chain::kMaxCameras;
    if (!message.contains("camera")) return "camera missing: a number from 1 to " + std::to_string(last);
    const Json& v = message["camera"];
    const std::optional<long long> n = wholeNumber(v);
    if (!n) return "camera must be a whole number from 1 to " + std::to_string(last);
    if (*n < 1 || *n > last) return "camera " + v.dump() + " is not in the chain (1 to " + std::to_string(last) + ")";
    return static_cast<int>(*n);
}

// One value of a command, checked against its kind and range for this camera.
std::variant<int, std::string> valueOf(const Json& message, const CommandDef& command, const ValueDef& def,
                                       const model::Camera& camera) {
    const std::string name = "value \"" + def.name + "\"";
    if (!message.contains(def.name)) return name + " missing";
    const Json& v = message[def.name];
    switch (def.kind) {
    case ValueKind::Switch:
        if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
        if (v.is_string() && v.get_ref<const std::string&>() == "on") return 1;
        if (v.is_string() && v.get_ref<const std::string&>() == "off") return 0;
        return name + " must be \"on\" or \"off\"";
    case ValueKind::Choice: {
        if (v.is_string()) {
            const auto& s = v.get_ref<const std::string&>();
            const auto it = std::find(def.choices.begin(), def.choices.end(), s);
            if (it != def.choices.end()) return static_cast<int>(it - def.choices.begin());
        }
        std::string list;
        for (const std::string& c : def.choices) list += (list.empty() ? "" : ", ") + c;
        return name + " must be one of: " + list;
    }
    case ValueKind::Number: break;
    }
    const auto [lo, hi] = valueRange(command, def, camera);
    const std::optional<long long> n = wholeNumber(v);
    if (!n) return name + " must be a whole number from " + rangeText(lo, hi);
    if (*n < lo || *n > hi) return name + " out of range: " + rangeText(lo, hi);
    return static_cast<int>(*n);
}

// "81 01 04 07 02 FF": blank-separated hexadecimal bytes (a word of several
// pairs counts as its bytes); nothing for anything else.
std::optional<Bytes> hexPacket(std::string_view text) {
    Bytes out;
    std::size_t i = 0;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) return std::nullopt;
        const int hi = digit(text[i]), lo = digit(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        i += 2;
        if (out.size() > kMaxPacket) return out;  // long enough to refuse
    }
    return out;
}

Request readCommand(Request r, const Json& message, const RequestContext& context) {
    const Json& name = message["command"];
    if (!name.is_string()) return refused(r, "command must be a name, as \"zoom.tele\"");
    const CommandDef* command = findCommand(name.get_ref<const std::string&>());
    if (!command) return refused(r, "unknown command " + clientText(name.get_ref<const std::string&>()));
    r.command = command->name;
    const auto camera = cameraOf(message, context);
    if (const auto* why = std::get_if<std::string>(&camera)) return refused(r, *why);
    r.camera = std::get<int>(camera);
    std::vector<std::string> allowed{"camera", "command"};
    for (const ValueDef& v : command->values) allowed.push_back(v.name);
    if (const auto strange = strangeMember(message, allowed))
        return refused(r, "unknown member " + clientText(*strange) + " for " + command->name);

    model::Camera record;
    if (context.chain) record = *context.chain->camera(r.camera);
    record.address = r.camera;
    if (command->name.rfind("panTilt.", 0) == 0 && record.identity.known() && record.identity.series != Series::PanTilt)
        return refused(r, "camera " + std::to_string(r.camera) + " (" + record.identity.name + ") has no pan-tilt head");

    ValueSet values;
    for (const ValueDef& def : command->values) {
        const auto v = valueOf(message, *command, def, record);
        if (const auto* why = std::get_if<std::string>(&v)) return refused(r, *why);
        values[def.name] = std::get<int>(v);
    }
    r.packets = commandPackets(*command, values, record);
    const bool sound = !r.packets.empty() && std::all_of(r.packets.begin(), r.packets.end(), [](const Bytes& p) {
        return wellFormedPacket(p) && p.size() <= kMaxPacket;
    });
    if (!sound) return refused(r, "command " + command->name + " has no packet for camera " + std::to_string(r.camera));
    r.kind = Request::Kind::Command;
    return r;
}

Request readPacket(Request r, const Json& message, const RequestContext& context) {
    if (!context.rawPackets) return refused(r, "raw packets are not allowed");
    const auto camera = cameraOf(message, context);
    if (const auto* why = std::get_if<std::string>(&camera)) return refused(r, *why);
    r.camera = std::get<int>(camera);
    if (const auto strange = strangeMember(message, {"camera", "packet"}))
        return refused(r, "unknown member " + clientText(*strange) + " for a packet");
    const Json& text = message["packet"];
    const std::optional<Bytes> bytes = text.is_string() ? hexPacket(text.get_ref<const std::string&>()) : std::nullopt;
    if (!bytes) return refused(r, "packet must be hexadecimal bytes, as \"81 01 04 07 02 FF\"");
    Bytes p = *bytes;
    if (p.size() < 3 || p.size() > kMaxPacket)
        return refused(r, "packet of " + std::to_string(p.size()) + " bytes: a packet has 3 to " + std::to_string(kMaxPacket));
    if ((p.front() & 0xF0) != 0x80) return refused(r, "packet must start with a header byte 8x");
    p.front() = static_cast<std::uint8_t>(0x80 + r.camera);
    if (!wellFormedPacket(p)) return refused(r, "packet is not well formed: data bytes 00 to 7F, one FF at the end");
    r.packets = {p};
    r.kind = Request::Kind::Packet;
    return r;
}

}  // namespace

Request parseRequest(std::string_view message, const RequestContext& context) {
    Request r;
    if (message.size() > kMaxMessage) return refused(r, "message over 64 KiB");
    if (std::all_of(message.begin(), message.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }))
        return refused(r, "empty message");
    if (nestsTooDeep(message)) return refused(r, "message nested deeper than " + std::to_string(kMaxNesting) + " levels");
    Json m;
    try {
        m = Json::parse(message);
    } catch (const Json::parse_error& e) {
        return refused(r, "malformed JSON at byte " + std::to_string(e.byte));
    } catch (const Json::exception&) {
        return refused(r, "malformed JSON");
    }
    if (!m.is_object()) return refused(r, "a message is a JSON object");
    if (m.contains("id")) {
        if (!m["id"].is_number() && !m["id"].is_string()) return refused(r, "id must be a number or a text");
        r.id = m["id"];
    }

    static const char* const kKinds[] = {"command", "packet", "subscribe", "heartbeat"};
    int kinds = 0;
    for (const char* k : kKinds) kinds += m.contains(k) ? 1 : 0;
    if (kinds != 1) return refused(r, "a message holds one of \"command\", \"packet\", \"subscribe\" or \"heartbeat\"");

    if (m.contains("command")) return readCommand(r, m, context);
    if (m.contains("packet")) return readPacket(r, m, context);
    const char* flag = m.contains("subscribe") ? "subscribe" : "heartbeat";
    if (const auto strange = strangeMember(m, {flag})) return refused(r, "unknown member " + clientText(*strange) + " for " + flag);
    if (!m[flag].is_boolean()) return refused(r, std::string(flag) + " must be true or false");
    if (m.contains("subscribe")) {
        r.kind = Request::Kind::Subscribe;
        r.subscribe = m[flag].get<bool>();
    } else {
        r.kind = Request::Kind::Heartbeat;
    }
    return r;
}

// ---- answers -----------------------------------------------------------------------------

std::string jsonText(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

Json answerJson(const Json& id, const std::vector<Bytes>& replies) {
    Json shown = Json::array();
    for (Bytes b : replies) {
        if (!b.empty() && replyCamera(b.front()) != 0) b.front() = 0x90;
        shown.push_back(hexBytes(b));
    }
    Json out = Json::object();
    out["id"] = id;
    out["replies"] = std::move(shown);
    return out;
}

Json errorJson(const Json& id, std::string_view error) {
    Json out = Json::object();
    out["id"] = id;
    out["error"] = std::string(error);
    return out;
}

Json subscribedJson(const Json& id, bool subscribed, const model::Chain& chain) {
    Json out = Json::object();
    out["id"] = id;
    out["subscribed"] = subscribed;
    if (subscribed) out["chain"] = chainJson(chain);
    return out;
}

const char* aspectName(model::Chain::Aspect aspect) {
    using A = model::Chain::Aspect;
    switch (aspect) {
    case A::Chain: return "chain";
    case A::Identity: return "identity";
    case A::Status: return "status";
    case A::Power: return "power";
    case A::PanTilt: return "panTilt";
    case A::Conditions: return "conditions";
    case A::Link: return "link";
    }
    return "unknown";
}

namespace {

// The values of the camera's last status read under the profile's names.
Json valuesJson(const model::Camera& camera, Json& texts) {
    Json values = Json::object();
    if (!camera.status) return values;
    const profile::ModelView view(camera);
    profile::Reading reading;
    reading.status = *camera.status;
    for (const profile::SettingDef& s : profile::catalogue()) {
        if (!view.has(s)) continue;
        const std::optional<int> v = s.read(reading);
        if (!v) continue;
        if (s.kind == profile::Kind::Number) values[s.key] = *v;
        else if (s.kind == profile::Kind::Choice && !profile::choiceCode(s, profile::valueText(s, *v))) values[s.key] = *v;
        else values[s.key] = profile::valueText(s, *v);
    }
    // The exposure values as the panel's labels name them.
    if (const auto& c = camera.status->camera) {
        const std::pair<const char*, const std::string*> shown[] = {{"exposure.shutter", &c->shutterText},
                                                                     {"exposure.iris", &c->irisText},
                                                                     {"exposure.gain", &c->gainText},
                                                                     {"exposure.bright", &c->brightText},
                                                                     {"exposure.compensationLevel", &c->expCompText}};
        for (const auto& [key, text] : shown) {
            if (!text->empty()) texts[key] = *text;
        }
    }
    if (const auto& o = camera.status->other; o && !o->videoSystemText.empty()) texts["videoSystem"] = o->videoSystemText;
    return values;
}

}  // namespace

Json cameraJson(const model::Camera& camera) {
    Json out = Json::object();
    out["address"] = camera.address;
    const model::Identity& id = camera.identity;
    out["model"] = id.name.empty() ? Json() : Json(id.name);
    out["series"] = id.series == Series::PanTilt ? Json("pan-tilt") : id.series == Series::Block ? Json("block") : Json();
    // It has answered the panel: it told who it is, or replied since.
    out["answering"] = id.known() || camera.link.lastReplyAt >= 0;
    out["power"] = !camera.power                                 ? Json()
                   : *camera.power == status::PowerState::On  ? Json("on")
                   : *camera.power == status::PowerState::Off ? Json("off")
                                                              : Json();
    Json texts = Json::object();
    out["values"] = valuesJson(camera, texts);
    out["texts"] = std::move(texts);
    if (camera.panTilt) {
        Json head = Json::object();
        const status::PanTiltStatus& h = *camera.panTilt;
        if (h.pan) head["pan"] = *h.pan;
        if (h.tilt) head["tilt"] = *h.tilt;
        if (h.panSpeedMax) head["panSpeedMax"] = *h.panSpeedMax;
        if (h.tiltSpeedMax) head["tiltSpeedMax"] = *h.tiltSpeedMax;
        out["panTilt"] = std::move(head);
    }
    out["link"] = {{"inFlight", camera.link.inFlight}, {"waiting", camera.link.waiting}};
    return out;
}

Json chainJson(const model::Chain& chain) {
    Json out = Json::object();
    out["length"] = chain.length();
    out["driven"] = chain.driven();
    Json cameras = Json::array();
    for (int a = 1; a <= chain.length(); ++a) cameras.push_back(cameraJson(*chain.camera(a)));
    out["cameras"] = std::move(cameras);
    return out;
}

Json changeJson(const model::Chain& chain, int camera, model::Chain::Aspect aspect) {
    Json out = Json::object();
    out["change"] = aspectName(aspect);
    const model::Camera* c = chain.camera(camera);
    if (aspect == model::Chain::Aspect::Chain || !c) {
        out["change"] = "chain";
        out["chain"] = chainJson(chain);
        return out;
    }
    out["camera"] = camera;
    out["state"] = cameraJson(*c);
    return out;
}

Json commandsJson() {
    Json list = Json::array();
    for (const CommandDef& c : commandCatalogue()) {
        Json values = Json::array();
        for (const ValueDef& v : c.values) {
            Json value = Json::object();
            value["name"] = v.name;
            switch (v.kind) {
            case ValueKind::Number:
                value["min"] = v.min;
                value["max"] = v.max;
                break;
            case ValueKind::Choice: value["choices"] = v.choices; break;
            case ValueKind::Switch: value["choices"] = {"on", "off"}; break;
            }
            values.push_back(std::move(value));
        }
        list.push_back({{"name", c.name}, {"does", c.does}, {"values", std::move(values)}});
    }
    return {{"commands", std::move(list)}};
}

}  // namespace orbus::net
