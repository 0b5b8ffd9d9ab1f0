#include "app/remote_control.h"

#include <algorithm>
#include <cstdlib>

#include "app/program.h"
#include "platform/text.h"

namespace orbus {

namespace {

bool storedBool(const Program& p, const char* key) {
    bool b = false;
    return parseBool(p.setting(key, "False"), b) && b;
}

// A port number as stored; the fallback for anything outside 1 to 65535.
int storedPort(const Program& p, const char* key, int fallback) {
    double n = 0;
    if (!parseNumber(p.setting(key, std::to_string(fallback)), n) || n < 1 || n > 65535 || n != static_cast<int>(n))
        return fallback;
    return static_cast<int>(n);
}

const char* boolWord(bool b) { return b ? "True" : "False"; }

}  // namespace

std::vector<std::string> addressList(const std::string& text) {
    std::vector<std::string> out;
    std::string word;
    for (const char c : text + ",") {
        if (c == ',' || c == ' ' || c == ';' || c == '\t') {
            if (!word.empty() && std::find(out.begin(), out.end(), word) == out.end()) out.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return out;
}

std::string addressListText(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& a : list) out += (out.empty() ? "" : ", ") + a;
    return out;
}

RemoteChoice loadRemoteChoice(const Program& p) {
    RemoteChoice c;
    c.udp = storedBool(p, "RemoteUDP");
    c.tcp = storedBool(p, "RemoteTCP");
    c.api = storedBool(p, "RemoteAPI");
    c.address = p.setting("RemoteAddress", c.address);
    if (c.address.empty()) c.address = "127.0.0.1";
    c.udpBase = storedPort(p, "RemoteUDPPort", c.udpBase);
    c.tcpBase = storedPort(p, "RemoteTCPPort", c.tcpBase);
    c.apiPort = storedPort(p, "RemoteAPIPort", c.apiPort);
    c.token = p.setting("RemoteToken", "");
    c.rawPackets = storedBool(p, "RemoteRaw");
    c.allowed = addressList(p.setting("RemoteAllowed", ""));
    return c;
}

void saveRemoteChoice(Program& p, const RemoteChoice& c) {
    p.saveSetting("RemoteUDP", boolWord(c.udp));
    p.saveSetting("RemoteTCP", boolWord(c.tcp));
    p.saveSetting("RemoteAPI", boolWord(c.api));
    p.saveSetting("RemoteAddress", c.address);
    p.saveSetting("RemoteUDPPort", std::to_string(c.udpBase));
    p.saveSetting("RemoteTCPPort", std::to_string(c.tcpBase));
    p.saveSetting("RemoteAPIPort", std::to_string(c.apiPort));
    p.saveSetting("RemoteToken", c.token);
    p.saveSetting("RemoteRaw", boolWord(c.rawPackets));
    p.saveSetting("RemoteAllowed", addressListText(c.allowed));
}

RemoteChoice withArguments(RemoteChoice c, const std::vector<std::string>& args) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--remote") {
            c.udp = c.tcp = c.api = true;
            if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) c.address = args[++i];
        } else if (args[i] == "--remote-token" && i + 1 < args.size()) {
            c.token = args[++i];
        } else if (args[i] == "--remote-raw") {
            c.rawPackets = true;
        }
    }
    return c;
}

RemoteApplied applyRemote(Program& program, const RemoteChoice& c) {
    const net::BindChoice bind = net::chooseBind(c.address, c.token);
    RemoteApplied out;
    net::ListenPlan& plan = out.plan;
    plan.address = bind.address;
    plan.udpBase = c.udpBase;
    plan.tcpBase = c.tcpBase;
    plan.apiPort = c.apiPort;
    plan.allowed = c.allowed;
    plan.token = c.token;
    plan.rawPackets = c.rawPackets;
    plan.udp = c.udp;
    plan.tcp = c.tcp;
    plan.api = c.api;
    std::string& message = out.message;
    const auto add = [&message](const std::string& m) {
        if (!m.empty()) message += (message.empty() ? "" : "\n") + m;
    };
    add(bind.refusal);
    // Each transport hears only of its own services.
    if (net::RemoteTransports* t = program.remoteTransports()) {
        if (c.udp || c.tcp) {
            net::ListenPlan own = plan;
            own.api = false;
            add(t->start(own));
        } else {
            t->stop();
        }
    } else if (c.udp || c.tcp) {
        add("IP controllers and bare packets are not available in this build.");
    }
    if (net::RemoteTransports* t = program.apiTransports()) {
        if (c.api) {
            net::ListenPlan own = plan;
            own.udp = own.tcp = false;
            add(t->start(own));
        } else {
            t->stop();
        }
    } else if (c.api) {
        add("The JSON API and web page are not available in this build.");
    }
    return out;
}

}  // namespace orbus
