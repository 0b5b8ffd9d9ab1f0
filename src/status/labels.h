// Label tables that turn the camera's exposure positions into readable
// values (shutter speeds, F-numbers, gains), per lens class and model.
#pragma once

#include <array>
#include <string>

namespace orbus {

struct LabelTables {
    std::array<std::string, 15> ExpCompLabel;
    std::array<std::string, 16> GainLabel;
    std::array<std::array<std::string, 22>, 2> ShutterLabel;  // row 0 NTSC, 1 PAL
    std::array<std::string, 18> IrisLabel;
    std::array<std::string, 32> BrightLabel;
    std::array<std::string, 16> VideoSystemLabel;

    // Written once when the main window loads; block-camera profiles keep them.
    void fillDefaults();
    // Iris and bright tables of the lens classes.
    void fill10X();
    void fill18X();
    void fill25X();
    // Pan-tilt models' tables.
    void fillBeta();
    void fillGamma();
    void fillKappa();

    // Lookups by the camera's position value; a position outside the table
    // gives an empty text (the camera may report anything).
    std::string expComp(int p) const;
    std::string gain(int p) const;
    std::string shutter(int row, int p) const;
    std::string iris(int p) const;
    std::string bright(int p) const;
    std::string videoSystem(int p) const;
};

// The ORX-Kappa's auto slow shutter limit 0 to 2 as its menu shows it
// ("1/60", or "1/50" on a PAL camera); empty outside the menu.
std::string slowShutterLimitText(bool pal, int limit);

}  // namespace orbus
