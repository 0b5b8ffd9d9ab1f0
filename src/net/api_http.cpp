#include "net/api_http.h"

#include <algorithm>
#include <cctype>

namespace orbus::net {

namespace {

constexpr std::string_view kCrlf = "\r\n";

bool tokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Percent-decoded; '+' is a space in a query. False when an escape is broken.
bool decode(std::string_view in, bool query, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c == '%') {
            if (i + 2 >= in.size()) return false;
            const int hi = hexDigit(in[i + 1]);
            const int lo = hexDigit(in[i + 2]);
            if (hi < 0 || lo < 0) return false;
            out.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        } else {
            out.push_back(query && c == '+' ? ' ' : c);
        }
    }
    return true;
}

HttpRead bad(int status, std::string reason) {
    HttpRead r;
    r.state = HttpRead::Bad;
    r.status = status;
    r.reason = std::move(reason);
    return r;
}

}  // namespace

HttpRead readHttpRequest(std::string_view bytes) {
    const std::size_t headEnd = bytes.substr(0, kMaxHttpHead).find("\r\n\r\n");
    if (headEnd == std::string_view::npos) {
        if (bytes.size() >= kMaxHttpHead) return bad(431, "request head over 8 KiB");
        return {};
    }
    std::string_view head = bytes.substr(0, headEnd + 2);
    HttpRead r;
    HttpRequest& q = r.request;

    // The request line: METHOD SP TARGET SP HTTP/1.x
    const std::size_t lineEnd = head.find(kCrlf);
    const std::string_view line = head.substr(0, lineEnd);
    head.remove_prefix(lineEnd + 2);
    const std::size_t sp1 = line.find(' ');
    const std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
    if (sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos)
        return bad(400, "malformed request line");
    const std::string_view method = line.substr(0, sp1);
    const std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    const std::string_view version = line.substr(sp2 + 1);
    if (method.empty() || !std::all_of(method.begin(), method.end(), tokenChar)) return bad(400, "malformed method");
    if (version != "HTTP/1.1" && version != "HTTP/1.0") return bad(505, "only HTTP/1.0 and 1.1 are spoken");
    if (target.empty() || target.front() != '/') return bad(400, "the target must be a path");
    for (char c : target)
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) return bad(400, "malformed target");
    q.method = std::string(method);
    const std::size_t mark = target.find('?');
    if (!decode(target.substr(0, mark), false, q.path)) return bad(400, "malformed target");
    if (mark != std::string_view::npos) {
        std::string_view rest = target.substr(mark + 1);
        while (!rest.empty()) {
            const std::size_t amp = rest.find('&');
            const std::string_view pair = rest.substr(0, amp);
            rest = amp == std::string_view::npos ? std::string_view{} : rest.substr(amp + 1);
            const std::size_t eq = pair.find('=');
            std::string name, value;
            if (!decode(pair.substr(0, eq), true, name) ||
                !decode(eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1), true, value))
                return bad(400, "malformed query");
            if (!name.empty()) q.query[name] = value;
        }
    }

    // The headers.
    std::size_t count = 0;
    while (!head.empty()) {
        const std::size_t end = head.find(kCrlf);
        const std::string_view h = head.substr(0, end);
        head.remove_prefix(end + 2);
        if (++count > kMaxHttpHeaders) return bad(431, "too many headers");
        const std::size_t colon = h.find(':');
        if (colon == 0 || colon == std::string_view::npos) return bad(400, "malformed header");
        const std::string_view name = h.substr(0, colon);
        if (!std::all_of(name.begin(), name.end(), tokenChar)) return bad(400, "malformed header");
        const std::string_view value = trim(h.substr(colon + 1));
        for (char c : value)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) return bad(400, "malformed header");
        std::string& slot = q.headers[lower(name)];
        slot += (slot.empty() ? "" : ", ") + std::string(value);
    }

    // The body.
    if (q.headers.count("transfer-encoding")) return bad(501, "only bodies with a Content-Length are taken");
    std::size_t bodyLength = 0;
    if (const auto it = q.headers.find("content-length"); it != q.headers.end()) {
        const std::string& v = it->second;
        if (v.empty() || v.size() > 9 || !std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return bad(400, "malformed Content-Length");
        bodyLength = std::stoul(v);
        if (bodyLength > kMaxHttpBody) return bad(413, "message over 64 KiB");
    }
    const std::size_t start = headEnd + 4;
    if (bytes.size() < start + bodyLength) return {};
    q.body = std::string(bytes.substr(start, bodyLength));
    r.state = HttpRead::Complete;
    r.length = start + bodyLength;
    return r;
}

