#include "analysis/ScanHit.h"

namespace korvex {

const char* FileSystemName(FileSystemKind kind) {
  switch (kind) {
    case FileSystemKind::None: return "";
    case FileSystemKind::Fat12: return "FAT12";
    case FileSystemKind::Fat16: return "FAT16";
    case FileSystemKind::Fat32: return "FAT32";
    case FileSystemKind::Ntfs: return "NTFS";
    case FileSystemKind::Ext2: return "ext2";
    case FileSystemKind::Ext3: return "ext3";
    case FileSystemKind::Ext4: return "ext4";
    case FileSystemKind::LinuxSwap: return "swap";
  }
  return "";
}

}  // namespace korvex
