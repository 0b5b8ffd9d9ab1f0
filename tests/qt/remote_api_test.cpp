// The JSON API and the web remote against a simulated chain, with real
// clients: curl over HTTP, a Python WebSocket client, and the page in
// headless Chromium pressing the pan-tilt pad. A client missing on this
// machine skips its test with the reason (scripts/install-deps.sh installs them).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <functional>
#include <string>
#include <vector>

#include "chain.h"
#include "link/packet.h"
#include "model/station.h"
#include "net/api.h"
#include "net/qt/api_server.h"
#include "net/remote_hub.h"
#include "platform/qt/qt_platform.h"
#include "platform/testing/fakes.h"
#include "hub_station.h"
#include "pty_support.h"
#include "sim_port.h"

namespace orbus {
namespace {

using orbus::testing::spin;

struct ApiChain : orbus::testing::HubStation {
    explicit ApiChain(const std::string& token = {}) : HubStation({"ORX-Beta", "ORX-Beta"}) {
        chain.timed = true;
        station.open();
        station.chain().setLength(2);
        netqt::ApiServer::Options options;
        options.port = 0;
        options.token = token;
        options.rawPackets = true;
        problems = server.start(options);
        base = "http://127.0.0.1:" + std::to_string(server.port());
    }

    netqt::ApiServer server{hub, station.chain()};
    std::string problems;
    std::string base;

    std::vector<std::string> since(std::size_t mark) const {
        std::vector<std::string> out;
        for (std::size_t i = mark - chain.receivedDropped; i < chain.received.size(); ++i)
            out.push_back(packetText(chain.received[i]));
        return out;
    }
    bool received(std::size_t mark, const std::string& packet) const {
        const std::vector<std::string> got = since(mark);
        return std::find(got.begin(), got.end(), packet) != got.end();
    }
};

// Runs a client to its end while the panel's event loop runs; each line it
// prints goes to `line` as it comes. Its exit code; -1 when it never ended.
int runClient(const QString& program, const QStringList& args, std::vector<std::string>& lines,
              const std::function<void(const std::string&)>& line = {}, int ms = 60000) {
    QProcess p;
    QByteArray pending;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, [&] {
        pending += p.readAllStandardOutput();
        for (qsizetype n; (n = pending.indexOf('\n')) >= 0; pending.remove(0, n + 1)) {
            lines.push_back(pending.left(n).toStdString());
            if (line) line(lines.back());
        }
    });
    p.start(program, args);
    if (!p.waitForStarted(5000)) return -1;
    spin([&] { return p.state() == QProcess::NotRunning; }, ms);
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(2000);
        return -1;
    }
    QCoreApplication::processEvents();
    if (p.exitCode() != 0) ADD_FAILURE() << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return p.exitCode();
}

int python(const QStringList& args, std::vector<std::string>& lines, const std::function<void(const std::string&)>& line = {}) {
    return runClient("/usr/bin/python3", QStringList{QStringLiteral(ORBUS_API_CLIENT)} + args, lines, line);
}

bool have(const char* program) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

