#pragma once
// Builds disk image files byte by byte: a sparse file of any geometry, partition table entries
// (with CHS fields computed from the geometry), boot signatures and raw sectors. Used by the
// tests and the demo disk set to lay out exactly the tables they need,
// malformed ones included.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvex {

struct EntrySpec {
  std::uint8_t bootIndicator = 0;
  std::uint8_t type = 0;
  std::uint32_t relativeStart = 0;
  std::uint32_t length = 0;
};

// One logical drive of a chain: where its EBR lies and where its data lies (absolute sectors).
struct LogicalSpec {
  std::uint32_t ebr = 0;
  std::uint32_t dataStart = 0;
  std::uint32_t dataLength = 0;
  std::uint8_t type = 0x83;
};

class ImageBuilder {
 public:
  // Creates (or truncates) path as a sparse file of cylinders × heads × sectors sectors plus
  // extraSectors; nothing and an error text when the file cannot be made.
  static std::optional<ImageBuilder> Create(const std::string& path, std::uint32_t cylinders, std::uint32_t heads,
                                            std::uint32_t sectors, std::string& error,
                                            std::uint32_t extraSectors = 0);

  const std::string& path() const { return path_; }
  std::uint32_t heads() const { return heads_; }
  std::uint32_t sectorsPerTrack() const { return sectors_; }
  std::uint64_t totalSectors() const { return totalSectors_; }
  // "path@HEADSxSECTORS", the form the program takes on its command line.
  std::string Spec() const;

  // Each returns false when the sector cannot be read or written. The CHS fields of an entry
  // describe the absolute sectors chsBase + relative start and its end (clamped at cylinder
  // 1023); chsBase is the record's own reference point, 0 in the master boot record.
  bool SetEntry(std::uint32_t sectorLba, unsigned index, const EntrySpec& entry, std::uint32_t chsBase = 0);
  bool SetSignature(std::uint32_t sectorLba);
  bool WriteSector(std::uint32_t lba, std::span<const std::uint8_t> bytes);
  std::optional<std::vector<std::uint8_t>> ReadSector(std::uint32_t lba) const;

  // A master boot record entry with the signature.
  bool AddPrimary(unsigned index, std::uint8_t type, std::uint32_t start, std::uint32_t length, bool active = false);
  // An extended partition at table index with a chain of logical drives, each EBR's link
  // counted from the extended partition's start (type 5 links). When the first drive does not
  // start at the extended partition's start, a record there without a drive links to it.
  bool AddExtended(unsigned index, std::uint8_t type, std::uint32_t start, std::uint32_t length,
                   const std::vector<LogicalSpec>& drives);
  // A boot sector at lba that carries a marker text and ends in 55h AAh.
  bool AddBootSector(std::uint32_t lba, const std::string& marker);

 private:
  ImageBuilder(std::string path, std::uint32_t heads, std::uint32_t sectors, std::uint64_t totalSectors)
      : path_(std::move(path)), heads_(heads), sectors_(sectors), totalSectors_(totalSectors) {}
  void PutChs(std::uint8_t* bytes, std::uint32_t lba) const;

  std::string path_;
  std::uint32_t heads_;
  std::uint32_t sectors_;
  std::uint64_t totalSectors_;
};

}  // namespace korvex
