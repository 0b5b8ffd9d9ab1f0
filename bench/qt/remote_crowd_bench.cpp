// A crowd of JSON API clients on a chain of three timed cameras while the
// operator works the window, over a real pseudo-terminal served by
// orbus-camsim and the real Qt event loop:
//
//  - Baseline (20 s): auto refresh alone; the window's longest block (the
//    longest gap between the ticks of a 1 ms timer), camera 1's whole
//    status reads, and click to wire of "Tele End" clicks to camera 1 at
//    random moments.
//  - Load (60 s): eight WebSocket clients, each with its own (camera,
//    setting) pair spread over the three cameras, each sending a new value
//    every 20 ms (settings, no drives: no heartbeat is needed). They run on
//    a thread of their own with its own event loop, so the window's thread
//    carries only what the panel does for them. The window clicks "Tele
//    End" now and then meanwhile: camera 1 serves two of the clients too,
//    so the click waits its turn of the camera's sockets behind theirs.
//  - End: every client's last value must be the camera's. A client whose
//    last command the panel refused (too many of its packets under way)
//    sends it again once its answers have come in, as a real client would;
//    one whose last command the camera did not complete tries again the
//    same way. After a whole status read of camera 1, the panel's own view
//    (GET /api/chain) must show camera 1's last values; every camera is
//    also asked through the API itself (its status blocks, as raw
//    inquiries) for the values the clients set.
//
// Every answer is counted: the camera's replies by how they ended, the
// panel's refusals by their text (the totals per client go to stderr). A
// "buffer full" (y0 6z 03 FF) must never come back, nor be seen on the
// line: the panel paces each camera by its two sockets. With
// ORBUS_CROWD_TRACE=FILE the simulator's trace is written to FILE.
//
// All figures are milliseconds of wall time on this machine; the values and
// the click moments come from fixed seeds.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/frm_remote.h"
#include "app/remote_control.h"
#include "net/qt/api_server.h"
#include "window_support.h"

using namespace orbus;
using namespace orbus::bench;

namespace {

const char* const kChain = "ORX-Kappa,KBM-R05,ORX-Beta";
constexpr double kBaselineMs = 20000;
constexpr double kLoadMs = 60000;
constexpr int kPeriodMs = 20;
// How long the clients may take to get their last values through.
constexpr double kSettleMs = 60000;
const char* const kBusy = "refused: too many packets still under way";

// Where a setting stands in one of the camera's status blocks (8x 09 7E 7E
// b FF): its first byte, and 4 or 2 nibbles (0: one whole byte).
struct Place {
    int block;
    int at;
    int nibbles;
};
std::optional<int> readPlace(const std::vector<int>& bytes, Place p) {
    const int n = p.nibbles == 0 ? 1 : p.nibbles;
    if (static_cast<int>(bytes.size()) < p.at + n + 1) return std::nullopt;
    if (p.nibbles == 0) return bytes[static_cast<std::size_t>(p.at)];
    int v = 0;
    for (int i = 0; i < n; ++i) v = (v << 4) | (bytes[static_cast<std::size_t>(p.at + i)] & 0x0F);
    return v;
}

struct Setting {
    int camera;
    const char* command;
    int lo, hi;
    Place place;
};
// Camera 1 (ORX-Kappa) is the one the window drives and reads; its zoom is
// left to the window's clicks.
const Setting kSettings[8] = {
    {1, "focus.position", 0x1000, 0x7600, {0, 8, 4}},
    {1, "whiteBalance.redGain", 0, 255, {1, 2, 2}},
    {2, "zoom.position", 0, 0x4000, {0, 2, 4}},
    {2, "whiteBalance.blueGain", 0, 255, {1, 4, 2}},
    {2, "exposure.iris", 0, 17, {1, 11, 0}},
    {3, "zoom.position", 0, 0x4000, {0, 2, 4}},
    {3, "exposure.gain", 0, 7, {1, 12, 0}},
    {3, "aperture", 0, 15, {1, 7, 0}},
};
// The modes under which those settings are carried out.
struct Mode {
    int camera;
    const char* command;
    const char* value;
};
const Mode kModes[] = {
    {1, "focus.mode", "manual"},
    {1, "whiteBalance.mode", "manual"},
    {2, "whiteBalance.mode", "manual"},
    {2, "exposure.mode", "manual"},
    {3, "exposure.mode", "manual"},
};

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}
// "y0 6z 03 FF": a camera's "buffer full" (the simulator's note may follow).
bool bufferFull(const std::vector<std::string>& w) {
    return w.size() >= 4 && w[1].size() == 2 && w[1][0] == '6' && w[2] == "03" && w[3] == "FF";
}
// How a camera's last reply ended a command: "completion", "error 41", ...
std::string endOf(const std::string& reply) {
    const std::vector<std::string> w = words(reply);
    if (w.size() >= 2 && w[1].size() == 2 && w[1][0] == '5') return "completion";
    if (w.size() == 4 && w[1].size() == 2 && w[1][0] == '6') return "error " + w[2];
    return "other " + reply;
}
std::vector<int> hexBytes(const std::string& text) {
    std::vector<int> out;
    for (const std::string& w : words(text)) out.push_back(static_cast<int>(std::stoul(w, nullptr, 16)));
    return out;
}