const char* httpStatusText(int status) {
    switch (status) {
    case 200: return "200 OK";
    case 400: return "400 Bad Request";
    case 401: return "401 Unauthorized";
    case 403: return "403 Forbidden";
    case 404: return "404 Not Found";
    case 405: return "405 Method Not Allowed";
    case 408: return "408 Request Timeout";
    case 413: return "413 Content Too Large";
    case 431: return "431 Request Header Fields Too Large";
    case 501: return "501 Not Implemented";
    case 503: return "503 Service Unavailable";
    case 505: return "505 HTTP Version Not Supported";
    default: return "500 Internal Server Error";
    }
}

std::string httpResponse(int status, std::string_view contentType, std::string_view body) {
    std::string out = "HTTP/1.1 ";
    out += httpStatusText(status);
    out += "\r\nContent-Type: ";
    out += contentType;
    out += "\r\nContent-Length: " + std::to_string(body.size());
    out += "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\nConnection: close\r\n";
    if (status == 401) out += "WWW-Authenticate: Bearer\r\n";
    out += "\r\n";
    out += body;
    return out;
}

std::string presentedToken(const HttpRequest& request) {
    if (const auto it = request.headers.find("authorization"); it != request.headers.end()) {
        const std::string_view v = it->second;
        if (v.size() > 7 && lower(v.substr(0, 7)) == "bearer ") return std::string(trim(v.substr(7)));
    }
    const auto it = request.query.find("token");
    return it == request.query.end() ? std::string{} : it->second;
}

bool tokenMatches(std::string_view presented, std::string_view token) {
    unsigned diff = presented.size() == token.size() ? 0u : 1u;
    for (std::size_t i = 0; i < presented.size(); ++i)
        diff |= static_cast<unsigned char>(presented[i]) ^ static_cast<unsigned char>(token.empty() ? 0 : token[i % token.size()]);
    return diff == 0 && !token.empty();
}

bool isWebSocketUpgrade(const HttpRequest& request) {
    const auto upgrade = request.headers.find("upgrade");
    return request.method == "GET" && upgrade != request.headers.end() && lower(upgrade->second) == "websocket";
}

bool sameOrigin(const HttpRequest& request) {
    const auto origin = request.headers.find("origin");
    if (origin == request.headers.end()) return true;
    const auto host = request.headers.find("host");
    if (host == request.headers.end()) return false;
    const std::string o = lower(origin->second);
    const std::string h = lower(host->second);
    return o == "http://" + h || o == "https://" + h;
}

bool loopbackHost(const HttpRequest& request) {
    const auto host = request.headers.find("host");
    if (host == request.headers.end()) return true;
    std::string h = lower(host->second);
    // The name without its port: "[::1]:8711", "127.0.0.1:8711", "localhost".
    if (!h.empty() && h.front() == '[') {
        const std::size_t end = h.find(']');
        if (end == std::string::npos) return false;
        h = h.substr(1, end - 1);
        return h == "::1";
    }
    h = h.substr(0, h.find(':'));
    if (h == "localhost") return true;
    // 127.0.0.0/8, written as four decimal numbers.
    int parts = 0, value = -1;
    bool first127 = false;
    for (std::size_t i = 0; i <= h.size(); ++i) {
        if (i == h.size() || h[i] == '.') {
            if (value < 0 || value > 255) return false;
            if (parts == 0) first127 = value == 127;
            ++parts;
            value = -1;
            continue;
        }
        if (h[i] < '0' || h[i] > '9') return false;
        value = (value < 0 ? 0 : value * 10) + (h[i] - '0');
        if (value > 255) return false;
    }
    return parts == 4 && first127;
}

}  // namespace orbus::net
