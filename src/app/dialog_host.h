// The main window as the host of the auxiliary windows.
#pragma once

#include <memory>

#include "dialogs/host.h"

namespace orbus {

class FrmMain;
class Program;

// The dialogs' host on top of the main window.
std::unique_ptr<dialogs::Host> makeDialogHost(FrmMain& main);

// The main window's menu items that open the dialogs.
void wireDialogMenus(Program& prog);

}  // namespace orbus
