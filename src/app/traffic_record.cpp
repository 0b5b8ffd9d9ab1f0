#include "app/traffic_record.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "app/meaning.h"
#include "link/chain_health.h"
#include "link/packet.h"

namespace orbus {

namespace {

std::uint8_t cameraOf(const std::uint8_t* bytes, std::size_t n, TrafficDirection d) {
    if (n == 0) return 0;
    const std::uint8_t header = bytes[0];
    if (header == 0x88) return TrafficRow::kAll;
    if (d == TrafficDirection::Sent) return header >= 0x81 && header <= 0x87 ? header - 0x80 : 0;
    return static_cast<std::uint8_t>(replyCamera(header));
}

}  // namespace

bool TrafficRow::isError() const {
    return direction == TrafficDirection::Received && length == 4 && replyCamera(bytes[0]) != 0 &&
           (bytes[1] & 0xF0) == 0x60 && bytes[3] == 0xFF;
}

bool TrafficFilter::passes(const TrafficRow& row) const {
    if (camera != 0 && row.camera != camera) return false;
    return !errorsOnly || row.isTrouble();
}

TrafficRecord::TrafficRecord(double startedAt, std::size_t capacity, LocalTime wallAt)
    : startedAt_(startedAt),
      ring_(std::max<std::size_t>(capacity, 1)),
      wallAtMs_(((wallAt.hour * 60L + wallAt.minute) * 60L + wallAt.second) * 1000L + wallAt.millisecond) {}

void TrafficRecord::settle(double now) {
    for (std::size_t c = 0; c < pending_.size(); ++c) {
        if (pending_[c].empty() || now - pendingAt_[c] <= ChainHealth::kAnswerLimit) continue;
        pending_[c].clear();
        // The inquiry's row, while the ring still holds it.
        const std::uint64_t behind = recorded_ - 1 - pendingRow_[c];
        if (behind >= count_) continue;
        ring_[(first_ + count_ - 1 - behind) % ring_.size()].unanswered = true;
        ++marked_;
    }
}

std::string TrafficRecord::clockTime(const TrafficRow& row) const {
    constexpr long kDay = 24L * 3600 * 1000;
    const long t = ((wallAtMs_ + static_cast<long>(row.ms)) % kDay + kDay) % kDay;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld.%03ld", t / 3600000, t / 60000 % 60, t / 1000 % 60, t % 1000);
    return buf;
}

TrafficRow& TrafficRecord::push(double now, TrafficDirection d, const std::uint8_t* bytes, std::size_t n) {
    std::size_t slot;
    if (count_ < ring_.size()) {
        slot = (first_ + count_) % ring_.size();
        ++count_;
    } else {
        slot = first_;
        first_ = (first_ + 1) % ring_.size();
    }
    ++recorded_;
    TrafficRow& row = ring_[slot];
    row.ms = std::llround((now - startedAt_) * 1000.0);
    row.direction = d;
    row.length = static_cast<std::uint8_t>(n);
    std::copy_n(bytes, n, row.bytes.begin());
    row.camera = cameraOf(bytes, n, d);
    row.inquiryLength = 0;
    row.source = TrafficRow::kPanel;
    row.clientLength = 0;
    row.unanswered = false;
    return row;
}

void TrafficRecord::packetDone(TrafficRow& row) {
    if (row.camera < 1 || row.camera > 7 || row.length < 3 || row.bytes[row.length - 1] != 0xFF) return;
    Bytes& pending = pending_[row.camera - 1];
    if (row.direction == TrafficDirection::Sent) {
        if (row.bytes[1] == 0x09) {
            pending.assign(row.bytes.begin(), row.bytes.begin() + row.length);
            pendingAt_[row.camera - 1] = startedAt_ + static_cast<double>(row.ms) / 1000.0;
            pendingRow_[row.camera - 1] = recorded_ - 1;
        }
        return;
    }
    const bool answer = row.length > 3 && row.bytes[1] == 0x50;
    if (answer) {
        const std::size_t n = std::min(pending.size(), TrafficRow::kMaxInquiry);
        std::copy_n(pending.begin(), n, row.inquiry.begin());
        row.inquiryLength = static_cast<std::uint8_t>(n);
        pending.clear();
    } else if (row.isError()) {
        // An error ends the inquiry that waited, if one did.
        pending.clear();
    }
}

void TrafficRecord::sent(const Bytes& bytes, double now) {
    settle(now);
    const std::optional<link::Source> writer = writer_ ? writer_() : std::nullopt;
    const std::uint8_t source =
        writer ? static_cast<std::uint8_t>(TrafficRow::kFirstSource + static_cast<int>(*writer)) : TrafficRow::kPanel;
    const std::string_view client =
        writer == link::Source::Remote && writerClient_ ? writerClient_().substr(0, TrafficRow::kMaxClient)
                                                        : std::string_view();
    // One row per packet of the write; a rest without FF stands alone.
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != 0xFF && end - start + 1 < TrafficRow::kMaxBytes) ++end;
        const std::size_t n = std::min(end + 1, bytes.size()) - start;
        TrafficRow& row = push(now, TrafficDirection::Sent, bytes.data() + start, n);
        row.source = source;
        row.clientLength = static_cast<std::uint8_t>(client.size());
        std::copy(client.begin(), client.end(), row.client.begin());
        if (row.camera >= 1 && row.camera <= 7 && row.length >= 3 && row.bytes[1] == 0x01) {
            lastCommand_[row.camera - 1] = static_cast<std::uint8_t>(source + 1);
            lastClient_[row.camera - 1] = {row.clientLength, row.client};
        }
        packetDone(row);
        start += n;
    }
}

