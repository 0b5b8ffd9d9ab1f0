// Which camera answered: the model tables of both series, what a version
// answer says, and the identification's own inquiries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/async.h"
#include "platform/serial_port.h"
#include "status/identity.h"
#include "platform/model_code.h"
#include "status/status_link.h"

namespace orbus {

enum class LensClass { X10, X18, X25 };

// The groups of controls a block model lacks (hidden), named after the
// first model byte that uses each, and the groups it cannot use (disabled).
// The main window knows the controls of each group.
enum class BlockHidden { Of11, Of12, Of16, Of18, Of19, Of1A, Of1E, Of20, Of24, Of28, Of2A };
enum class BlockDisabled { None, FlipAndAlarm, WhiteBalanceFlipAndAlarm, WhiteBalance };

// One block-camera model, selected by byte 5 of the version reply.
struct BlockModelRow {
    int byte5;
    LensClass lens;
    const char* videoSystem;
    BlockHidden hidden;
    BlockDisabled disabled;
};

const std::vector<BlockModelRow>& blockModelTable();
const BlockModelRow* findBlockModel(int byte5);
// The model string of a row ("KBM-R05").
const char* blockModelName(const BlockModelRow& row);

// Hexadecimal of bytes 4 and 5 without leading zeros: 04 0D give "4D".
std::string modelKey(std::uint8_t b4, std::uint8_t b5);
// Pan-tilt model of a key; unknown keys are driven as the ORX-Gamma.
PanTiltModel panTiltModelCode(const std::string& key);
// The model string of a pan-tilt model ("ORX-Kappa").
const char* panTiltModelName(PanTiltModel model);

// The model named by a version answer (10 bytes); empty when it names none.
std::string versionModelName(const std::vector<std::uint8_t>& answer);

namespace status {

// What a version answer (accepted, 10 bytes) says.
struct VersionInfo {
    int from = 0;                     // byte 0: 80 + 16 x the answering address
    Series series = Series::Unknown;  // byte 3: 01 pan-tilt, 20 block
    std::string key;                  // the model key of bytes 4 and 5
    PanTiltModel model = PanTiltModel::None;  // a pan-tilt camera's model
    int blockModel = -1;              // a block camera's byte 5
    std::uint8_t romHi = 0, romLo = 0;
};
VersionInfo versionInfo(const Bytes& answer);

// The ORX-Kappa's video system and IR condition, as far as they were read.
struct KappaConditions {
    std::optional<int> videoSystem, irCondition;
};

class Identifier {
public:
    explicit Identifier(StatusLink& link) : link_(link) {}

    // The start-up version inquiry to the camera at `address`, up to
    // `attempts` times; nothing when no accepted answer came.
    link::Async<std::optional<VersionInfo>> versionAtStartup(int address, int attempts);
    // The version inquiry at the head of a status read; nothing when it gave up.
    link::Async<std::optional<VersionInfo>> version();
    // The video system, then the IR condition; stops at the first inquiry
    // that gives up.
    link::Async<KappaConditions> kappaConditions();

private:
    StatusLink& link_;
};

}  // namespace status

}  // namespace orbus
