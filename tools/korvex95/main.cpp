// korvex95: the stand-in sector helper program. It serves the program's device list
// (KORVEX_DISKS, else the machine's whole disks) one exchange per run:
//
//   korvex95 P DEVICE FILE                              the geometry into FILE (12 bytes)
//   korvex95 R DEVICE CYLINDER HEAD SECTOR COUNT FILE   COUNT sectors from CHS into FILE
//   korvex95 W DEVICE CYLINDER HEAD SECTOR COUNT FILE   COUNT sectors of FILE to CHS
//
// Exit status 0 when the whole exchange was done; 1 when it failed (no such device, a read or
// write error, a data file of the wrong size: nothing is written then); 2 on a malformed
// command line. A device that does not exist leaves the geometry file empty.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "disk/CPhysicalDrive.h"
#include "disk/SectorHelperProtocol.h"
#include "platform/DeviceList.h"
#include "platform/FileIo.h"
#include "platform/FileDevice.h"

namespace korvex {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int Fail(const std::string& text, int status = kFailed) {
  std::fprintf(stderr, "korvex95: %s\n", text.c_str());
  return status;
}

// Device n of the list, opened directly; nothing when there is no such usable device.
std::unique_ptr<CPhysicalDrive> OpenDevice(std::uint8_t n) {
  std::string error;
  const auto devices = DeviceList::FromEnvironment(error);
  if (!devices) {
    Fail(error);
    return nullptr;
  }
  const DeviceEntry* entry = devices->At(n);
  if (entry == nullptr) return nullptr;
  auto drive = std::make_unique<CPhysicalDrive>(n, OpenFileDevice(*entry), OsVersion{});
  if (!drive->IsUsable() || drive->SectorsPerTrack() == 0) return nullptr;
  return drive;
}

bool WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes);
  return ::close(fd) == 0 && written;
}

// The file's bytes when it holds exactly buffer.size() of them.
bool ReadWholeFile(const std::string& path, std::span<std::uint8_t> buffer) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  std::uint8_t beyond = 0;
  const bool exact = ReadUpTo(fd, buffer) == buffer.size() && ReadUpTo(fd, std::span(&beyond, 1)) == 0u;
  ::close(fd);
  return exact;
}

int ServeGeometry(const HelperRequest& request) {
  const auto drive = OpenDevice(request.device);
  if (!drive) return kFailed;  // the program probes past its last disk: no complaint
  if (drive->Cylinders() > UINT32_MAX) return Fail(drive->DeviceName() + ": zu viele Zylinder");
  const auto answer = EncodeHelperGeometry(
      {static_cast<std::uint32_t>(drive->Cylinders()), drive->Heads(), drive->SectorsPerTrack()});
  if (!WriteFile(request.file, answer)) return Fail("kann " + request.file + " nicht schreiben");
  return kDone;
}

int ServeTransfer(const HelperRequest& request) {
  const auto drive = OpenDevice(request.device);
  if (!drive) return Fail("PHYSICALDRIVE" + std::to_string(request.device) + " gibt es nicht");
  const ChsAddress& at = request.address;
  if (at.head >= drive->Heads() || at.sector > drive->SectorsPerTrack()) {
    return Fail("Kopf oder Sektor außerhalb der Geometrie", kUsage);
  }
  const std::uint64_t bytes = std::uint64_t{request.sectors} * kSectorSize;
  if (bytes > INT32_MAX) return Fail("zu viele Sektoren auf einmal", kUsage);
  const std::uint64_t offset = std::uint64_t{drive->ChsToLba(at.cylinder, at.head, at.sector)} * kSectorSize;
  const auto count = static_cast<std::uint32_t>(bytes);
  std::vector<std::uint8_t> buffer(count);

  if (request.operation == HelperOperation::Read) {
    const std::int32_t read = drive->Read(offset, count, buffer);
    if (read <= 0) return Fail("Lesefehler auf " + drive->DeviceName());
    // A read that runs into the end of the device hands over what it got, as the device does.
    if (!WriteFile(request.file, std::span(buffer).first(static_cast<std::size_t>(read)))) {
      return Fail("kann " + request.file + " nicht schreiben");
    }
    return kDone;
  }
  if (!ReadWholeFile(request.file, buffer)) return Fail(request.file + " hält nicht genau die zu schreibenden Sektoren");
  if (drive->Write(offset, count, buffer) != static_cast<std::int32_t>(count)) {
    return Fail("Schreibfehler auf " + drive->DeviceName());
  }
  if (!drive->Transport()->Flush()) return Fail("fsync auf " + drive->DeviceName() + " fehlgeschlagen");
  return kDone;
}

int Main(int argc, char** argv) {
  std::string error;
  const auto request = ParseHelperArguments(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!request) {
    return Fail(error + "\nAufruf: korvex95 P GERÄT DATEI | korvex95 R|W GERÄT ZYLINDER KOPF SEKTOR ANZAHL DATEI",
                kUsage);
  }
  return request->operation == HelperOperation::Geometry ? ServeGeometry(*request) : ServeTransfer(*request);
}

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) { return korvex::Main(argc, argv); }
