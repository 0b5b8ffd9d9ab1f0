// Colour group: the white-balance modes with what each enables, the
// one-push trigger, and the picture and digital effect menus.
#pragma once

#include <vector>

namespace orbus {

class MenuItem;

namespace panel {

class MainWindow;

// The white-balance mode items by the camera's mode code 0 to 5: Auto,
// indoor, outdoor, one push, ATW, manual.
std::vector<MenuItem*> whiteBalanceItems(MainWindow& m);

// The manual gains only in manual mode, the one-push trigger only in one-push mode.
void enableWhiteBalanceControls(MainWindow& m, int mode);

}  // namespace panel
}  // namespace orbus
