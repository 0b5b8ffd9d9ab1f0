// The JSON messages of the remote API, as pure functions the server
// calls: one request read into a value (the packets to send, or a refusal
// in words), and the texts it answers with: a camera's replies, an error,
// the chain listing, the change a subscriber is told of, the command
// listing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/chain.h"
#include "platform/serial_port.h"

namespace orbus::net {

using Json = nlohmann::ordered_json;

// A message longer than this is refused unread.
constexpr std::size_t kMaxMessage = 64 * 1024;
// Arrays and objects nested deeper than this are refused unread.
constexpr int kMaxNesting = 16;
// A raw packet holds at most this many bytes, header and FF included.
constexpr std::size_t kMaxPacket = 16;

// What reading a message is checked against.
struct RequestContext {
    // The chain: its length limits the cameras (every address 1 to 7 while
    // it is 0 or there is none), its records give each camera's model and
    // ranges.
    const model::Chain* chain = nullptr;
    // Raw packets are taken (the operator allowed them).
    bool rawPackets = false;
};

struct Request {
    enum class Kind {
        Refused,    // `error` says why; nothing goes to the line
        Command,    // a command by name
        Packet,     // a raw packet
        Subscribe,  // `subscribe`: the model's changes on or off
        Heartbeat,  // the client is still there
    };
    Kind kind = Kind::Refused;
    Json id;              // as given (a number or a text); null when none
    int camera = 0;       // Command, Packet: 1 to 7
    std::string command;  // Command: its name
    // Command, Packet: the whole packets to send to the camera, in order;
    // each well formed (header 80 + camera, data 00 to 7F, one FF at the end).
    std::vector<Bytes> packets;
    bool subscribe = false;
    std::string error;  // Refused: in words
};

Request parseRequest(std::string_view message, const RequestContext& context);

// The JSON of a value as one line; text that is not UTF-8 is mended, never thrown over.
std::string jsonText(const Json& value);

// {"id": …, "replies": ["90 41 FF", "90 51 FF"]}: each reply's address
// byte shown as 90, as if the client spoke to one camera.
Json answerJson(const Json& id, const std::vector<Bytes>& replies);
// {"id": …, "error": "…"}
Json errorJson(const Json& id, std::string_view error);
// {"id": …, "subscribed": true|false, "chain": {…}}: the answer to a
// subscription, with the chain as it stands (the changes follow it).
Json subscribedJson(const Json& id, bool subscribed, const model::Chain& chain);

// One camera of the listing: address, model, series, answering, power, the
// values its last status read decoded under the profile's names (choices
// and switches by name), the texts the panel shows for the exposure
// values, its pan-tilt head, its link.
Json cameraJson(const model::Camera& camera);
// GET /api/chain: {"length": n, "driven": d, "cameras": [one per camera 1 to length]}.
Json chainJson(const model::Chain& chain);
// What a subscriber is told of a change: {"change": "status", "camera": n,
// "state": {…}}; a change of the chain itself: {"change": "chain", "chain": {…}}.
Json changeJson(const model::Chain& chain, int camera, model::Chain::Aspect aspect);
// GET /api/commands: {"commands": [{"name", "does", "values": [{"name", "min", "max"} or {"name", "choices"}]}]}.
Json commandsJson();

// The aspect's name in a change message ("status", "panTilt").
const char* aspectName(model::Chain::Aspect aspect);

}  // namespace orbus::net