std::string commandJson(int id, int camera, const char* command, const QJsonValue& value) {
    QJsonObject o{{"id", id}, {"camera", camera}, {"command", command}, {"value", value}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

// One client's count, kept on the clients' thread and read once it ended.
struct Client {
    Setting setting;
    QWebSocket* socket = nullptr;
    std::mt19937 rng;
    int sent = 0, answered = 0, resent = 0;
    std::map<std::string, int> ends;    // the camera's replies, by how the last one ended
    std::map<std::string, int> errors;  // the panel's refusals, by their text
    std::map<int, int> values;          // the value of each request under way, by id
    int lastId = -1, lastValue = -1;
    // The last value's answer: none yet, the camera completed it, or not.
    enum class Last { Open, Done, Failed } last = Last::Open;

    int nextValue() {
        std::uniform_int_distribution<int> d(setting.lo, setting.hi);
        int v = d(rng);
        if (v == lastValue) v = v == setting.hi ? setting.lo : v + 1;
        return v;
    }
    void send(int id, int value) {
        values[id] = value;
        lastId = id;
        lastValue = value;
        last = Last::Open;
        ++sent;
        socket->sendTextMessage(QString::fromStdString(commandJson(id, setting.camera, setting.command, value)));
    }
    void answer(const QJsonObject& o) {
        const int id = o.value("id").toInt(-1);
        values.erase(id);
        bool done = false;
        if (o.contains("error")) {
            ++errors[o.value("error").toString().toStdString()];
        } else {
            ++answered;
            const QJsonArray replies = o.value("replies").toArray();
            const std::string end = replies.isEmpty() ? "none" : endOf(replies.last().toString().toStdString());
            ++ends[end];
            done = end == "completion";
        }
        if (id == lastId) last = done ? Last::Done : Last::Failed;
    }
};

// The eight clients on a thread of their own.
class Crowd {
public:
    explicit Crowd(int port) : url_(QStringLiteral("ws://127.0.0.1:%1/api").arg(port)) {
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            clients_[i].setting = kSettings[i];
            clients_[i].rng.seed(1000u + static_cast<unsigned>(i));
        }
    }
    // Filled by the thread; read once it has finished.
    std::array<Client, 8> clients_;
    std::string failure;  // the clients could not do their part
    double loadFrom = 0, loadTo = 0, settledAt = 0;
    std::atomic<bool> loading{false}, loaded{false};

    void run() {
        QObject scope;
        int connected = 0;
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            auto* ws = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, &scope);
            clients_[i].socket = ws;
            QObject::connect(ws, &QWebSocket::connected, &scope, [&connected] { ++connected; });
            QObject::connect(ws, &QWebSocket::textMessageReceived, &scope, [this, i](const QString& text) {
                const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
                if (o.value("id").toInt(-1) >= kPrepIds) {
                    prep_.push_back(o);
                    return;
                }
                clients_[i].answer(o);
            });
            ws->open(QUrl(url_));
        }
        if (!pump([&] { return connected == static_cast<int>(clients_.size()); }, 10000)) {
            failure = "the clients could not connect";
            loaded = true;
            return;
        }
        if (!prepare()) {
            loaded = true;
            return;
        }
        load();
        settle();
        settledAt = nowMs();
        for (Client& c : clients_) c.socket->abort();
        loaded = true;
    }

