// Every packet that passed the serial port, sent or received, kept in a ring
// of fixed size so that a panel left running for days holds the latest
// packets and no more. Recording copies a few bytes into a slot made in
// advance: no allocation, nothing worded until a row is shown.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/source.h"
#include "platform/clock.h"
#include "platform/port_tap.h"
#include "platform/serial_port.h"

namespace orbus {

enum class TrafficDirection : std::uint8_t { Sent, Received };

struct TrafficRow {
    // Longer runs are kept in pieces of this size (a packet of the panel's
    // own is far shorter; only the console or line noise comes near).
    static constexpr std::size_t kMaxBytes = 32;
    static constexpr std::size_t kMaxInquiry = 16;
    // The camera of a broadcast; 0 is no camera at all (noise, a bad header).
    static constexpr std::uint8_t kAll = 8;

    std::int64_t ms = 0;  // since the panel started
    std::uint8_t camera = 0;
    TrafficDirection direction = TrafficDirection::Sent;
    std::uint8_t length = 0;
    std::uint8_t inquiryLength = 0;
    // Who sent it: kPanel for the panel's own packets (and every received
    // row), else kFirstSource + its link::Source.
    static constexpr std::uint8_t kPanel = 0, kFirstSource = 1;
    std::uint8_t source = kPanel;
    // A remote client's name ("udp 127.0.0.1:40312"), cut at kMaxClient.
    static constexpr std::size_t kMaxClient = 56;
    std::uint8_t clientLength = 0;
    std::array<char, kMaxClient> client{};
    // An inquiry that got no answer within the answer limit.
    bool unanswered = false;
    std::array<std::uint8_t, kMaxBytes> bytes{};
    // For an inquiry answer: the inquiry outstanding for its camera.
    std::array<std::uint8_t, kMaxInquiry> inquiry{};

    Bytes packet() const { return Bytes(bytes.begin(), bytes.begin() + length); }
    // A camera's error reply (y0 6z ee FF).
    bool isError() const;
    // An error, or an inquiry left without an answer.
    bool isTrouble() const { return isError() || unanswered; }
};

// Which rows the traffic window shows: one camera's (1 to 7) or every row
// (0), errors only or all.
struct TrafficFilter {
    int camera = 0;
    bool errorsOnly = false;
    bool passes(const TrafficRow& row) const;
};

class TrafficRecord : public PortListener {
public:
    static constexpr std::size_t kCapacity = 10000;

    // `startedAt`: the clock's reading when the panel started; `wallAt`
    // the time of day then, from which the rows' clock times are told.
    explicit TrafficRecord(double startedAt = 0, std::size_t capacity = kCapacity, LocalTime wallAt = {});
    // The inquiries whose answer limit ran out by `now` are marked
    // unanswered (recording does it too, as traffic comes).
    void settle(double now);
    // A row's time of day, milliseconds included: "21:14:05.123".
    std::string clockTime(const TrafficRow& row) const;

    // Bytes the port took (one write) and bytes it delivered (one read, any
    // part of a packet).
    void sent(const Bytes& bytes, double now) override;
    void received(const Bytes& bytes, double now) override;
    // Asked, while the port takes a write, which controller's it is
    // (nothing: the panel's own). Unset, every write is the panel's.
    // `client` names a remote writer's client.
    void setWriter(std::function<std::optional<link::Source>()> writer,
                   std::function<std::string_view()> client = {}) {
        writer_ = std::move(writer);
        writerClient_ = std::move(client);
    }
    // Who sent the last command (header 8x, command byte 01) to camera 1
    // to 7: "-" before any, "panel" or a link::senderName.
    std::string lastCommandSource(int camera) const;

    std::size_t size() const { return count_; }
    std::size_t capacity() const { return ring_.size(); }
    // Row i, the oldest first.
    const TrafficRow& at(std::size_t i) const { return ring_[(first_ + i) % ring_.size()]; }
    // Rows recorded since the start, those that fell out of the ring too:
    // a view compares it to know whether anything is new.
    std::uint64_t recorded() const { return recorded_; }
    // Rows marked unanswered since the start: a view compares it to know
    // whether a row it shows has changed.
    std::uint64_t marked() const { return marked_; }
    // The rows that pass, oldest first, as indexes for at().
    std::vector<std::size_t> select(const TrafficFilter& filter) const;

private:
    TrafficRow& push(double now, TrafficDirection d, const std::uint8_t* bytes, std::size_t n);
    void packetDone(TrafficRow& row);

    double startedAt_;
    std::vector<TrafficRow> ring_;
    std::size_t first_ = 0, count_ = 0;
    std::uint64_t recorded_ = 0;
    std::uint64_t marked_ = 0;
    // A received packet waiting for its FF, and when its first byte came.
    std::array<std::uint8_t, TrafficRow::kMaxBytes> incoming_{};
    std::size_t incomingLength_ = 0;
    double incomingAt_ = 0;
    // The last inquiry to each camera that has had no answer yet: its bytes,
    // when it went out and its row's number (recorded() after it).
    std::array<Bytes, 7> pending_;
    std::array<double, 7> pendingAt_{};
    std::array<std::uint64_t, 7> pendingRow_{};
    long wallAtMs_ = 0;  // milliseconds of the day when the panel started
    std::function<std::optional<link::Source>()> writer_;
    std::function<std::string_view()> writerClient_;
    // Per camera, the source of its last command plus one; 0 before any;
    // and the remote client that sent it.
    std::array<std::uint8_t, 7> lastCommand_{};
    struct Client {
        std::uint8_t length = 0;
        std::array<char, TrafficRow::kMaxClient> name{};
    };
    std::array<Client, 7> lastClient_{};
};

// The columns of a row as the window shows them.
std::string trafficTime(const TrafficRow& row);       // "12345"
std::string trafficClock(const TrafficRecord& record, const TrafficRow& row);  // "21:14:05.123"
std::string trafficCamera(const TrafficRow& row);     // "1" to "7", "all", "-"
std::string trafficDirection(const TrafficRow& row);  // "sent", "received"
std::string trafficHex(const TrafficRow& row);        // "81 01 04 0B 02 FF"
std::string trafficMeaning(const TrafficRow& row);
std::string trafficSource(const TrafficRow& row);     // sent: "panel" or a link::senderName; received: ""

enum class TrafficFormat { Text, Csv };
// The rows `rows` of `record` with a header line, CR LF after each line;
// text: columns apart by tabs; CSV: fields quoted where they must be. The
// source and the clock time come last, so that readers of the older five
// columns still read.
std::string trafficExport(const TrafficRecord& record, const std::vector<std::size_t>& rows, TrafficFormat format);
// One CSV field: as it is, or quoted with its quotes doubled when it holds
// a comma, a quote or a line break.
std::string csvField(const std::string& field);

}  // namespace orbus