TEST(RemoteApi, CurlReadsTheChainAndSendsCommandsOverHttp) {
    if (!have("curl")) GTEST_SKIP() << "curl is not installed (scripts/install-deps.sh installs it)";
    ApiChain open;
    ApiChain guarded("s3cret");
    ASSERT_EQ(open.problems, "");
    ASSERT_EQ(guarded.problems, "");
    const std::string big = "{\"heartbeat\":true,\"pad\":\"" + std::string(70000, 'x') + "\"}";
    QFile bigFile(QDir::temp().filePath(QStringLiteral("orbus-api-big-%1.json").arg(QCoreApplication::applicationPid())));
    ASSERT_TRUE(bigFile.open(QIODevice::WriteOnly));
    bigFile.write(big.data(), static_cast<qint64>(big.size()));
    bigFile.close();
    const struct {
        const char* what;
        ApiChain* rig;
        QStringList args;  // before the URL
        std::string path;
        int status;
        std::string body;  // a part of the answer
        std::string line;  // what camera 1 receives; empty: nothing
    } rows[] = {
        {"the chain", &open, {}, "/api/chain", 200, "\"length\":2", ""},
        {"the commands", &open, {}, "/api/commands", 200, "\"zoom.tele\"", ""},
        {"the page", &open, {}, "/", 200, "remote.js", ""},
        {"the page's script", &open, {}, "/remote.js", 200, "WebSocket", ""},
        {"a packet and its replies", &open, {"-d", R"({"id":3,"camera":1,"packet":"81 01 04 3E 02 FF"})"},
         "/api/command", 200, R"({"id":3,"replies":["90 41 FF","90 51 FF"]})", "81 01 04 3E 02 FF"},
        {"a command by name", &open, {"-d", R"({"id":4,"camera":1,"command":"zoom.stop"})"}, "/api/command", 200,
         R"("replies":["90 41 FF","90 51 FF"])", "81 01 04 07 00 FF"},
        {"malformed JSON", &open, {"-d", "{nope"}, "/api/command", 400, "malformed JSON", ""},
        {"a camera not on the chain", &open, {"-d", R"({"camera":5,"packet":"81 01 04 3E 02 FF"})"}, "/api/command", 400,
         "camera 5", ""},
        {"a message over 64 KiB", &open, {"--data-binary", "@" + bigFile.fileName()}, "/api/command", 413, "", ""},
        {"a subscription over HTTP", &open, {"-d", R"({"subscribe":true})"}, "/api/command", 400, "WebSocket", ""},
        {"GET of the command path", &open, {}, "/api/command", 405, "POST only", ""},
        {"no such path", &open, {}, "/api/nothing", 404, "no such path", ""},
        {"a page from elsewhere", &open, {"-H", "Origin: http://evil.example", "-d", R"({"camera":1,"command":"zoom.stop"})"},
         "/api/command", 403, "elsewhere", ""},
        {"another name for this machine", &open,
         {"-H", "Host: evil.example:8711", "-d", R"({"camera":1,"command":"zoom.stop"})"}, "/api/command", 403,
         "loopback", ""},
        {"another name, the chain", &open, {"-H", "Host: evil.example:8711"}, "/api/chain", 403, "loopback", ""},
        {"no token", &guarded, {}, "/api/chain", 401, "token", ""},
        {"a wrong token", &guarded, {"-H", "Authorization: Bearer s3cre"}, "/api/chain", 401, "token", ""},
        {"the token as a header", &guarded, {"-H", "Authorization: Bearer s3cret"}, "/api/chain", 200, "\"length\":2", ""},
        {"the token in the query", &guarded, {}, "/api/chain?token=s3cret", 200, "\"length\":2", ""},
        {"the page itself needs none", &guarded, {}, "/", 200, "remote.js", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::size_t mark = row.rig->chain.receivedTotal();
        std::vector<std::string> lines;
        const QStringList args = QStringList{"-s", "-w", "\n%{http_code}\n"} + row.args +
                                 QStringList{QString::fromStdString(row.rig->base + row.path)};
        ASSERT_EQ(runClient("curl", args, lines), 0);
        ASSERT_GE(lines.size(), 1u);
        EXPECT_EQ(lines.back(), std::to_string(row.status));
        std::string body;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) body += lines[i] + "\n";
        EXPECT_NE(body.find(row.body), std::string::npos) << body.substr(0, 300);
        spin([] { return false; }, 100);
        EXPECT_EQ(row.rig->since(mark), row.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.line});
    }
    bigFile.remove();
    ASSERT_EQ(open.hub.clientCount(), 1u);
    EXPECT_EQ(open.hub.clients()[0].name, "api 127.0.0.1");
}

