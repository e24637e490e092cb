// Writes the seed corpora of the fuzz targets, made with the project's own image builder and
// operations: a plain disk with an extended chain, the same disk with the boot engine installed,
// their backup files, the sector helper's answers for them, .reg texts (the partition type
// catalogue and a hive the store wrote), for the search small disks with lost tables, lost
// first sectors and a chain with a lost record, and partition images for the image reader.
// Usage: korvex_fuzz_seeds OUTPUT-FOLDER PARTS.REG
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "MemoryDisk.h"
#include "analysis/VolumeSectors.h"
#include "backup/BackupFile.h"
#include "bootengine/EngineInstall.h"
#include "bootengine/LoaderRecognition.h"
#include "demo/ImageBuilder.h"
#include "disk/SectorHelperProtocol.h"
#include "image/ImageChecksums.h"
#include "image/ImageSave.h"
#include "partition/DiskSaver.h"
#include "platform/FileDevice.h"
#include "platform/RegFileFormat.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::vector<char>& bytes, std::size_t limit = SIZE_MAX) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(std::min(limit, bytes.size())));
}

std::unique_ptr<CHardDisk> Open(const ImageBuilder& image, CPrompt& prompt) {
  std::string error;
  return std::make_unique<CHardDisk>(0, OpenFileDevice(*ParseDeviceSpec(image.Spec(), error)), OsVersion{}, HoldsOurLoader, prompt);
}

// Two disks of 512 sectors for the search. "backups": a FAT32 volume at 16 and an NTFS volume at
// 320 whose first sectors are lost, found through their backups and confirmed by the first FAT
// and the master file table. "chain": no table, an extended partition at 64 whose chain has a
// FAT16 drive, a lost record with an ext4 volume behind it, and a last drive.
bool MakeSearchSeeds(const fs::path& folder) {
  using test::Put;
  std::string error;
  auto image = ImageBuilder::Create((folder / "disk.img").string(), 16, 4, 8, error);
  if (!image) return false;
  SectorBytes fat32 = test::FatBootSector(300, 1, true, "DATEN      ");
  Put(fat32, 0x24, 4, 4);  // a FAT of 4 sectors, so that the volume fits the disk
  SectorBytes fatStart{};
  fatStart[0] = 0xF8, fatStart[1] = 0xFF, fatStart[2] = 0xFF, fatStart[3] = 0x0F;
  SectorBytes fileRecord{};
  test::PutText(fileRecord, 0, "FILE");
  bool ok = image->WriteSector(16 + 6, fat32) && image->WriteSector(16 + 32, fatStart) &&
            image->WriteSector(320 + 127, test::NtfsBootSector(128)) && image->WriteSector(320 + 32, fileRecord);
  ok = ok && fs::copy_file(image->path(), folder / "backups", fs::copy_options::overwrite_existing);

  image = ImageBuilder::Create((folder / "disk.img").string(), 16, 4, 8, error);
  SectorBytes fat16 = test::FatBootSector(100, 1, false, "EINS       ");
  Put(fat16, 0x11, 16, 2);  // a root directory of one sector and a FAT of one
  Put(fat16, 0x16, 1, 2);
  ok = ok && image && image->AddExtended(0, 0x05, 64, 448, {{64, 72, 100, 0x06}, {180, 188, 100, 0x83}, {300, 308, 100, 0x83}});
  ok = ok && image->WriteSector(0, SectorBytes{}) && image->WriteSector(180, SectorBytes{}) &&
       image->WriteSector(72, fat16) && image->WriteSector(190, test::ExtSuperblock(12, test::ExtGeneration::Ext4, "home"));
  ok = ok && fs::copy_file(image->path(), folder / "chain", fs::copy_options::overwrite_existing);
  fs::remove(folder / "disk.img");
  return ok;
}

// Images of a partition of 3 cylinders and 10 sectors (4 × 8), as the image reader's target
// reads them: the main file, each block file after "--FILE--", the checksums after "--SUMS--".
// Raw, compressed, and compressed in block files of 2 KiB.
bool MakeImageSeeds(const fs::path& folder) {
  std::string error;
  auto image = ImageBuilder::Create((folder / "disk.img").string(), 8, 4, 8, error);
  if (!image || !image->AddPrimary(0, 0x0C, 32, 106)) return false;
  for (std::uint32_t s = 32; s < 138; ++s) {
    SectorBytes sector{};
    for (std::size_t i = 0; i < sector.size(); ++i) sector[i] = static_cast<std::uint8_t>(i < 64 ? s * 7 + i : i / 32);
    if (!image->WriteSector(s, sector)) return false;
  }
  fuzz::SilentPrompt prompt;
  auto disk = Open(*image, prompt);
  struct Kind {
    const char* name;
    bool compressed;
    std::optional<std::uint32_t> split;
  };
  for (const Kind& kind : {Kind{"raw", false, std::nullopt}, Kind{"bzip2", true, std::nullopt}, Kind{"split", true, 2048u}}) {
    const fs::path main = folder / "seed.pim";
    ImageSaveRequest request{disk.get(), {32, 106}, 0x0C, kind.compressed, kind.split, main.string(), 1};
    NullProgress progress;
    StopFlag stop;
    if (!SaveImage(request, progress, stop).Succeeded()) return false;
    std::vector<char> seed = ReadAll(main);
    for (unsigned n = 0; fs::exists(BlockFileName(main.string(), n)); ++n) {
      seed.insert(seed.end(), {'-', '-', 'F', 'I', 'L', 'E', '-', '-'});
      const auto block = ReadAll(BlockFileName(main.string(), n));
      seed.insert(seed.end(), block.begin(), block.end());
      fs::remove(BlockFileName(main.string(), n));
    }
    seed.insert(seed.end(), {'-', '-', 'S', 'U', 'M', 'S', '-', '-'});
    const auto sums = ReadAll(ChecksumFileName(main.string()));
    seed.insert(seed.end(), sums.begin(), sums.end());
    WriteAll(folder / kind.name, seed);
    fs::remove(main);
    fs::remove(ChecksumFileName(main.string()));
  }
  fs::remove(folder / "disk.img");
  return true;
}

