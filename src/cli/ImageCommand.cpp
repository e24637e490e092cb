// "image save|restore|info|verify": partition images. save and restore are the dialogs
// "Partitionsabbild erzeugen" and "Partitionsabbild laden" on a terminal: a progress bar with
// the estimate, and Ctrl-C (or SIGTERM, SIGHUP) stops at the next block like the dialogs'
// cancel. restore asks before it overwrites the partition (--yes answers) and checks the image
// before its first write unless --no-verify is given. info shows what the restore dialog shows
// plus the image's records and files; verify compares the files with NAME.sha256 and reads and
// decompresses every block without touching a disk.
#include <cstdio>
#include <variant>

#include "cli/ArgumentValues.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "cli/TerminalProgress.h"
#include "image/ImageReading.h"
#include "image/ImageRestoreForm.h"
#include "image/ImageSaveForm.h"
#include "image/ImageVerify.h"

namespace korvex {
namespace {

constexpr const char* kUsage =
    "Aufruf: image save OBJEKT DATEI [--compress] [--split MB] [--threads N] | image restore OBJEKT DATEI "
    "[--threads N] [--no-verify] | image info DATEI | image verify DATEI [--threads N]";
constexpr std::uint64_t kMaxThreads = 64;

struct ImageArguments {
  std::vector<std::string> positional;
  bool compress = false;
  std::optional<std::string> splitMegabytes;
  unsigned threads = 0;
  bool noVerify = false;
};

// The arguments after the subcommand; nothing after a usage error. --compress and --split
// belong to save, --no-verify to restore.
std::optional<ImageArguments> ParseArguments(const Arguments& arguments, const std::string& subcommand) {
  const bool allowSaveOptions = subcommand == "save";
  ImageArguments parsed;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--no-verify" && subcommand == "restore") {
      parsed.noVerify = true;
    } else if (argument == "--compress" && allowSaveOptions) {
      parsed.compress = true;
    } else if (argument == "--split" && allowSaveOptions && i + 1 < arguments.size()) {
      parsed.splitMegabytes = arguments[++i];
    } else if (argument == "--threads" && i + 1 < arguments.size()) {
      const auto threads = ParseNumber(arguments[++i], kMaxThreads);
      if (!threads || *threads == 0) {
        PrintError("image: --threads erwartet eine Zahl von 1 bis 64");
        return std::nullopt;
      }
      parsed.threads = static_cast<unsigned>(*threads);
    } else if (argument.rfind("--", 0) == 0) {
      PrintError("image: unbekannte oder unvollständige Option " + argument);
      return std::nullopt;
    } else {
      parsed.positional.push_back(argument);
    }
  }
  return parsed;
}

// Runs a worker with a progress bar and Ctrl-C as its cancel, then shows its outcome.
template <typename Work>
int RunWithProgress(CliSession& session, Work work) {
  StopFlag stop;
  WorkOutcome outcome;
  {
    TerminalProgress progress;
    InterruptRaisesStop interrupt(stop);
    outcome = work(progress, stop);
  }
  ShowOutcome(outcome, session.prompt());
  return outcome.Succeeded() ? kExitOk : kExitFailed;
}

int Save(CliSession& session, const ImageArguments& arguments) {
  session.LoadDisks();
  const auto selected = SelectObject(session, arguments.positional[0]);
  if (!selected) return kExitUsage;
  ImageSaveForm form;
  form.fileName = arguments.positional[1];
  form.compressed = arguments.compress;
  form.split = arguments.splitMegabytes.has_value();
  form.sizeText = arguments.splitMegabytes.value_or("");
  form.threads = arguments.threads;
  const auto request = PrepareImageSave(form, *selected->disk, *selected->object, selected->IsLogical(), session.prompt());
  if (!request) return kExitFailed;
  return RunWithProgress(session, [&](IProgressSink& progress, const StopFlag& stop) {
    return SaveImage(*request, progress, stop);
  });
}

int Restore(CliSession& session, const ImageArguments& arguments) {
  session.LoadDisks();
  const auto selected = SelectObject(session, arguments.positional[0]);
  if (!selected) return kExitUsage;
  ImageRestoreForm form;
  form.fileName = arguments.positional[1];
  form.threads = arguments.threads;
  form.checkFirst = !arguments.noVerify;
  const auto request = PrepareImageRestore(form, *selected->disk, *selected->object, selected->IsLogical(),
                                           session.prompt());
  if (!request) return kExitFailed;
  return RunWithProgress(session, [&](IProgressSink& progress, const StopFlag& stop) {
    return RestoreImage(*request, progress, stop);
  });
}

int Info(CliSession& session, const std::string& path) {
  const FirstHeader first = ReadFirstHeader(path);
  if (first.state != FirstHeaderState::Read) {
    session.prompt().Message(FirstHeaderRefusal(first, path), PromptIcon::Stop);
    return kExitFailed;
  }
  const ImageBlockHeader& header = first.header;
  const ImageSummary summary = SummaryOf(header);
  std::printf("Partitionsgröße: %u MB\nPartitionstyp: %u\nKomprimiert: %s\n", summary.sizeMegabytes,
              unsigned{summary.partitionType}, summary.compressed ? "ja" : "nein");
  std::printf("Bereich: ab Sektor %u, %u Sektoren\nBlockgröße: %u Bytes\nAufgespalten: %s\n", header.startSector,
              header.sectorCount, header.blockBytes, header.split ? "ja" : "nein");
  const auto layout = ReadImageLayout(path);
  if (const auto* refusal = std::get_if<std::string>(&layout)) {
    std::fflush(stdout);
    session.prompt().Message(*refusal, PromptIcon::Stop);
    return kExitFailed;
  }
  const ImageLayout& image = std::get<ImageLayout>(layout);
  std::printf("Blöcke: %zu\nDateien:\n", image.records.size());
  for (const auto& file : image.files) std::printf("  %s\n", file.c_str());
  return kExitOk;
}

}  // namespace

int RunImage(CliSession& session, const Arguments& arguments) {
  const std::string subcommand = arguments.empty() ? "" : arguments[0];
  const bool save = subcommand == "save";
  const auto parsed = ParseArguments(arguments, subcommand);
  const std::size_t wanted = save || subcommand == "restore" ? 2 : subcommand == "info" || subcommand == "verify" ? 1 : 0;
  if (!parsed || wanted == 0 || parsed->positional.size() != wanted ||
      (subcommand == "info" && parsed->threads != 0)) {
    PrintError(kUsage);
    return kExitUsage;
  }
  if (save) return Save(session, *parsed);
  if (subcommand == "restore") return Restore(session, *parsed);
  if (subcommand == "info") return Info(session, parsed->positional[0]);
  return RunWithProgress(session, [&](IProgressSink& progress, const StopFlag& stop) {
    return VerifyImage(parsed->positional[0], parsed->threads, progress, stop);
  });
}

}  // namespace korvex
