// The HTTP side of the JSON API server, free of sockets: one request read
// from the bytes a connection has sent so far, within fixed bounds, and
// the texts it is answered with. A WebSocket upgrade is read the same way
// and checked before the WebSocket layer is handed the connection.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "net/api.h"

namespace orbus::net {

// The request line and headers together, CRLF CRLF included.
constexpr std::size_t kMaxHttpHead = 8 * 1024;
constexpr std::size_t kMaxHttpHeaders = 64;
// A request's body: one message.
constexpr std::size_t kMaxHttpBody = kMaxMessage;

struct HttpRequest {
    std::string method;                         // "GET"
    std::string path;                           // "/api/chain", percent-decoded
    std::map<std::string, std::string> query;   // decoded; the last of a repeated name
    std::map<std::string, std::string> headers; // names in lower case; repeats joined by ", "
    std::string body;
};

struct HttpRead {
    enum State {
        Incomplete,  // more bytes are needed
        Complete,    // `request` is whole; it took `length` bytes
        Bad,         // answer `status` with `reason`, then close
    };
    State state = Incomplete;
    int status = 0;
    std::string reason;
    HttpRequest request;
    std::size_t length = 0;
};

// Reads the first request of `bytes`. Only Content-Length bodies are
// taken; a head over kMaxHttpHead or a body over kMaxHttpBody is refused
// (431, 413) as soon as that is known.
HttpRead readHttpRequest(std::string_view bytes);

// "200 OK", "404 Not Found", ...
const char* httpStatusText(int status);
// A whole response that closes the connection.
std::string httpResponse(int status, std::string_view contentType, std::string_view body);

// The token a request presents: "Authorization: Bearer X", else ?token=X.
std::string presentedToken(const HttpRequest& request);
// Compared in a time that does not tell how much of it matched.
bool tokenMatches(std::string_view presented, std::string_view token);

bool isWebSocketUpgrade(const HttpRequest& request);
// No Origin header (a script, curl), or one naming the host the request
// was sent to (the panel's own page). A page from elsewhere may not drive
// the cameras through a browser on this machine.
bool sameOrigin(const HttpRequest& request);
// No Host header, or one naming this machine by a loopback address or
// "localhost". A service without a token listens on loopback only; it
// answers nothing sent under another name, which a page could have made
// resolve to 127.0.0.1 to reach it through a browser on this machine.
bool loopbackHost(const HttpRequest& request);

}  // namespace orbus::net
