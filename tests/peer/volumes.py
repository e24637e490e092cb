"""File systems for the lost-partition tests: made by their own mkfs programs into a scratch file,
copied into a disk image at a partition's place, and checked read-only by their own checkers."""
import os
import shutil
import subprocess

MIB = 2048  # sectors
# The read-only checker of each file system.
CHECKERS = {"FAT16": ["fsck.fat", "-n"], "FAT32": ["fsck.fat", "-n"], "NTFS": ["ntfsfix", "-n"],
            "ext4": ["e2fsck", "-f", "-n"]}


def tool(name):
    return shutil.which(name) or os.path.join("/usr/sbin", name)


def make_volume(folder, fs, label, start, length):
    """A file system of length sectors as mkfs makes it for a partition at start; the file's path."""
    path = os.path.join(folder, "volume.img")
    with open(path, "wb") as f:
        f.truncate(length * 512)
    make = {"FAT16": ["mkfs.fat", "-F", "16", "-h", str(start), "-n", label],
            "FAT32": ["mkfs.fat", "-F", "32", "-h", str(start), "-n", label],
            "NTFS": ["mkntfs", "-q", "-F", "-Q", "-p", str(start), "-H", "16", "-S", "63", "-L", label],
            "ext4": ["mkfs.ext4", "-q", "-F", "-L", label],
            "swap": ["mkswap", "-L", label]}[fs]
    done = subprocess.run([tool(make[0])] + make[1:] + [path], capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError(f"{make[0]} failed: {done.stderr}")
    return path


def splice(disk, volume, start):
    """Copies the volume into the disk image at start, leaving the image sparse where it is zero."""
    with open(volume, "rb") as src, open(disk, "r+b") as dst:
        offset = start * 512
        while chunk := src.read(1 << 16):
            if chunk.count(0) != len(chunk):
                dst.seek(offset)
                dst.write(chunk)
            offset += len(chunk)


def put_volume(folder, disk, fs, label, start, length):
    splice(disk, make_volume(folder, fs, label, start, length), start)


def region(disk, start, length):
    with open(disk, "rb") as f:
        f.seek(start * 512)
        return f.read(length * 512)


def zero_sector(disk, lba):
    with open(disk, "r+b") as f:
        f.seek(lba * 512)
        f.write(bytes(512))


def check_volume(folder, disk, fs, start, length):
    """The file system's own checker on the volume at start, read-only: (exit status, its output)."""
    volume = os.path.join(folder, "check.img")
    with open(volume, "wb") as f:
        f.write(region(disk, start, length))
    check = CHECKERS[fs]
    done = subprocess.run([tool(check[0])] + check[1:] + [volume], capture_output=True, text=True)
    return done.returncode, done.stdout + done.stderr
