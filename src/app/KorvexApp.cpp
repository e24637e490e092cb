#include "app/KorvexApp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <wx/utils.h>

#include "app/BootMenuPreviewDialog.h"
#include "app/MainFrame.h"
#include "app/Screenshot.h"
#include "wxcommon/WxText.h"

namespace korvex {
namespace {

constexpr const char* kUsage = "Aufruf: korvex [--demo] [--screenshot DATEI.png | --screenshot-preview DATEI.png] "
    "[ABBILD[@KÖPFExSEKTOREN]]...\n        korvex --help | --version";
// Time for the window manager and GTK to paint the window before it is captured.
constexpr int kScreenshotDelayMs = 800;

}  // namespace

std::optional<ProgramOptions> ParseProgramArguments(const std::vector<std::string>& arguments, std::string& usage) {
  ProgramOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--demo") {
      options.start.demo = true;
    } else if (argument == "--screenshot" && i + 1 < arguments.size()) {
      options.screenshot = arguments[++i];
    } else if (argument == "--screenshot-preview" && i + 1 < arguments.size()) {
      options.previewScreenshot = arguments[++i];
    } else if (argument.empty() || argument[0] == '-') {
      usage = kUsage;
      return std::nullopt;
    } else {
      options.start.diskSpecs.push_back(argument);
    }
  }
  return options;
}

std::string ProgramHelp() {
  return std::string(kUsage) +
         "\nOhne Abbilder zeigt korvex die Festplatten aus KORVEX_DISKS, sonst die des Rechners; für diese braucht es\n"
         "Administratorrechte (der Menüeintrag fragt mit korvex-pkexec nach dem Passwort). --demo zeigt die\n"
         "Beispielfestplatten, --screenshot speichert ein Bild des Hauptfensters und endet.\n"
         "Ausführlich: man korvex";
}

namespace {

// With KORVEX_READY_FILE naming a file, the window writes there, once it has painted and is idle,
// how long the start took: "ready MS load MS probe MS" (milliseconds, one decimal, from the start of the
// window program's start-up; reading the tables; reading the kernel's partitions and probing the
// file systems). The benchmark in bench/ waits for it.
void ReportReadyWhenIdle(CMainFrame& frame, std::chrono::steady_clock::time_point begun,
                         std::chrono::steady_clock::duration loading) {
  const char* file = std::getenv("KORVEX_READY_FILE");
  if (file == nullptr || *file == '\0') return;
  const auto once = std::make_shared<bool>(false);
  frame.Bind(wxEVT_IDLE, [&frame, file, begun, loading, once](wxIdleEvent& event) {
    event.Skip();
    if (*once) return;
    *once = true;
    const auto ms = [](std::chrono::steady_clock::duration d) {
      return std::chrono::duration<double, std::milli>(d).count();
    };
    if (FILE* out = std::fopen(file, "w")) {
      std::fprintf(out, "ready %.1f load %.1f probe %.1f\n", ms(std::chrono::steady_clock::now() - begun), ms(loading),
                   ms(frame.doc().details().ReadingTime()));
      std::fclose(out);
    }
  });
}

}  // namespace

CMainFrame* OpenMainWindow(const StartOptions& options, CPrompt& prompt) {
  const auto begun = std::chrono::steady_clock::now();
  wxBusyCursor wait;
  StartResult started = StartProgram(options, prompt);
  if (!started.context) {
    prompt.Message(started.error, PromptIcon::Stop);
    return nullptr;
  }
  auto doc = std::make_unique<CKorvexDoc>(std::move(started.context), SystemRestartService());
  const auto loadBegun = std::chrono::steady_clock::now();
  doc->LoadAll();
  const auto loading = std::chrono::steady_clock::now() - loadBegun;
  auto* frame = new CMainFrame(std::move(doc));
  frame->Show();
  frame->Update();
  ReportReadyWhenIdle(*frame, begun, loading);
  return frame;
}

bool CKorvexApp::OnInit() {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
  std::string usage;
  const auto options = ParseProgramArguments(arguments, usage);
  if (!options) {
    std::fprintf(stderr, "%s\n", usage.c_str());
    return false;
  }
  CMainFrame* frame = OpenMainWindow(options->start, prompt_);
  if (frame == nullptr) return false;
  SetTopWindow(frame);
  screenshot_ = options->previewScreenshot.empty() ? options->screenshot : options->previewScreenshot;
  if (!options->previewScreenshot.empty()) {
    screenshotTimer_.Bind(wxEVT_TIMER, [this, frame](wxTimerEvent&) { ShowPreviewForScreenshot(*frame); });
    screenshotTimer_.StartOnce(kScreenshotDelayMs);
  } else if (!screenshot_.empty()) {
    screenshotTimer_.Bind(wxEVT_TIMER, [this, frame](wxTimerEvent&) { SaveScreenshotAndClose(*frame); });
    screenshotTimer_.StartOnce(kScreenshotDelayMs);
  }
  return true;
}

void CKorvexApp::SaveScreenshotAndClose(wxWindow& window) {
  screenshotFailed_ = !SaveWindowPicture(window, screenshot_);
  if (screenshotFailed_) std::fprintf(stderr, "korvex: %s konnte nicht geschrieben werden\n", screenshot_.c_str());
  window.Destroy();
}

void CKorvexApp::ShowPreviewForScreenshot(CMainFrame& frame) {
  CHardDisk* disk = nullptr;
  for (const auto& [device, each] : frame.doc().workingCopy().disks()) {
    if (disk == nullptr && each->EngineInstalled()) disk = each.get();
  }
  if (disk == nullptr) {
    std::fprintf(stderr, "korvex: keine der Festplatten trägt den Bootmanager\n");
    screenshotFailed_ = true;
    frame.Destroy();
    return;
  }
  auto* dialog = new CBootMenuPreviewDlg(&frame, frame.doc().workingCopy(), *disk, prompt_);
  dialog->Show();
  previewTimer_.Bind(wxEVT_TIMER, [this, dialog, &frame](wxTimerEvent&) {
    SaveScreenshotAndClose(*dialog);
    frame.Destroy();
  });
  previewTimer_.StartOnce(kScreenshotDelayMs);
}

int CKorvexApp::OnRun() {
  const int code = wxApp::OnRun();
  return screenshotFailed_ ? 1 : code;
}

}  // namespace korvex
