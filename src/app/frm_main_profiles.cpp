// The main window's camera profile items: saving the driven camera's
// settings, comparing them with a profile and applying one, each in the
// "Camera Profile" window.
#include "app/frm_main.h"
#include "app/program.h"
#include "dialogs/profile_window.h"

namespace orbus {

void FrmMain::ProfileSave_Click() { prog_.frmProfile().openToSave(); }

void FrmMain::ProfileCompare_Click() { prog_.frmProfile().openToCompare(); }

void FrmMain::ProfileApply_Click() { prog_.frmProfile().openToApply(); }

void FrmMain::showProfileItems() {
    const bool can = platform_.port.isOpen() && prog_.model.VersionRead;
    for (MenuItem* m : {&ProfileSave, &ProfileCompare, &ProfileApply}) m->setEnabled(can);
}

void FrmMain::wireProfiles() {
    ProfileSave.setSeparatorBefore(true);
    ProfileSave.onClick = [this] { ProfileSave_Click(); };
    ProfileCompare.onClick = [this] { ProfileCompare_Click(); };
    ProfileApply.onClick = [this] { ProfileApply_Click(); };
    showProfileItems();
}

}  // namespace orbus
