#include "link/classify.h"

#include <vector>

#include "platform/text.h"


namespace orbus {

namespace {

char up(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Matches one character against the set starting at pattern[p] ('[' already
// seen); sets next to the index after ']'. A set without ']' matches nothing.
bool matchSet(char c, std::string_view pattern, std::size_t p, std::size_t& next) {
    bool negate = false;
    if (p < pattern.size() && pattern[p] == '!') {
        negate = true;
        ++p;
    }
    bool hit = false;
    std::size_t i = p;
    for (; i < pattern.size() && pattern[i] != ']'; ++i) {
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            if (up(c) >= up(pattern[i]) && up(c) <= up(pattern[i + 2])) hit = true;
            i += 2;
        } else if (up(c) == up(pattern[i])) {
            hit = true;
        }
    }
    if (i >= pattern.size()) return false;
    next = i + 1;
    return hit != negate;
}

}  // namespace

bool likeMatch(std::string_view text, std::string_view pattern) {
    std::size_t t = 0, p = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starT = t;
            continue;
        }
        if (p < pattern.size()) {
            std::size_t next = p + 1;
            bool ok;
            if (pattern[p] == '?') {
                ok = true;
            } else if (pattern[p] == '[') {
                ok = matchSet(text[t], pattern, p + 1, next);
            } else {
                ok = up(text[t]) == up(pattern[p]);
            }
            if (ok) {
                ++t;
                p = next;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string_view lastReplyText(std::string_view log) {
    const std::size_t n = log.size();
    int seen = 0;
    std::size_t i = 2;
    for (; i <= n; ++i) {
        std::size_t start = n - i;
        if (up(log[start]) == 'F' && up(log[start + 1]) == 'F') {
            if (++seen == 2) break;
        }
    }
    if (i > n) i = n;
    return log.substr(n - i);
}

int replyCameraOf(std::string_view r) {
    std::vector<int> bytes;
    for (std::size_t i = 0; i + 1 < r.size();) {
        const int hi = hexDigit(r[i]), lo = hexDigit(r[i + 1]);
        if (hi < 0 || lo < 0) {
            ++i;
            continue;
        }
        bytes.push_back(hi * 16 + lo);
        i += 2;
    }
    // The header follows the terminator before the last one.
    std::size_t header = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF) header = i + 1;
    }
    if (header >= bytes.size()) return 0;
    const int h = bytes[header];
    return (h & 0x0F) == 0 && h >= 0x90 ? (h >> 4) - 8 : 0;
}

Bytes lastReplyBytes(std::string_view r) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < r.size();) {
        const int hi = hexDigit(r[i]), lo = hexDigit(r[i + 1]);
        if (hi < 0 || lo < 0) {
            ++i;
            continue;
        }
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        i += 2;
    }
    std::size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] != 0xFF) --end;
    if (end == 0) return {};
    std::size_t start = end - 1;
    while (start > 0 && bytes[start - 1] != 0xFF) --start;
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

bool isBufferFull(std::string_view r) {
    // The last reply only: "y0 60 03 FF".
    return likeMatch(r, "*[9A-F]0?60?03?FF") || likeMatch(r, "*[9A-F]0?60?03?FF?");
}

ReplyClass classifyReply(std::string_view r) {
    ReplyClass c;
    c.completion = likeMatch(r, "*[9A-F]0?5??FF*");
    c.error = likeMatch(r, "*[9A-F]0?6?????FF*");
    c.acknowledge = likeMatch(r, "*[9A-F]0?4??FF*");
    c.inquiryAnswer = likeMatch(r, "*[9A-F]0?50*FF*");
    c.networkChange = likeMatch(r, "*[9A-F]0?38?FF*");
    c.ifClear = likeMatch(r, "*88?01?00?01?FF*");
    c.addressSet = likeMatch(r, "*88?30?0??FF*");
    return c;
}

}  // namespace orbus
