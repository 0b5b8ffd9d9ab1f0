// The API server's HTTP reader: a request is taken whole or waited for,
// and anything oversized or malformed is refused with its status before it
// is buffered; the token and the origin checks.
#include <gtest/gtest.h>

#include <string>

#include "net/api_http.h"

namespace orbus::net {
namespace {

TEST(NetApiHttp, ReadsARequestWholeWaitsForTheRestAndRefusesWhatIsTooLongOrMalformed) {
    const std::string bigHead = "GET / HTTP/1.1\r\nX: " + std::string(kMaxHttpHead, 'a');
    const struct {
        const char* what;
        std::string bytes;
        HttpRead::State state;
        int status;  // Bad
    } rows[] = {
        {"a GET", "GET /api/chain HTTP/1.1\r\nHost: x\r\n\r\n", HttpRead::Complete, 0},
        {"the head not ended", "GET /api/chain HTTP/1.1\r\nHost: x\r\n", HttpRead::Incomplete, 0},
        {"a body still coming", "POST /api/command HTTP/1.1\r\nContent-Length: 10\r\n\r\n{\"a\":", HttpRead::Incomplete, 0},
        {"a head over 8 KiB", bigHead, HttpRead::Bad, 431},
        {"a body over 64 KiB, known from its length", "POST / HTTP/1.1\r\nContent-Length: 65537\r\n\r\n", HttpRead::Bad, 413},
        {"a length too long to read", "POST / HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n", HttpRead::Bad, 400},
        {"a signed length", "POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", HttpRead::Bad, 400},
        {"a chunked body", "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", HttpRead::Bad, 501},
        {"no version", "GET /\r\n\r\n", HttpRead::Bad, 400},
        {"another protocol", "GET / SPDY/3\r\n\r\n", HttpRead::Bad, 505},
        {"a target not a path", "GET http://x/ HTTP/1.1\r\n\r\n", HttpRead::Bad, 400},
        {"a broken escape", "GET /a%G1 HTTP/1.1\r\n\r\n", HttpRead::Bad, 400},
        {"a header without a name", "GET / HTTP/1.1\r\n: x\r\n\r\n", HttpRead::Bad, 400},
        {"a folded header", "GET / HTTP/1.1\r\nA: b\r\n c\r\n\r\n", HttpRead::Bad, 400},
        {"a control byte in a value", std::string("GET / HTTP/1.1\r\nA: b") + '\0' + "c\r\n\r\n", HttpRead::Bad, 400},
    };
    for (const auto& row : rows) {
        const HttpRead r = readHttpRequest(row.bytes);
        EXPECT_EQ(r.state, row.state) << row.what << ": " << r.reason;
        if (row.state == HttpRead::Bad) {
            EXPECT_EQ(r.status, row.status) << row.what;
        }
    }

    const std::string two = "POST /api/command?token=a%2Bb+c&x HTTP/1.1\r\nContent-Length: 4\r\nX-A: 1\r\nx-a: 2\r\n\r\nbodyGET";
    const HttpRead r = readHttpRequest(two);
    ASSERT_EQ(r.state, HttpRead::Complete);
    EXPECT_EQ(r.length, two.size() - 3);  // the next request's bytes are not this one's
    EXPECT_EQ(r.request.body, "body");
    EXPECT_EQ(r.request.path, "/api/command");
    EXPECT_EQ(r.request.query.at("token"), "a+b c");
    EXPECT_EQ(r.request.headers.at("x-a"), "1, 2");
}

TEST(NetApiHttp, TokenAndOriginChecks) {
    const auto request = [](const std::string& head) { return readHttpRequest(head + "\r\n").request; };
    const struct {
        const char* what;
        std::string head;
        bool tokenOk;  // against "s3cret"
        bool sameOrigin;
    } rows[] = {
        {"none", "GET /api HTTP/1.1\r\nHost: h:1\r\n", false, true},
        {"bearer", "GET /api HTTP/1.1\r\nHost: h:1\r\nAuthorization: Bearer s3cret\r\n", true, true},
        {"bearer in other case", "GET /api HTTP/1.1\r\nauthorization: bearer  s3cret\r\n", true, true},
        {"query", "GET /api?token=s3cret HTTP/1.1\r\nHost: h:1\r\n", true, true},
        {"a prefix of it", "GET /api?token=s3cre HTTP/1.1\r\n", false, true},
        {"longer", "GET /api?token=s3cret0 HTTP/1.1\r\n", false, true},
        {"another scheme", "GET /api HTTP/1.1\r\nAuthorization: Basic s3cret\r\n", false, true},
        {"the page's own origin", "GET /api HTTP/1.1\r\nHost: h:1\r\nOrigin: http://h:1\r\n", false, true},
        {"another origin", "GET /api HTTP/1.1\r\nHost: h:1\r\nOrigin: http://evil:1\r\n", false, false},
        {"an origin and no host", "GET /api HTTP/1.1\r\nOrigin: http://h:1\r\n", false, false},
    };
    for (const auto& row : rows) {
        const HttpRequest q = request(row.head);
        EXPECT_EQ(tokenMatches(presentedToken(q), "s3cret"), row.tokenOk) << row.what;
        EXPECT_EQ(sameOrigin(q), row.sameOrigin) << row.what;
    }
    EXPECT_FALSE(tokenMatches("", "")) << "no token set matches nothing";

    // A loopback service answers only under a loopback name.
    const struct {
        const char* host;  // nullptr: no Host header
        bool loopback;
    } hosts[] = {
        {nullptr, true},          {"127.0.0.1:8711", true}, {"127.1.2.3", true},       {"localhost:8711", true},
        {"LOCALHOST", true},      {"[::1]:8711", true},     {"evil.example:8711", false}, {"192.168.1.20:8711", false},
        {"127.0.0.1.evil", false}, {"1270.0.0.1", false},   {"127.0.0.256", false},    {"[::2]:8711", false},
        {"[::1", false},          {"", false},
    };
    for (const auto& row : hosts) {
        const std::string head =
            std::string("GET / HTTP/1.1\r\n") + (row.host ? std::string("Host: ") + row.host + "\r\n" : "");
        EXPECT_EQ(loopbackHost(request(head)), row.loopback) << (row.host ? row.host : "(none)");
    }
}

}  // namespace
}  // namespace orbus::net
