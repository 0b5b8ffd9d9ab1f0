// Tool tips of the controls that send packets, written from the command
// tables: what the control does, in the operator's words, and the packets
// it sends, in the notation the logs use ("8x 01 04 07 2p FF").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "panel/commands.h"

namespace orbus::panel {

// Two upper-case hexadecimal digits.
std::string hexByte(int b);

// A row's packet from header to FF: computed bytes as letters (p, q, r, s,
// ... in order, one nibble each), an array element's index as its byte when
// `element` is one (else a letter).
std::string rowPacket(const CommandRow& row, int element = kSingle);

// What the letters of a row's packet stand for ("p = the speed"), or "".
std::string rowLegend(const CommandRow& row, int element = kSingle);

// Every packet the control element sends, by event and state, after
// `words`: "Hold to zoom in — sends on press: 8x 01 04 07 2p FF (p = the
// speed); on release: 8x 01 04 07 00 FF". Just `words` when no row names
// the control.
std::string commandTip(std::string_view control, int element, const std::string& words);

// A tip followed by the key that does the same ("Read once (F5)").
std::string withShortcut(const std::string& tip, const std::string& keys);

// The same for a fixed packet body (header and FF added).
std::string packetText(const std::vector<std::uint8_t>& body);

}  // namespace orbus::panel
