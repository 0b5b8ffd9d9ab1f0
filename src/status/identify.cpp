// Which camera answered: the model tables of both series and the version
// and condition inquiries of the identification.
#include "status/identify.h"

#include "platform/text.h"
#include "status/inquiry.h"

namespace orbus {

const std::vector<BlockModelRow>& blockModelTable() {
    using H = BlockHidden;
    using D = BlockDisabled;
    static const std::vector<BlockModelRow> rows = {
        {0x11, LensClass::X25, "NTSC/PAL", H::Of11, D::FlipAndAlarm},
        {0x12, LensClass::X18, "NTSC", H::Of12, D::FlipAndAlarm},
        {0x13, LensClass::X18, "PAL", H::Of12, D::FlipAndAlarm},
        {0x14, LensClass::X18, "NTSC", H::Of12, D::FlipAndAlarm},
        {0x15, LensClass::X18, "PAL", H::Of12, D::FlipAndAlarm},
        {0x16, LensClass::X18, "NTSC", H::Of16, D::FlipAndAlarm},
        {0x17, LensClass::X18, "PAL", H::Of16, D::FlipAndAlarm},
        {0x18, LensClass::X18, "NTSC", H::Of18, D::FlipAndAlarm},
        {0x19, LensClass::X18, "PAL", H::Of19, D::FlipAndAlarm},
        {0x1A, LensClass::X18, "NTSC", H::Of1A, D::FlipAndAlarm},
        {0x1B, LensClass::X18, "PAL", H::Of1A, D::FlipAndAlarm},
        {0x1C, LensClass::X10, "NTSC", H::Of19, D::FlipAndAlarm},
        {0x1D, LensClass::X10, "PAL", H::Of19, D::FlipAndAlarm},
        {0x1E, LensClass::X18, "EIA", H::Of1E, D::WhiteBalanceFlipAndAlarm},
        {0x1F, LensClass::X18, "CCIR", H::Of1E, D::WhiteBalanceFlipAndAlarm},
        {0x20, LensClass::X25, "NTSC/PAL", H::Of20, D::None},
        {0x21, LensClass::X25, "NTSC/PAL", H::Of20, D::None},
        {0x22, LensClass::X25, "NTSC", H::Of20, D::None},
        {0x23, LensClass::X25, "PAL", H::Of20, D::None},
        {0x24, LensClass::X18, "NTSC", H::Of24, D::None},
        {0x25, LensClass::X18, "PAL", H::Of24, D::None},
        {0x26, LensClass::X18, "NTSC", H::Of24, D::None},
        {0x27, LensClass::X18, "PAL", H::Of24, D::None},
        {0x28, LensClass::X18, "NTSC", H::Of28, D::None},
        {0x29, LensClass::X18, "PAL", H::Of28, D::None},
        {0x2A, LensClass::X18, "EIA", H::Of2A, D::WhiteBalance},
        {0x2B, LensClass::X18, "CCIR", H::Of2A, D::WhiteBalance},
    };
    return rows;
}

const BlockModelRow* findBlockModel(int byte5) {
    for (const auto& r : blockModelTable()) {
        if (r.byte5 == byte5) return &r;
    }
    return nullptr;
}

const char* blockModelName(const BlockModelRow& row) { return BlockModelName[row.byte5 - 0x11]; }

std::string modelKey(std::uint8_t b4, std::uint8_t b5) { return hexNoPad(b4) + hexNoPad(b5); }

PanTiltModel panTiltModelCode(const std::string& key) {
    if (equalsNoCase(key, "42")) return PanTiltModel::Alpha;
    if (equalsNoCase(key, "4D")) return PanTiltModel::Gamma;
    if (equalsNoCase(key, "4E")) return PanTiltModel::Beta;
    if (equalsNoCase(key, "54")) return PanTiltModel::Kappa;
    return PanTiltModel::Gamma;
}

const char* panTiltModelName(PanTiltModel model) {
    switch (model) {
    case PanTiltModel::Alpha: return PTModelName[0];
    case PanTiltModel::Beta: return PTModelName[2];
    case PanTiltModel::Kappa: return PTModelName[3];
    case PanTiltModel::Gamma:
    case PanTiltModel::None: break;
    }
    // Unknown pan-tilt keys are driven as the ORX-Gamma, and named so.
    return PTModelName[1];
}

std::string versionModelName(const std::vector<std::uint8_t>& r) {
    if (r.size() < 10) return {};
    if (r[3] == 0x01) return panTiltModelName(panTiltModelCode(modelKey(r[4], r[5])));
    if (r[3] == 0x20) {
        if (const BlockModelRow* row = findBlockModel(r[5])) return blockModelName(*row);
    }
    return {};
}

namespace status {

VersionInfo versionInfo(const Bytes& r) {
    VersionInfo v;
    if (r.size() < 10) return v;
    v.from = r[0];
    v.key = modelKey(r[4], r[5]);
    v.romHi = r[6];
    v.romLo = r[7];
    if (r[3] == 0x01) {
        v.series = Series::PanTilt;
        v.model = panTiltModelCode(v.key);
    } else if (r[3] == 0x20) {
        v.series = Series::Block;
        v.blockModel = r[5];
    }
    return v;
}

link::Async<std::optional<VersionInfo>> Identifier::versionAtStartup(int address, int attempts) {
    const Bytes inquiry{static_cast<std::uint8_t>(0x80 + address), 0x09, 0x00, 0x02, 0xFF};
    for (int attempt = 1;; ++attempt) {
        Bytes r = co_await link_.ask(inquiry, 10);
        if (acceptedReply(r, 10)) co_return versionInfo(r);
        if (attempt >= attempts) co_return std::nullopt;
    }
}

link::Async<std::optional<VersionInfo>> Identifier::version() {
    const auto answer = co_await inquireCounted(link_, "09 00 02", 10, 902);
    if (!answer) co_return std::nullopt;
    co_return versionInfo(*answer);
}

link::Async<KappaConditions> Identifier::kappaConditions() {
    KappaConditions c;
    auto v = co_await inquireCounted(link_, "09 06 23", 4, 9623);
    if (!v) co_return c;
    c.videoSystem = (*v)[2];
    v = co_await inquireCounted(link_, "09 06 34", 4, 9634);
    if (!v) co_return c;
    c.irCondition = (*v)[2];
    co_return c;
}

}  // namespace status

}  // namespace orbus
