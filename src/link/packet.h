// Packets as byte arrays and their text form in the traffic logs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/serial_port.h"

namespace orbus {

// Fills bytes with values converted to bytes. A value outside 0..255 refuses
// the whole packet: bytes is left unchanged and false is returned.
bool ToByteArray(const std::vector<int>& values, Bytes& bytes);

// Traffic text form: two upper-case hexadecimal digits and a blank per byte.
std::string trafficBytes(const Bytes& bytes);
// A sent packet as one log line: its bytes, then CR LF.
std::string trafficLine(const Bytes& bytes);

constexpr std::size_t kLogLimit = 1000;
// Keeps the last kLogLimit characters of a log text.
void trimLog(std::string& text);

// Packet-text of a byte list for messages and the camera simulator's trace:
// "81 01 04 0B 02 FF" (no trailing blank).
std::string packetText(const Bytes& bytes);

// The camera (1 to 7) a reply comes from: its header is y0 with y = 8 +
// the camera's address. 0 for a byte that is no camera's reply header.
int replyCamera(std::uint8_t header);

// A packet as the panel may build it: header 81 to 88, data bytes 00 to 7F,
// one FF, at the end. The raw console is the only way to send anything else.
bool wellFormedPacket(const Bytes& bytes);

// A command's acknowledge (y0 4z FF), completion (y0 5z FF) or error
// (y0 6z ee FF) for command socket z (1 to F) at the front of `bytes`: its
// length, or 0 when the front is anything else (an inquiry's answer or
// error, an incomplete reply).
std::size_t leadingCommandReply(const Bytes& bytes);

// A sent packet's log line; one the port did not take says so.
std::string sentLine(const Bytes& bytes, bool written);

// Fixed packets of the link.
Bytes ifClearBroadcast();   // 88 01 00 01 FF
Bytes addressSetBroadcast();  // 88 30 01 FF

// The bytes of a log line in the traffic text form ("81 01 04 0B 02 FF ").
// Nothing when the line holds anything but blank-separated pairs of
// hexadecimal digits (the first line of a log cut at its limit, typically).
std::optional<Bytes> trafficLineBytes(std::string_view line);

// The line of `text` that holds character position `pos` ("\r\n" ends a line).
std::string_view lineAt(std::string_view text, std::size_t pos);

// A reply packet shaped as an inquiry answer: y0 50, at least one value
// byte, FF.
bool isInquiryAnswer(const Bytes& packet);

}  // namespace orbus
