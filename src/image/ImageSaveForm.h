#pragma once
// What "Partitionsabbild erzeugen" decides without a window: the default file name, the block
// file size read from its text, and the checks of "Starten" that lead to the worker's request.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/ImageSave.h"
#include "partition/CHardDisk.h"
#include "platform/MountedRanges.h"
#include "platform/Prompt.h"

namespace korvex {

struct CalendarDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};
CalendarDate LocalDate();

// The entry's boot-menu title (trailing blanks removed), or the disk's label when the title is
// empty, followed by "-YEAR-MONTH-DAY.pim" without leading zeros: "System-2004-3-7.pim". A '/'
// in the title or label, which would name a folder, becomes '_'.
std::string DefaultImageFileName(const CPartition& entry, const std::string& diskLabel, CalendarDate date);

// The number at the start of text as the C library's atoi reads it: leading white space, an
// optional sign, then digits up to the first other character; 0 without digits. Saturates
// where atoi would overflow.
long long LeadingNumber(std::string_view text);

// The split limit in bytes for a size text in megabytes; nothing for 0, a negative size and
// 4096 and more, whose bytes do not fit the format's 32-bit limit.
std::optional<std::uint32_t> SplitLimitFromText(std::string_view sizeText);

struct ImageSaveForm {
  std::string fileName;
  bool compressed = false;
  bool split = false;
  std::string sizeText;  // megabytes per file; read only when splitting
  unsigned threads = 0;
};

// "Starten": refuses an empty file name, a name the image must not replace (OutputRefusal with
// the working copy's disk files), a wrong size text while splitting and an object that has no
// image (each with its message); asks before imaging a mounted file system. Returns the
// worker's request, or nothing after the user was told why not.
std::optional<ImageSaveRequest> PrepareImageSave(const ImageSaveForm& form, CHardDisk& disk, const CPartition& entry,
                                                 bool logical, CPrompt& prompt, const MountSources& mounts = {});

// The file name field without blanks at either end.
std::string TrimFileName(std::string_view name);

}  // namespace korvex