TEST(RemoteApi, PythonOverTheWebSocketHearsRepliesAndChangesAndItsDriveStopsWhenItCloses) {
    ApiChain r;
    ASSERT_EQ(r.problems, "");
    const QString port = QString::number(r.server.port());
    std::vector<std::string> lines;

    // A packet's replies, after the camera gave them.
    const int rc = python({"replies", port}, lines);
    if (rc == 77) GTEST_SKIP() << "python3-websockets is not installed (scripts/install-deps.sh installs it)";
    ASSERT_EQ(rc, 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], R"({"id": 7, "replies": ["90 41 FF", "90 51 FF"]})");

    // The subscription: the chain as it stands, then the change the panel's model makes.
    lines.clear();
    ASSERT_EQ(python({"subscribe", port}, lines,
                     [&](const std::string&) {
                         if (lines.size() == 1) r.station.chain().setPower(2, status::PowerState::On);
                     }),
              0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(R"("subscribed": true)"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(R"("camera": 2)"), std::string::npos) << lines[1];

    // A drive left running by a client that went: stopped at the camera that moved.
    lines.clear();
    const std::size_t mark = r.chain.receivedTotal();
    ASSERT_EQ(python({"drive-and-close", port}, lines), 0);
    ASSERT_EQ(lines.size(), 1u);
    // A drive is answered at its acknowledge.
    EXPECT_EQ(lines[0], R"({"id": 1, "replies": ["90 41 FF"]})");
    // At once, not a heartbeat later.
    EXPECT_TRUE(spin([&] { return r.received(mark, "82 01 06 01 05 07 03 03 FF"); }, 500))
        << ::testing::PrintToString(r.since(mark));
    EXPECT_EQ(r.since(mark).front(), "82 01 06 01 05 07 01 03 FF");
    EXPECT_EQ(r.hub.drives(), 0u);
    EXPECT_EQ(r.hub.clientCount(), 0u);
}

TEST(RemoteApi, ThePageInHeadlessChromiumShowsTheCamerasAndItsPadDrivesAndStops) {
    if (!QFile::exists("/usr/bin/chromium")) GTEST_SKIP() << "/usr/bin/chromium is not installed (scripts/install-deps.sh installs it)";
    ApiChain r;
    ASSERT_EQ(r.problems, "");
    std::vector<std::string> lines;
    std::size_t mark = r.chain.receivedTotal();
    std::vector<std::string> pressed, released;
    const int rc = python({"page", QString::number(r.server.port()), "/usr/bin/chromium"}, lines, [&](const std::string& l) {
        if (l.find("pressed") != std::string::npos) spin([&] { return !r.since(mark).empty(); }, 2000), pressed = r.since(mark), mark = r.chain.receivedTotal();
        if (l.find("released") != std::string::npos) spin([&] { return !r.since(mark).empty(); }, 2000), released = r.since(mark);
    });
    if (rc == 77) GTEST_SKIP() << "python3-websockets is not installed (scripts/install-deps.sh installs it)";
    ASSERT_EQ(rc, 0);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(lines[0].find(R"("link": "connected")"), std::string::npos) << lines[0];
    // Buttons 1 to 7; those beyond the chain's two cameras shown absent.
    EXPECT_EQ(net::Json::parse(lines[0])["cameras"], net::Json::parse(R"(["1", "2", "3 absent", "4 absent", "5 absent", "6 absent", "7 absent"])"))
        << lines[0];
    ASSERT_FALSE(pressed.empty());
    EXPECT_EQ(pressed.front().substr(0, 15), "81 01 06 01 0C ") << ::testing::PrintToString(pressed);
    EXPECT_EQ(pressed.front().substr(18), "02 03 FF") << ::testing::PrintToString(pressed);
    ASSERT_FALSE(released.empty());
    EXPECT_EQ(released.front().substr(18), "03 03 FF") << ::testing::PrintToString(released);
}

}  // namespace
}  // namespace orbus