private:
    static constexpr int kPrepIds = 1000000;

    // The modes each client's setting needs, set by the first client.
    bool prepare() {
        int id = kPrepIds;
        for (const Mode& m : kModes)
            clients_[0].socket->sendTextMessage(QString::fromStdString(commandJson(id++, m.camera, m.command, m.value)));
        const std::size_t n = std::size(kModes);
        if (!pump([&] { return prep_.size() == n; }, 15000)) {
            failure = "the modes were not all answered";
            return false;
        }
        for (const QJsonObject& o : prep_) {
            const QJsonArray r = o.value("replies").toArray();
            if (r.isEmpty() || endOf(r.last().toString().toStdString()) != "completion") {
                failure = "a mode was not set: " + QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
                return false;
            }
        }
        return true;
    }

    // Every client sends a new value every 20 ms, their timers staggered.
    void load() {
        QObject scope;
        std::vector<std::unique_ptr<QTimer>> timers;
        int id = 0;
        loadFrom = nowMs();
        loading = true;
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            auto t = std::make_unique<QTimer>();
            t->setTimerType(Qt::PreciseTimer);
            t->setInterval(kPeriodMs);
            Client& c = clients_[i];
            QObject::connect(t.get(), &QTimer::timeout, &scope, [&c, &id] { c.send(id++, c.nextValue()); });
            QTimer* raw = t.get();
            QTimer::singleShot(static_cast<int>(i * kPeriodMs / clients_.size()), Qt::PreciseTimer, &scope,
                               [raw] { raw->start(); });
            timers.push_back(std::move(t));
        }
        pumpFor(kLoadMs);
        for (auto& t : timers) t->stop();
        loading = false;
        loadTo = nowMs();
        lastId_ = id;
    }

    // Each client's last value goes through: sent again once its answers
    // are in, when the panel or the camera refused it.
    void settle() {
        const auto open = [this] {
            bool any = false;
            for (Client& c : clients_) {
                if (c.last == Client::Last::Done) continue;
                any = true;
                if (c.last == Client::Last::Failed && c.values.empty() && c.resent < 50) {
                    ++c.resent;
                    c.send(lastId_++, c.lastValue);
                }
            }
            return any;
        };
        pump([&] { return !open(); }, kSettleMs);
    }

    QString url_;
    std::vector<QJsonObject> prep_;
    int lastId_ = 0;
};

