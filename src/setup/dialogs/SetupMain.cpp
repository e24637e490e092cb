// The entry point of the installer program.
#include "setup/dialogs/SetupApp.h"

wxIMPLEMENT_APP(korvex::setup::CSetupApp);
