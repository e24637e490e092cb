#include "disk/SectorHelper.h"

#include <array>
#include <cerrno>
#include <limits>
#include <optional>

#include "disk/SectorHelperProtocol.h"
#include "platform/ExchangeFile.h"
#include "platform/Trace.h"
#include "platform/TransferErrors.h"

namespace korvex {
namespace {

// The end of an exchange in the trace's words.
const char* EndText(const ProgramResult& result) {
  switch (result.end) {
    case ProgramEnd::Exited:
      return result.exitCode == 0 ? "erfolgreich" : "mit Fehlerstatus beendet";
    case ProgramEnd::TimedOut:
      return "keine Antwort in der Frist";
    case ProgramEnd::Abnormal:
      return "abgebrochen";
    case ProgramEnd::NotStarted:
      break;
  }
  return "nicht gestartet";
}

ProgramResult RunHelper(const SectorHelperSettings& settings, const HelperRequest& request) {
  const ProgramRun run{settings.program, HelperArguments(request), {{"KORVEX_DISKS", settings.disks}},
                       settings.timeLimit};
  const ProgramResult result = settings.run(run);
  if (Tracing(TraceCategory::Helper)) {
    std::string line = run.program;
    for (const std::string& argument : run.arguments) line += " " + argument;
    Trace(TraceCategory::Helper, "%s: %s (Status %d)", line.c_str(), EndText(result), result.exitCode);
  }
  return result;
}

// The error number of an exchange whose helper did not succeed. A write whose helper ran but
// did not finish may have changed any of its sectors; one that never started changed nothing.
int HelperError(const ProgramResult& result, HelperOperation operation) {
  const bool write = operation == HelperOperation::Write;
  switch (result.end) {
    case ProgramEnd::TimedOut:
      return write ? kErrorHelperNoAnswerWrite : kErrorHelperNoAnswer;
    case ProgramEnd::Abnormal:
      return write ? kErrorHelperAbortedWrite : EIO;
    case ProgramEnd::Exited:
    case ProgramEnd::NotStarted:
      break;
  }
  return EIO;
}

// The helper's geometry of the device; nothing when the exchange failed, the answer is not
// exactly 12 bytes, or it names a geometry the command lines cannot address.
std::optional<HelperGeometry> AskGeometry(const SectorHelperSettings& settings) {
  auto file = ExchangeFile::Create(kExchangeFilePrefix);
  if (!file) return std::nullopt;
  const HelperRequest request{HelperOperation::Geometry, settings.deviceNumber, {}, 0, file->path()};
  if (!RunHelper(settings, request).Succeeded()) return std::nullopt;
  std::array<std::uint8_t, kHelperGeometrySize> answer{};
  if (!file->ReadWhole(answer)) return std::nullopt;
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

  // All of buffer or nothing: an answer of another length is a read error, and the buffer's
  // bytes then mean nothing.
  std::int32_t Read(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    lastError_ = EIO;
    auto request = TransferRequest(HelperOperation::Read, offset, buffer.size());
    if (!request) return 0;
    auto file = ExchangeFile::Create(kExchangeFilePrefix);
    if (!file) return 0;
    request->file = file->path();
    const ProgramResult result = RunHelper(settings_, *request);
    if (!result.Succeeded()) {
      lastError_ = HelperError(result, HelperOperation::Read);
      return 0;
    }
    if (!file->ReadWhole(buffer)) return 0;
    lastError_ = 0;
    return static_cast<std::int32_t>(buffer.size());
  }

  std::int32_t Write(std::uint64_t offset, std::span<const std::uint8_t> buffer) override {
    lastError_ = EIO;
    auto request = TransferRequest(HelperOperation::Write, offset, buffer.size());
    if (!request) return 0;
    auto file = ExchangeFile::Create(kExchangeFilePrefix);
    if (!file || !file->Fill(buffer)) return 0;
    request->file = file->path();
    const ProgramResult result = RunHelper(settings_, *request);
    if (!result.Succeeded()) {
      lastError_ = HelperError(result, HelperOperation::Write);
      return 0;
    }
    lastError_ = 0;
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

  int LastErrorNumber() const override { return lastError_; }
  std::optional<FileIdentity> Identity() const override { return IdentityOfPath(settings_.devicePath); }
  bool TransfersStartAProgram() const override { return true; }

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
  int lastError_ = 0;
};

}  // namespace

bool ProbeSectorHelper(const SectorHelperSettings& settings) { return AskGeometry(settings).has_value(); }

std::unique_ptr<IDiskTransport> OpenSectorHelper(SectorHelperSettings settings) {
  return std::make_unique<SectorHelper>(std::move(settings));
}

}  // namespace korvex
