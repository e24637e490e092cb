#include "disk/SectorHelper.h"

#include <array>
#include <limits>
#include <optional>

#include "disk/SectorHelperProtocol.h"
#include "platform/ChildProcess.h"
#include "platform/ExchangeFile.h"

namespace korvex {
namespace {

bool RunHelper(const SectorHelperSettings& settings, const HelperRequest& request) {
  const ProgramRun run{settings.program, HelperArguments(request), {{"KORVEX_DISKS", settings.disks}},
                       settings.timeLimit};
  return RunProgram(run).Succeeded();
}

// The helper's geometry of the device; nothing when the exchange failed, the answer is short,
// or it names a geometry the command lines cannot address.
std::optional<HelperGeometry> AskGeometry(const SectorHelperSettings& settings) {
  auto file = ExchangeFile::Create(kExchangeFilePrefix);
  if (!file) return std::nullopt;
  const HelperRequest request{HelperOperation::Geometry, settings.deviceNumber, {}, 0, file->path()};
  if (!RunHelper(settings, request)) return std::nullopt;
  std::array<std::uint8_t, kHelperGeometrySize> answer{};
  if (file->ReadInto(answer) != kHelperGeometrySize) return std::nullopt;
  const HelperGeometry geometry = DecodeHelperGeometry(answer);
  if (!HelperAddress(0, geometry.heads, geometry.sectorsPerTrack)) return std::nullopt;
  return geometry;
}

class SectorHelper final : public IDiskTransport {
 public:
  explicit SectorHelper(SectorHelperSettings settings) : settings_(std::move(settings)) {}

  bool IsOpen() const override { return true; }

  std::optional<DiskGeometry> QueryGeometry() override {
    const auto answer = AskGeometry(settings_);
    if (!answer) return std::nullopt;
    geometry_ = answer;  // later transfers address sectors in the helper's latest geometry
    DiskGeometry geometry;
    geometry.Cylinders = answer->cylinders;
    geometry.TracksPerCylinder = answer->heads;
    geometry.SectorsPerTrack = answer->sectorsPerTrack;
    geometry.BytesPerSector = kSectorSize;
    return geometry;
  }

  // The helper tells the geometry only, not the size of the medium.
  std::uint64_t SizeBytes() const override { return 0; }

  std::int32_t Read(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    auto request = TransferRequest(HelperOperation::Read, offset, buffer.size());
    if (!request) return 0;
    auto file = ExchangeFile::Create(kExchangeFilePrefix);
    if (!file) return 0;
    request->file = file->path();
    if (!RunHelper(settings_, *request)) return 0;
    return static_cast<std::int32_t>(file->ReadInto(buffer).value_or(0));
  }

  std::int32_t Write(std::uint64_t offset, std::span<const std::uint8_t> buffer) override {
    auto request = TransferRequest(HelperOperation::Write, offset, buffer.size());
    if (!request) return 0;
    auto file = ExchangeFile::Create(kExchangeFilePrefix);
    if (!file || !file->Fill(buffer)) return 0;
    request->file = file->path();
    if (!RunHelper(settings_, *request)) return 0;
    return static_cast<std::int32_t>(buffer.size());
  }

  // A write exchange ends only after the helper has put the sectors on the device; the
  // helper has no way to ask the kernel to re-read a partition table.
  bool Flush() override { return true; }
  TableReload RereadPartitionTable() override { return TableReload::NotNeeded; }
  bool IsBlockDevice() const override { return settings_.blockDevice; }

  std::string Describe() const override {
    return settings_.program + ", Gerät " + std::to_string(settings_.deviceNumber);
  }

 private:
  // The command line of a transfer of size bytes at offset; nothing for a transfer the command
  // line cannot express exactly (not whole sectors, or beyond its CHS fields).
  std::optional<HelperRequest> TransferRequest(HelperOperation operation, std::uint64_t offset, std::size_t size) {
    if (size == 0 || size > std::numeric_limits<std::int32_t>::max() || offset % kSectorSize != 0 ||
        size % kSectorSize != 0) {
      return std::nullopt;
    }
    if (!geometry_ && !QueryGeometry()) return std::nullopt;
    const auto address = HelperAddress(offset / kSectorSize, geometry_->heads, geometry_->sectorsPerTrack);
    if (!address) return std::nullopt;
    return HelperRequest{operation, settings_.deviceNumber, *address,
                         static_cast<std::uint32_t>(size / kSectorSize), {}};
  }

  SectorHelperSettings settings_;
  std::optional<HelperGeometry> geometry_;
};

}  // namespace

bool ProbeSectorHelper(const SectorHelperSettings& settings) { return AskGeometry(settings).has_value(); }

std::unique_ptr<IDiskTransport> OpenSectorHelper(SectorHelperSettings settings) {
  return std::make_unique<SectorHelper>(std::move(settings));
}

}  // namespace korvex
