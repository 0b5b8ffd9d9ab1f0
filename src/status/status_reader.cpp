#include "status/status_reader.h"

#include "status/inquiry.h"

namespace orbus::status {

bool dsubCapable(int videoSystem) {
    return (videoSystem >= 0 && videoSystem <= 3) || (videoSystem >= 8 && videoSystem <= 11);
}

link::Async<std::optional<PowerState>> StatusReader::power() {
    const Bytes inquiry{static_cast<std::uint8_t>(link_.header()), 0x09, 0x04, 0x00, 0xFF};
    for (int attempts = 0;;) {
        Bytes r = co_await link_.ask(inquiry, 4);
        if (link_.reading() && link_.abandoned()) co_return std::nullopt;
        if (++attempts >= kInquiryAttempts) {
            link_.gaveUp(940);
            co_return std::nullopt;
        }
        if (!acceptedReply(r, 4)) continue;
        // A read that a command or another camera overtook shows nothing.
        if (link_.reading() && link_.overtaken()) co_return std::nullopt;
        co_return r[2] == 0x02 ? PowerState::On : r[2] == 0x03 ? PowerState::Off : PowerState::Unknown;
    }
}

link::Async<std::optional<Replies>> StatusReader::blocks(PanTiltModel model, int kappaVideoSystem) {
    Replies r;
    if (!(r.lens = co_await inquireBlock(link_, "09 7E 7E 00", 16, 0))) co_return std::nullopt;
    if (!(r.camera = co_await inquireBlock(link_, "09 7E 7E 01", 16, 1))) co_return std::nullopt;
    if (!(r.other = co_await inquireBlock(link_, "09 7E 7E 02", 16, 2))) co_return std::nullopt;
    if (model == PanTiltModel::Beta || model == PanTiltModel::Kappa) {
        if (!(r.expand = co_await inquireBlock(link_, "09 7E 7E 03", 16, 3))) co_return std::nullopt;
    }
    if (model == PanTiltModel::Kappa) {
        if (!(r.menu = co_await inquireCounted(link_, "09 06 06", 4, 966))) co_return std::nullopt;
        if (!(r.info = co_await inquireCounted(link_, "09 7E 01 18", 4, 9953560))) co_return std::nullopt;
        r.dsubAsked = dsubCapable(kappaVideoSystem);
        if (r.dsubAsked) {
            if (!(r.dsub = co_await inquireCounted(link_, "09 7E 01 1A", 4, 9953562))) co_return std::nullopt;
        }
    }
    co_return r;
}

link::Async<PanTiltStatus> StatusReader::panTilt() {
    PanTiltStatus s;
    auto r = co_await inquireBlock(link_, "09 06 12", 11, 0x9612);
    if (!r) co_return s;
    s.pan = nibbles(*r, 2, 4);
    s.tilt = nibbles(*r, 6, 4);
    r = co_await inquireBlock(link_, "09 06 10", 5, 0x9610);
    if (!r) co_return s;
    s.statusWord = (*r)[2] * 256 + (*r)[3];
    r = co_await inquireBlock(link_, "09 06 11", 5, 0x9611);
    if (!r) co_return s;
    // A maximum no head has (outside 1 to 7F) is a garbled answer: the
    // limits stay as they were, so no speed byte beyond 7F is ever built.
    auto speedMax = [&s](int max) -> std::optional<int> {
        if (max >= 1 && max <= 0x7F) return max;
        s.garbled = true;
        return std::nullopt;
    };
    s.panSpeedMax = speedMax((*r)[2]);
    s.tiltSpeedMax = speedMax((*r)[3]);
    co_return s;
}

}  // namespace orbus::status
