// What the panel knows about the driven camera and the modes it last showed.
#pragma once

#include <cstdint>
#include <string>

namespace orbus {

// The series the panel is laid out for.
enum class Series { Unknown, PanTilt, Block };

// Identification results, set from the version reply.
struct ModelIdentity {
    bool IsPanTiltSeries = false;
    // What the last identification laid the panel out for. Unlike
    // IsPanTiltSeries it stays while an ORX-Kappa is found switched off:
    // the pan-tilt window belongs to the camera, not to its power state.
    Series LaidOutSeries = Series::Unknown;
    int LaidOutBlockModel = -1;  // version byte 5 of the block camera laid out
    bool VersionRead = false;
    std::uint8_t RomVersionHi = 0;
    std::uint8_t RomVersionLo = 0;
    bool NewFirmware = false;   // ORX-Kappa with a ROM version above 0.x
    std::string ModelKey;       // hexadecimal of version bytes 4 and 5, no leading zeros
};

// Mode bookkeeping written by the status decoding and read by the handlers.
struct ModeBook {
    int LastWBMode = -1;
    int LastAEMode = -1;
    std::uint8_t WBModeValue = 0;
    std::uint8_t AFSubMode = 0;
    bool MenuMode = false;
    bool InfoDisplayMode = false;
    std::uint8_t KappaShutterPos = 0;
    int VideoSysCode = 0;       // 0 NTSC, 1 PAL
    int EffectLevel = 0;        // digital effect level, for the effect-level dialog
};

// Alarm state read by the alarm check and the alarm dialog, kept for the
// whole run; the night power-off relies on it.
struct AlarmState {
    bool AlarmActive = false;
    std::uint8_t AlarmMode = 0;
    bool AlarmModeKnown = false;
    int DayLevel = 0;
    bool DayLevelKnown = false;
    int NightLevel = 0;
    bool NightLevelKnown = false;
    int NowLevel = 0;
    bool AlarmConfigured = false;  // started, with mode and both levels known
    // The code of the "Day & Night" alarm mode.
    static constexpr std::uint8_t kDayNight = 0x0C;
};

// Model strings of the two series.
extern const char* const PTModelName[4];      // Alpha, Gamma, Beta, Kappa
extern const char* const BlockModelName[27];  // KBM-R01 .. KBM-R27

}  // namespace orbus