int Make(const fs::path& out, const fs::path& catalogue) {
  for (const char* target : {"table", "engine", "backup", "reg", "helper", "scan", "image"}) {
    fs::create_directories(out / target);
  }
  if (!MakeSearchSeeds(out / "scan") || !MakeImageSeeds(out / "image")) {
    std::fprintf(stderr, "korvex_fuzz_seeds: the search's or the image reader's seeds could not be written\n");
    return 1;
  }
  fuzz::SilentPrompt prompt;
  std::string error;
  auto image = ImageBuilder::Create((out / "disk.img").string(), 8, 4, 8, error);  // 256 sectors
  if (!image || !image->AddPrimary(0, 0x07, 8, 56, true) ||
      !image->AddExtended(1, 0x05, 64, 160, {{64, 72, 24, 0x06}, {104, 112, 24, 0x83}, {160, 168, 40, 0x0B}}) ||
      !image->AddPrimary(2, 0x83, 224, 32)) {
    std::fprintf(stderr, "korvex_fuzz_seeds: %s\n", error.c_str());
    return 1;
  }
  const auto plain = ReadAll(image->path());
  ExportBackup(*Open(*image, prompt), (out / "plain.save").string(), prompt);
  auto disk = Open(*image, prompt);
  struct YesPrompt final : CPrompt {
    void Message(const std::string&, PromptIcon) override {}
    PromptAnswer Ask(const std::string&, PromptButtons, PromptIcon) override { return PromptAnswer::Yes; }
  } yes;
  if (!InstallEngine(*disk, {0, 2}, "", yes) || !WriteDisk(*disk, yes)) return 1;
  const auto engine = ReadAll(image->path());
  for (const auto& [name, bytes] : {std::pair{"plain", plain}, std::pair{"engine", engine}}) {
    WriteAll(out / "table" / name, bytes);
    WriteAll(out / "engine" / name, bytes, 64 * 512);
    auto backup = ReadAll(out / "plain.save");
    backup.insert(backup.end(), bytes.begin(), bytes.begin() + 64 * 512);
    WriteAll(out / "backup" / name, backup);
    // The sector helper's answers: every exchange answered in full; and, in turn, two answered in
    // full (the probe and the geometry), one short by 100 bytes, one in full, one timed out and
    // one failed.
    for (const auto& [suffix, scripts] :
         {std::pair{"", std::vector<char>{0}},
          std::pair{"-faults", std::vector<char>{6, 0, 0, 0, 0, 0, 0, 0, -100, -1, 0, 0, 0, 2, 0, 0, 1, 0, 0}}}) {
      std::vector<char> answers = scripts;
      const auto geometry = EncodeHelperGeometry({8, 4, 8});
      answers.insert(answers.end(), geometry.begin(), geometry.end());
      answers.insert(answers.end(), bytes.begin(), bytes.begin() + 64 * 512);
      WriteAll(out / "helper" / (std::string(name) + suffix), answers);
    }
  }
  WriteAll(out / "reg" / "parts.reg", ReadAll(catalogue));
  RegKey root;
  root.Create({"Software", "Mirlach", "korvex", "Settings"}).SetValue({"Win95Hack", RegValueType::String, "Korvex95.Exe", 0});
  root.Create({"Software", "Mirlach", "korvex", "Settings"}).SetValue({"Zahl", RegValueType::Dword, {}, 7});
  const std::string hive = FormatRegText(root) + "[-HKEY_CURRENT_USER\\Software\\Alt]\n\"x\"=-\n";
  WriteAll(out / "reg" / "hive.reg", std::vector<char>(hive.begin(), hive.end()));
  fs::remove(out / "disk.img");
  fs::remove(out / "plain.save");
  return 0;
}

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Aufruf: korvex_fuzz_seeds AUSGABEORDNER PARTS.REG\n");
    return 2;
  }
  return korvex::Make(argv[1], argv[2]);
}
