#pragma once
// The program korvex: its command line, the start-up through the core, the document and the
// main window.
#include <optional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/timer.h>

#include "wxcommon/GuiPrompt.h"
#include "shell/ProgramStart.h"

namespace korvex {

class CMainFrame;

struct ProgramOptions {
  bool help = false;        // --help: the usage on stdout, nothing else
  bool version = false;     // --version: "korvex VERSION" on stdout, nothing else
  StartOptions start;       // image files "path[@HEADSxSECTORS]" and --demo
  std::string screenshot;   // --screenshot FILE: save the main window as PNG and end
  std::string previewScreenshot;  // --screenshot-preview FILE: the boot menu preview of the
                                  // first disk with the engine instead
};

// "korvex [--demo] [--screenshot FILE | --screenshot-preview FILE] [IMAGE[@HxS]…]", or --help or
// --version; nothing and the usage text for anything else.
std::optional<ProgramOptions> ParseProgramArguments(const std::vector<std::string>& arguments, std::string& usage);

// What --help prints: the usage and where the program finds its disks.
std::string ProgramHelp();

// Starts the core (locale, devices, registry store, catalogue check), reads the working copy
// and shows the main window 640 × 480, centred. Nothing, after a stop message through prompt,
// when the program cannot start: then no window has been made.
CMainFrame* OpenMainWindow(const StartOptions& options, CPrompt& prompt);

class CKorvexApp final : public wxApp {
 public:
  bool OnInit() override;
  int OnRun() override;

 private:
  // Saves the picture of window, then closes it.
  void SaveScreenshotAndClose(wxWindow& window);
  // Opens the boot menu preview and captures it once it is painted.
  void ShowPreviewForScreenshot(CMainFrame& frame);

  GuiPrompt prompt_;
  std::string screenshot_;
  wxTimer screenshotTimer_;
  wxTimer previewTimer_;
  bool screenshotFailed_ = false;
};

}  // namespace korvex
