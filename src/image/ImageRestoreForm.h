#pragma once
// What "Partitionsabbild laden" decides without a window: the check of a chosen file
// ("Suchen") with the fields it shows, and the checks of "Starten" that lead to the worker's
// request.
#include <cstdint>
#include <optional>
#include <string>

#include "image/ImageFormat.h"
#include "image/ImageRestore.h"
#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

// The fields of "Abbildinformationen".
struct ImageSummary {
  std::uint32_t sizeMegabytes = 0;  // sectorCount / 2048, rounded down
  std::uint8_t partitionType = 0;
  bool compressed = false;
};
ImageSummary SummaryOf(const ImageBlockHeader& first);

struct ImageFileCheck {
  std::optional<ImageSummary> summary;  // the fields to show, when the first header was read
  std::string message;                  // empty: nothing to say
  PromptIcon icon = PromptIcon::Information;
};

// "Suchen": an empty name or a file that cannot be opened says nothing; a FIFO, socket, device
// or folder (never opened so that it could block) and a file without the magic (or with a cut
// first header) are refused with a stop message; otherwise the first header fills the summary,
// with a warning that names both sizes when the image's sectors differ from expectedSectors.
ImageFileCheck CheckImageFile(const std::string& path, std::uint32_t expectedSectors);

struct ImageRestoreForm {
  std::string fileName;   // as typed; blanks at either end are dropped
  unsigned threads = 0;
  bool checkFirst = true;  // check the image's data before the first write
};

// "Starten": the file name must be given, the file open, an image and of the entry's size, and
// the entry a target the restore may write (RestoreTarget); then the user is asked, with "Nein"
// as the default, whether the target's content may be overwritten. Returns the worker's
// request, or nothing after telling the user why not (or after a No).
std::optional<ImageRestoreRequest> PrepareImageRestore(const ImageRestoreForm& form, CHardDisk& disk,
                                                       const CPartition& entry, bool logical, CPrompt& prompt);

}  // namespace korvex
