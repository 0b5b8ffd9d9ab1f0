// The exchanges of a status read, each giving back what the camera said:
// the power state, the status blocks, the pan-tilt head's state.
#pragma once

#include <optional>
#include <string>

#include "link/async.h"
#include "status/decode.h"
#include "platform/model_code.h"
#include "status/status_link.h"

namespace orbus::status {

// The power answer's state byte: 02 on, 03 off; anything else leaves the
// switch as it was shown.
enum class PowerState { On, Off, Unknown };

// The pan-tilt head, as far as its inquiries were answered (in this order).
struct PanTiltStatus {
    std::optional<int> pan, tilt;       // positions
    std::optional<int> statusWord;      // 16 status bits
    // Speed maxima; nothing when the answer named one no head has (outside
    // 1 to 7F): such an answer is garbled.
    std::optional<int> panSpeedMax, tiltSpeedMax;
    bool garbled = false;
};

// The ORX-Kappa video system can drive the D-sub sync output.
bool dsubCapable(int videoSystem);

class StatusReader {
public:
    explicit StatusReader(StatusLink& link) : link_(link) {}

    // The power inquiry; nothing when it gave up or the read was overtaken.
    link::Async<std::optional<PowerState>> power();
    // The status blocks, then the ORX-Kappa's own inquiries; nothing when an
    // inquiry gave up or a command or another camera overtook the read.
    link::Async<std::optional<Replies>> blocks(PanTiltModel model, int kappaVideoSystem);
    // Pan and tilt positions, status bits and speed maxima; stops at the
    // first inquiry that gives up.
    link::Async<PanTiltStatus> panTilt();

private:
    StatusLink& link_;
};

}  // namespace orbus::status