void TrafficRecord::received(const Bytes& bytes, double now) {
    settle(now);
    for (const std::uint8_t b : bytes) {
        if (incomingLength_ == 0) incomingAt_ = now;
        incoming_[incomingLength_++] = b;
        if (b == 0xFF || incomingLength_ == TrafficRow::kMaxBytes) {
            packetDone(push(incomingAt_, TrafficDirection::Received, incoming_.data(), incomingLength_));
            incomingLength_ = 0;
        }
    }
}

std::vector<std::size_t> TrafficRecord::select(const TrafficFilter& filter) const {
    std::vector<std::size_t> out;
    out.reserve(count_);
    for (std::size_t i = 0; i < count_; ++i) {
        if (filter.passes(at(i))) out.push_back(i);
    }
    return out;
}

namespace {

std::string sourceText(std::uint8_t source, std::string_view client) {
    if (source == TrafficRow::kPanel) return "panel";
    return link::senderName(static_cast<link::Source>(source - TrafficRow::kFirstSource), client);
}

}  // namespace

std::string TrafficRecord::lastCommandSource(int camera) const {
    if (camera < 1 || camera > 7 || lastCommand_[camera - 1] == 0) return "-";
    const Client& last = lastClient_[camera - 1];
    return sourceText(static_cast<std::uint8_t>(lastCommand_[camera - 1] - 1),
                      std::string_view(last.name.data(), last.length));
}

std::string trafficSource(const TrafficRow& row) {
    return row.direction == TrafficDirection::Sent
               ? sourceText(row.source, std::string_view(row.client.data(), row.clientLength))
               : "";
}

std::string trafficTime(const TrafficRow& row) { return std::to_string(row.ms); }

std::string trafficClock(const TrafficRecord& record, const TrafficRow& row) { return record.clockTime(row); }

std::string trafficCamera(const TrafficRow& row) {
    if (row.camera == TrafficRow::kAll) return "all";
    if (row.camera == 0) return "-";
    return std::to_string(row.camera);
}

std::string trafficDirection(const TrafficRow& row) {
    return row.direction == TrafficDirection::Sent ? "sent" : "received";
}

std::string trafficHex(const TrafficRow& row) { return packetText(row.packet()); }

std::string trafficMeaning(const TrafficRow& row) {
    if (row.direction == TrafficDirection::Sent) {
        return packetMeaning(row.packet(), LineSide::Sent) + (row.unanswered ? "; no answer after 1 s" : "");
    }
    AnswerOrigin origin{Bytes(row.inquiry.begin(), row.inquiry.begin() + row.inquiryLength)};
    return packetMeaning(row.packet(), LineSide::Received, &origin);
}

std::string csvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string trafficExport(const TrafficRecord& record, const std::vector<std::size_t>& rows, TrafficFormat format) {
    const bool csv = format == TrafficFormat::Csv;
    const char* sep = csv ? "," : "\t";
    auto line = [&](const std::string (&f)[7]) {
        std::string out;
        for (int i = 0; i < 7; ++i) {
            if (i) out += sep;
            out += csv ? csvField(f[i]) : f[i];
        }
        return out + "\r\n";
    };
    std::string out = line({"Time (ms)", "Camera", "Direction", "Bytes", "Meaning", "Source", "Clock"});
    for (const std::size_t i : rows) {
        if (i >= record.size()) continue;
        const TrafficRow& r = record.at(i);
        out += line({trafficTime(r), trafficCamera(r), trafficDirection(r), trafficHex(r), trafficMeaning(r),
                     trafficSource(r), trafficClock(record, r)});
    }
    return out;
}

}  // namespace orbus
