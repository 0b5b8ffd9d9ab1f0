// Decoding of the status answers into the panel: check marks, enabling,
// slider positions, position texts and value labels.
#pragma once

#include "platform/serial_port.h"

namespace orbus {

class FrmMain;

void decodeLensBlock(FrmMain& m, const Bytes& r);
void decodeCameraBlock(FrmMain& m, const Bytes& r);
void decodeOtherBlock(FrmMain& m, const Bytes& r);
void decodeExpandBeta(FrmMain& m, const Bytes& r);
// The slow-shutter menu follows the exposure mode even when the answer was rejected.
void decodeExpandKappa(FrmMain& m, const Bytes& r, bool accepted);
void decodeMenuMode(FrmMain& m, const Bytes& r);
void decodeInfoDisplay(FrmMain& m, const Bytes& r);
void decodeDsubSync(FrmMain& m, const Bytes& r, bool accepted, bool asked);

// Applies the white-balance and exposure mode groups (check marks always,
// enabling only when the mode differs from the last shown one).
void applyWhiteBalanceMode(FrmMain& m, int mode);
void applyExposureMode(FrmMain& m, int mode);

// "0x" and the value in upper-case hexadecimal without leading zeros.
std::string hexText(int value);

}  // namespace orbus
