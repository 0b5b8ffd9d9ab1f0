// "AE SPOT": spot metering on and off, and the spot's place on a 16 x 16
// grid of the picture.
#pragma once

#include "dialogs/packets.h"
#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

namespace dialogs {
class Context;
}

class FrmAES : public Form {
public:
    explicit FrmAES(dialogs::Context& context);

    Button AESpotON{*this, "AESpotON", "ON"};
    Button AESpotOFF{*this, "AESpotOFF", "OFF"};
    Label LblPosX{*this, "LblPosX", "q: 0 to F"};
    TextBox AESpotPosX{*this, "AESpotPosX", "8"};
    Label LblPosY{*this, "LblPosY", "s: 0 to F"};
    TextBox AESpotPosY{*this, "AESpotPosY", "8"};
    Button AESpotSet{*this, "AESpotSet", "Position Set"};
    // The picture as a 16 x 16 grid, q across and s down, the spot marked.
    Picture SpotGrid{*this, "SpotGrid"};
    Label LblQ0{*this, "LblQ0", "0"};
    Label LblQF{*this, "LblQF", "F  q"};
    Label LblSF{*this, "LblSF", "F  s"};
    TextBox AESpot{*this, "AESpot"};

    void AESpotON_Click();
    void AESpotOFF_Click();
    void AESpotSet_Click();
    void Form_Unload();

private:
    void send(dialogs::Packet packet, const std::vector<int>& values = {});
    dialogs::Context& ctx_;
};

}  // namespace orbus