// One WebSocket on the window's thread, for the inquiries at the end.
class Asker {
public:
    explicit Asker(int port) {
        QObject::connect(&ws_, &QWebSocket::textMessageReceived, &ws_,
                         [this](const QString& t) { answer_ = QJsonDocument::fromJson(t.toUtf8()).object(); });
        ws_.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api").arg(port)));
        pump([this] { return ws_.state() == QAbstractSocket::ConnectedState; }, 5000);
    }
    // A camera's status block b through the API (its bytes); empty when none came.
    std::vector<int> block(int camera, int b) {
        answer_ = {};
        QJsonObject o{{"id", ++id_}, {"camera", camera}, {"packet", QStringLiteral("81 09 7E 7E %1 FF").arg(b, 2, 10, QChar('0'))}};
        ws_.sendTextMessage(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
        pump([this] { return !answer_.isEmpty(); }, 5000);
        const QJsonArray r = answer_.value("replies").toArray();
        if (r.isEmpty()) return {};
        return hexBytes(r.last().toString().toStdString());
    }

private:
    QWebSocket ws_;
    QJsonObject answer_;
    int id_ = 0;
};

// GET /api/chain, answered on the window's thread.
QJsonObject getChain(int port) {
    QTcpSocket s;
    QByteArray got;
    bool closed = false;
    QObject::connect(&s, &QTcpSocket::readyRead, &s, [&] { got += s.readAll(); });
    QObject::connect(&s, &QTcpSocket::disconnected, &s, [&] { closed = true; });
    s.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    pump([&] { return s.state() == QAbstractSocket::ConnectedState; }, 5000);
    s.write("GET /api/chain HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    const auto whole = [&] {
        const qsizetype head = got.indexOf("\r\n\r\n");
        if (head < 0) return false;
        const qsizetype at = got.toLower().indexOf("content-length:");
        if (at < 0) return closed;
        const qsizetype eol = got.indexOf("\r\n", at);
        const int length = got.mid(at + 15, eol - at - 15).trimmed().toInt();
        return got.size() - (head + 4) >= length;
    };
    pump([&] { return whole() || closed; }, 5000);
    const qsizetype head = got.indexOf("\r\n\r\n");
    return head < 0 ? QJsonObject() : QJsonDocument::fromJson(got.mid(head + 4)).object();
}

// "Tele End" clicks at random moments until `until`: their click to wire.
// Seconds apart, so that the refresh (every 2 s after a command's end) runs
// between them.
std::vector<double> clickUntil(Panel& p, Sim& sim, Hooks& hooks, std::mt19937& rng, double until, int& lost) {
    std::uniform_real_distribution<double> pause(2500.0, 5000.0);
    std::vector<double> wire;
    while (nowMs() + 5000.0 < until) {
        Click c;
        planClick(p, hooks, c, pause(rng));
        if (waitWire(sim, c, 20000)) wire.push_back(c.wire);
        else ++lost;
    }
    pumpFor(until - nowMs());
    return wire;
}

void BM_Crowd(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    Sim sim(kChain, baud);
    Panel p(sim);
    Pinger ping;
    if (!sim.ready()) {
        state.SkipWithError("orbus-camsim did not start");
        return;
    }
    if (!p.start(baud) || p.program.cameras.length() != 3) {
        state.SkipWithError("the panel did not start up on the chain of three");
        return;
    }
    // The JSON API on a free loopback port, as the program applies --remote.
    netqt::ApiServer api(p.program.remoteHub(), p.program.cameras);
    p.program.setApiTransports(&api);
    RemoteChoice choice;
    choice.api = true;
    choice.apiPort = 0;
    choice.rawPackets = true;  // the inquiries at the end
    if (const RemoteApplied a = p.program.frmRemote().applyForThisRun(choice); !a.message.empty() || !api.running()) {
        state.SkipWithError(("the JSON API did not start: " + a.message).c_str());
        return;
    }
    const int port = api.port();
    Hooks hooks(p.m());
    // The moments camera 1's whole status reads ended.
    std::vector<double> reads;
    const model::Chain::Subscription watch = p.program.cameras.subscribe([&reads](int camera, model::Chain::Aspect a) {
        if (camera == 1 && a == model::Chain::Aspect::Status) reads.push_back(nowMs());
    });
    const auto readsIn = [&reads](double from, double to) {
        return static_cast<double>(std::count_if(reads.begin(), reads.end(), [&](double t) { return t >= from && t <= to; }));
    };
    std::mt19937 rng(20240611u + static_cast<unsigned>(baud));
    int lost = 0;

    for (auto _ : state) {
        p.m().AutoRefreshed.click();
        const double baseFrom = nowMs();
        const std::vector<double> baseClicks = clickUntil(p, sim, hooks, rng, baseFrom + kBaselineMs, lost);
        const double baseTo = nowMs();
        const double baseBlock = ping.longestGap(baseFrom, baseTo);

        Crowd crowd(port);
        std::unique_ptr<QThread> thread(QThread::create([&crowd] { crowd.run(); }));
        thread->start();
        pump([&] { return crowd.loading.load() || crowd.loaded.load(); }, 30000);
        const double loadFrom = nowMs();
        std::vector<double> loadClicks;
        if (crowd.loading) loadClicks = clickUntil(p, sim, hooks, rng, loadFrom + kLoadMs, lost);
        const double loadTo = nowMs();
        const double loadBlock = ping.longestGap(loadFrom, loadTo);
        pump([&] { return crowd.loaded.load(); }, kSettleMs + 30000);
        pump([&] { return thread->isFinished(); }, 5000);
        thread->wait();
        state.SetIterationTime((loadTo - loadFrom) / 1000.0);
        if (!crowd.failure.empty()) {
            state.SkipWithError(crowd.failure.c_str());
            return;
        }

        // A whole status read of camera 1 that began after the last answer.
        const double settled = nowMs();
        const double readBefore = p.program.cameras.camera(1)->statusAt;
        pump([&] { return p.program.cameras.camera(1)->statusAt > readBefore && !p.program.link.StatusReading; }, 20000);
        const bool freshRead = p.program.cameras.camera(1)->statusAt > readBefore;
        pumpFor(5);
        const double settledBlock = ping.longestGap(settled, nowMs());
        const QJsonObject chain = getChain(port);
        const QJsonArray cams = chain.value("cameras").toArray();
        Asker asker(port);
        std::map<std::pair<int, int>, std::vector<int>> blocks;
        int reached = 0, reachedInView = 0, inView = 0;
        std::string notReached;
        for (const Client& c : crowd.clients_) {
            const Setting& s = c.setting;
            auto& b = blocks[{s.camera, s.place.block}];
            if (b.empty()) b = asker.block(s.camera, s.place.block);
            const std::optional<int> actual = readPlace(b, s.place);
            if (actual && *actual == c.lastValue && c.last == Client::Last::Done) ++reached;
            else notReached += std::string(notReached.empty() ? "" : "; ") + "camera " + std::to_string(s.camera) + " " +
                               s.command + " sent " + std::to_string(c.lastValue) + ", camera has " +
                               (actual ? std::to_string(*actual) : "no answer");
            // The panel's own view, for what its status read decodes.
            const QJsonObject values = cams.at(s.camera - 1).toObject().value("values").toObject();
            if (s.camera == 1 && values.contains(s.command)) {
                ++inView;
                if (values.value(s.command).toInt(-1) == c.lastValue) ++reachedInView;
                else notReached += std::string(notReached.empty() ? "" : "; ") + "the panel shows camera 1 " +
                                   s.command + " " + std::to_string(values.value(s.command).toInt(-1)) + ", sent " +
                                   std::to_string(c.lastValue);
            }
        }

        // The counts.
        int sent = 0, answered = 0, resent = 0, busy = 0, apiFull = 0;
        std::map<std::string, int> ends, errors;
        for (const Client& c : crowd.clients_) {
            sent += c.sent;
            answered += c.answered;
            resent += c.resent;
            for (const auto& [k, n] : c.ends) ends[k] += n;
            for (const auto& [k, n] : c.errors) errors[k] += n;
        }
        busy = errors[kBusy];
        apiFull = ends["error 03"];
        if (const char* trace = std::getenv("ORBUS_CROWD_TRACE")) {
            if (FILE* f = std::fopen(trace, "w")) {
                for (const Sim::Line& l : sim.between(0, nowMs())) std::fprintf(f, "%.3f %s\n", l.at, l.text.c_str());
                std::fclose(f);
            }
        }
        int simFull = 0, simCommands = 0;
        for (const Sim::Line& l : sim.between(0, nowMs())) {
            const std::vector<std::string> w = words(l.text);
            if (w.empty()) continue;
            if (w[0] == "->" && bufferFull({w.begin() + 1, w.end()})) ++simFull;
            if (w[0] == "<-" && w.size() > 2 && w[2] == "01") ++simCommands;
        }
        auto& k = state.counters;
        k["block_max_base_ms"] = baseBlock;
        k["block_max_load_ms"] = loadBlock;
        k["block_max_settle_ms"] = settledBlock;
        k["click_base_median_ms"] = median(baseClicks);
        k["click_base_max_ms"] = maxOf(baseClicks);
        k["click_load_median_ms"] = median(loadClicks);
        k["click_load_max_ms"] = maxOf(loadClicks);
        k["status_reads_base"] = readsIn(baseFrom, baseTo);
        k["status_reads_load"] = readsIn(loadFrom, loadTo);
        k["clicks"] = static_cast<double>(baseClicks.size() + loadClicks.size());
        k["clicks_lost"] = lost;
        k["sent"] = sent;
        k["answered"] = answered;
        k["completed"] = ends["completion"];
        k["refused_busy"] = busy;
        k["refused_other"] = static_cast<double>(std::accumulate(errors.begin(), errors.end(), 0,
                                                                 [](int n, const auto& e) { return n + e.second; }) -
                                                 busy);
        k["camera_errors"] = answered - ends["completion"];
        k["resent_last"] = resent;
        k["buffer_full_api"] = apiFull;
        k["buffer_full_wire"] = simFull;
        k["commands_on_wire"] = simCommands;
        k["last_values_reached"] = reached;
        k["panel_view_reached"] = reachedInView;
        k["panel_view_checked"] = inView;
        k["settle_ms"] = crowd.settledAt - crowd.loadTo;
        // What else came back, for the log.
        for (const auto& [e, n] : ends)
            if (e != "completion") std::fprintf(stderr, "camera reply %s: %d\n", e.c_str(), n);
        for (const auto& [e, n] : errors) std::fprintf(stderr, "refusal \"%s\": %d\n", e.c_str(), n);
        for (const Client& c : crowd.clients_)
            std::fprintf(stderr, "camera %d %-22s sent %5d answered %5d busy %5d resent %d last %d\n", c.setting.camera,
                         c.setting.command, c.sent, c.answered, c.errors.count(kBusy) ? c.errors.at(kBusy) : 0, c.resent,
                         c.lastValue);
        for (const auto& w : p.windows.shown) std::fprintf(stderr, "message: %s\n", w.text.c_str());
        if (!freshRead) {
            state.SkipWithError("no whole status read of camera 1 after the load");
            return;
        }
        if (reached != 8 || reachedInView != inView) {
            state.SkipWithError(("a last value was not reached: " + notReached).c_str());
            return;
        }
        if (apiFull + simFull > 0) {
            const std::string e = "a camera answered \"buffer full\": " + std::to_string(simFull) + " on the line, " +
                                  std::to_string(apiFull) + " passed to the clients";
            state.SkipWithError(e.c_str());
            return;
        }
    }
}
BENCHMARK(BM_Crowd)
    ->ArgNames({"baud"})
    ->Arg(38400)
    ->Arg(9600)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
