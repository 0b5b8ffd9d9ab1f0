#include "status/inquiry.h"

#include "app/frm_main.h"
#include "app/program.h"

namespace orbus {

bool acceptedReply(const Bytes& r, int length) {
    if (length < 2 || r.size() < static_cast<std::size_t>(length)) return false;
    return (r[0] & 0x80) && r[1] == 0x50 && r[static_cast<std::size_t>(length - 1)] == 0xFF;
}

namespace {
Bytes packet(FrmMain& m, const std::vector<int>& body) {
    Bytes p;
    p.push_back(static_cast<std::uint8_t>(m.program().link.header()));
    for (int v : body) p.push_back(static_cast<std::uint8_t>(v));
    p.push_back(0xFF);
    return p;
}
}  // namespace

bool inquireCounted(FrmMain& m, const std::vector<int>& body, int length, long code, Bytes& out) {
    const Bytes p = packet(m, body);
    for (int attempts = 0;;) {
        m.SD(p, FrmMain::kQuiet);
        out = m.WaitAnswer(length);
        if (++attempts >= kInquiryAttempts) {
            m.ARError(code);
            return false;
        }
        if (acceptedReply(out, length)) return true;
    }
}

bool inquireBlock(FrmMain& m, const std::vector<int>& body, int length, long code, Bytes& out) {
    const Bytes p = packet(m, body);
    for (int attempts = 0;;) {
        m.SD(p, FrmMain::kQuiet);
        out = m.WaitAnswer(length);
        if (acceptedReply(out, length)) return true;
        if (++attempts >= kInquiryAttempts) {
            m.ARError(code);
            return false;
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
