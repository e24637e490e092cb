// The entry point of the window program.
#include "app/KorvexApp.h"

wxIMPLEMENT_APP(korvex::CKorvexApp);
