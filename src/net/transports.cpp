#include "net/transports.h"

#include <algorithm>

namespace orbus::net {

bool isLoopback(const std::string& a) {
    return a == "localhost" || a == "::1" || a == "[::1]" || a.rfind("127.", 0) == 0 ||
           a.rfind("::ffff:127.", 0) == 0;
}

BindChoice chooseBind(const std::string& address, const std::string& token) {
    if (address.empty() || isLoopback(address)) return {address.empty() ? "127.0.0.1" : address, ""};
    if (!token.empty()) return {address, ""};
    return {"127.0.0.1", "Remote control stays on 127.0.0.1: listening on " + address +
                             " needs a token (--remote-token TOKEN), so that no one else on the network drives "
                             "the cameras."};
}

bool admitted(const ListenPlan& plan, const std::string& host) {
    return isLoopback(host) || std::find(plan.allowed.begin(), plan.allowed.end(), host) != plan.allowed.end();
}

}  // namespace orbus::net
