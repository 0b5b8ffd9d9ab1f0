// The API server's HTTP reader on any bytes: it never reads past what it
// was given, never takes a body over its bound, and reading a longer run
// of the same bytes never changes a request already read whole.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "net/api_http.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orbus::net;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const HttpRead r = readHttpRequest(bytes);
    if (r.state == HttpRead::Complete) {
        orbus::fuzz::check(r.length <= size, "a request within the bytes given");
        orbus::fuzz::check(r.request.body.size() <= kMaxHttpBody, "a body within its bound");
        const HttpRead again = readHttpRequest(bytes.substr(0, r.length));
        orbus::fuzz::check(again.state == HttpRead::Complete && again.length == r.length && again.request.body == r.request.body,
                           "the request's own bytes read the same");
    }
    if (r.state == HttpRead::Bad) orbus::fuzz::check(r.status >= 400 && r.status < 600, "a refusal is an error status");
    if (r.state == HttpRead::Incomplete) orbus::fuzz::check(size < kMaxHttpHead + kMaxHttpBody + 4, "waiting is bounded");
    return 0;
}
