// Model tables of the two camera series and the identification steps.
#pragma once

#include "link/async.h"
#include <cstdint>
#include <string>
#include <vector>

#include "status/model_code.h"

namespace orbus {

class FrmMain;

enum class LensClass { X10, X18, X25 };

// One block-camera model, selected by byte 5 of the version reply.
struct BlockModelRow {
    int byte5;
    LensClass lens;
    const char* videoSystem;
    std::vector<const char*> hidden;    // object names of controls the model lacks
    std::vector<const char*> disabled;  // object names of controls it cannot use
};

const std::vector<BlockModelRow>& blockModelTable();
const BlockModelRow* findBlockModel(int byte5);
void applyBlockModel(FrmMain& m, const BlockModelRow& row);

// Hexadecimal of bytes 4 and 5 without leading zeros: 04 0D give "4D".
std::string modelKey(std::uint8_t b4, std::uint8_t b5);
// Pan-tilt model code of a key: 2, 13, 14, 260; unknown keys are 13.
PanTiltModel panTiltModelCode(const std::string& key);

// The model named by a version answer (10 bytes); empty when it names none.
std::string versionModelName(const std::vector<std::uint8_t>& answer);

// The version inquiry at the head of a status read; false when it gave up
// (the failure was reported and the read must end).
link::Async<bool> identifyInStatusRead(FrmMain& m);

}  // namespace orbus
