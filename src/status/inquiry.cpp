#include "status/inquiry.h"

#include "status/status_link.h"

namespace orbus {

bool acceptedReply(const Bytes& r, int length) {
    if (length < 2 || r.size() < static_cast<std::size_t>(length)) return false;
    return (r[0] & 0x80) && r[1] == 0x50 && r[static_cast<std::size_t>(length - 1)] == 0xFF;
}

namespace {
Bytes packet(int header, const std::string& body) {
    Bytes p;
    p.push_back(static_cast<std::uint8_t>(header));
    for (std::size_t i = 0; i + 1 < body.size(); i += 3) {
        p.push_back(static_cast<std::uint8_t>(std::stoi(body.substr(i, 2), nullptr, 16)));
    }
    p.push_back(0xFF);
    return p;
}
}  // namespace

link::Async<std::optional<Bytes>> inquireCounted(status::StatusLink& link, std::string body, int length, long code) {
    const Bytes p = packet(link.header(), body);
    for (int attempts = 0;;) {
        Bytes out = co_await link.ask(p, length);
        if (link.abandoned()) co_return std::nullopt;
        if (++attempts >= kInquiryAttempts) {
            link.gaveUp(code);
            co_return std::nullopt;
        }
        // Overtaken by a command or another camera, an answer is of no use;
        // a camera that does not answer still counts towards giving up.
        if (acceptedReply(out, length)) co_return link.overtaken() ? std::nullopt : std::optional<Bytes>(out);
    }
}

link::Async<std::optional<Bytes>> inquireBlock(status::StatusLink& link, std::string body, int length, long code) {
    const Bytes p = packet(link.header(), body);
    for (int attempts = 0;;) {
        Bytes out = co_await link.ask(p, length);
        if (link.abandoned()) co_return std::nullopt;
        if (acceptedReply(out, length)) co_return link.overtaken() ? std::nullopt : std::optional<Bytes>(out);
        if (++attempts >= kInquiryAttempts) {
            link.gaveUp(code);
            co_return std::nullopt;
        }
    }
}

bool holdsNibbles(const Bytes& r, std::size_t i, int n) {
    if (i + static_cast<std::size_t>(n) > r.size()) return false;
    for (int k = 0; k < n; ++k) {
        if (r[i + static_cast<std::size_t>(k)] > 0x0F) return false;
    }
    return true;
}

int nibbles(const Bytes& r, std::size_t i, int n) {
    int v = 0;
    for (int k = 0; k < n; ++k) {
        const std::size_t at = i + static_cast<std::size_t>(k);
        v = v * 16 + (at < r.size() ? r[at] : 0);
    }
    return v;
}

}  // namespace orbus
