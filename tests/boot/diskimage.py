"""Disk images for the boot tests.

Every image a boot test uses is described here, in terms of what is set up on it: partitions
with their test boot sectors, the boot engine with its menu entries, titles, passwords, timeout,
automatic boot, colours, remember-last flag, default entry and direct-boot request.

For now the module lays the bytes down itself, from the two assembled templates and the on-disk
layout of the engine's tables (menu table in sector 0 at 0x0EE, its MBR copy at engine-area
0x800, screen lines, password slots, boot slot). Once korvex-cli can install and configure the
engine, make_disk() is the one place that switches to it.
"""

import dataclasses
import functools
import os
import pathlib
import subprocess
import tempfile

SECTOR = 512
HEADS = 16
SECTORS_PER_TRACK = 63
CYLINDER = HEADS * SECTORS_PER_TRACK
DEFAULT_SECTORS = 16 * CYLINDER                 # 8 MiB, sparse

# Sector 0 (loader sector).
DEFAULT_ENTRY = 0x095
DIRECT_BOOT = 0x096
MENU_TABLE = 0x0EE
PARTITION_TABLE = 0x1BE
BOOT_SLOT = 0x1CE
ENTRY_SIZE = 16

# Engine area (LBA 1..7).
AREA_SECTORS = 7
SCREEN_LINES = 0x003
LINE_SIZE = 48
MENU_FIRST_LINE = 5
VERSION_MINOR = 0x04B
STATUS_SWITCH = 0x0AE                           # characters 27..40 of screen line 3
TIMEOUT = 0x368
REMEMBER_LAST = 0x369
BAR_COLOUR = 0x36A
MENU_COLOUR = 0x36B
AUTOBOOT_SWITCH = 0x3DC
MBR_COPY = 0x800
PASSWORDS = 0xA00
PASSWORD_KEY = 0xBA0
FLOPPY_A_SLOT = 12

BOTTOM_BORDER = b"\xc8" + b"\xcd" * 45 + b"\xbc" + b"\x00"
REPORT_IDENTITY_OFFSET = 0x1E0                  # see report_sector.asm


@dataclasses.dataclass
class Partition:
    """A primary partition whose first sector is a test boot sector reporting `ident`."""
    ident: str
    start: int
    length: int = CYLINDER
    type: int = 0x06
    title: str = ""
    password: str = ""
    active: bool = False                        # boot indicator 80h (table partitions only)
    bootable: bool = True                       # boot sector ends in 55h AAh


def standard_partitions(count, titles=None):
    """`count` one-cylinder partitions P0, P1, ... at cylinders 1, 2, ..., titled "System k"."""
    return [Partition(ident=f"P{k}", start=(k + 1) * CYLINDER,
                      title=(titles[k] if titles else f"System {k}"))
            for k in range(count)]


def template(name):
    """The assembled loader.bin or engine.bin from the build's generated directory
    (KORVEX_GENERATED_DIR, which CTest sets; by hand it defaults to the README's build/)."""
    default = pathlib.Path(__file__).resolve().parents[2] / "build" / "src" / "generated"
    path = pathlib.Path(os.environ.get("KORVEX_GENERATED_DIR", default)) / name
    if not path.is_file():
        raise RuntimeError(f"{path} is missing: build first, or set KORVEX_GENERATED_DIR")
    return path.read_bytes()


@functools.lru_cache(maxsize=None)
def _report_sector():
    source = pathlib.Path(__file__).with_name("report_sector.asm")
    out = pathlib.Path(tempfile.mkdtemp(prefix="korvex-report-")) / "report.bin"
    subprocess.run([os.environ.get("KORVEX_NASM", "nasm"), "-f", "bin", "-o", str(out), str(source)],
                   check=True)
    return out.read_bytes()


def report_sector(ident, bootable=True):
    """A test boot sector that reports `ident`; without the 55h AAh signature if not bootable."""
    sector = bytearray(_report_sector())
    name = ident.encode("ascii")
    assert len(name) < 16, ident
    sector[REPORT_IDENTITY_OFFSET:REPORT_IDENTITY_OFFSET + len(name)] = name
    if not bootable:
        sector[510:512] = b"\0\0"
    return bytes(sector)


def chs(lba):
    """(cylinder, head, sector) of an LBA with this module's geometry, cylinder not clamped."""
    return lba // CYLINDER, (lba // SECTORS_PER_TRACK) % HEADS, lba % SECTORS_PER_TRACK + 1


def pack_chs(lba):
    cylinder, head, sector = chs(lba)
    return bytes([head, (sector & 0x3F) | ((cylinder >> 2) & 0xC0), cylinder & 0xFF])


def partition_entry(part, indicator):
    """The 16-byte partition-table or menu-table entry of `part` with byte 0 = `indicator`."""
    return (bytes([indicator]) + pack_chs(part.start) + bytes([part.type])
            + pack_chs(part.start + part.length - 1)
            + part.start.to_bytes(4, "little") + part.length.to_bytes(4, "little"))


def bcd(seconds):
    return (seconds // 10) * 16 + seconds % 10


def password_slot(password, key, previous_last=0):
    """Stored form of a password: key XOR the text padded with zeros, byte 15 untouched."""
    text = password.encode("ascii").ljust(15, b"\0")
    return bytes(k ^ p for k, p in zip(key[:15], text)) + bytes([previous_last])


def menu_line(title):
    line = bytearray(b" " * LINE_SIZE)
    line[0] = 0xBA
    line[3:43] = title.encode("cp437")[:40].ljust(40, b" ")
    line[46] = 0xBA
    line[47] = 0
    return bytes(line)


def make_disk(path, *, menu=(), table=(), engine=True, timeout=60, autoboot=True,
              remember_last=False, default=0, bar_colour=0x3E, menu_colour=0x1B,
              floppy_passwords=("", ""), direct_boot=None, engine_removed=False,
              total_sectors=DEFAULT_SECTORS):
    """Write a disk image to `path`.

    menu            partitions in the boot menu, in menu order (engine only)
    table           partitions in the partition table; with the engine they take entries
                    0, 2, 3 (entry 1 is the boot slot), without it entries 0..3
    default         the default-entry byte (menu position, or len(menu) with remember_last)
    direct_boot     a menu position to boot at the next start without the menu, as the program's
                    boot command requests it: in sector 0 only, never in the MBR copy
    engine_removed  the state after removing the engine and saving: the loader code stays in
                    sector 0, the partition table holds only `table` (entries 0..3, no boot
                    slot) and the engine area has lost its signature
    total_sectors   size of the image; a short image makes the engine unreadable
    """
    sector0 = bytearray(template("loader.bin")) if engine else bytearray(SECTOR)
    sector0[PARTITION_TABLE:PARTITION_TABLE + 64] = bytes(64)
    sector0[510:512] = b"\x55\xaa"
    entries = [0, 2, 3] if engine and not engine_removed else [0, 1, 2, 3]
    assert len(table) <= len(entries) and len(menu) <= 12
    for slot, part in zip(entries, table):
        offset = PARTITION_TABLE + ENTRY_SIZE * slot
        sector0[offset:offset + ENTRY_SIZE] = partition_entry(part, 0x80 if part.active else 0)

    area = None
    if engine:
        area = bytearray(template("engine.bin"))
        key = area[PASSWORD_KEY:PASSWORD_KEY + 16]
        sector0[DEFAULT_ENTRY] = default
        sector0[DIRECT_BOOT] = 0
        sector0[MENU_TABLE:MENU_TABLE + 192] = bytes(192)
        for k, part in enumerate(menu):
            sector0[MENU_TABLE + ENTRY_SIZE * k:MENU_TABLE + ENTRY_SIZE * (k + 1)] = \
                partition_entry(part, 0x80)
            line = SCREEN_LINES + LINE_SIZE * (MENU_FIRST_LINE + k)
            area[line:line + LINE_SIZE] = menu_line(part.title)
            slot = PASSWORDS + 16 * k
            area[slot:slot + 16] = password_slot(part.password, key) if part.password else bytes(16)
        bottom = SCREEN_LINES + LINE_SIZE * (MENU_FIRST_LINE + len(menu))
        area[bottom:bottom + LINE_SIZE] = BOTTOM_BORDER
        area[bottom + LINE_SIZE] = 0
        for drive, password in enumerate(floppy_passwords):
            if password:
                slot = PASSWORDS + 16 * (FLOPPY_A_SLOT + drive)
                area[slot:slot + 16] = password_slot(password, key, area[slot + 15])
        if menu and not engine_removed:
            sector0[BOOT_SLOT:BOOT_SLOT + ENTRY_SIZE] = sector0[MENU_TABLE:MENU_TABLE + ENTRY_SIZE]
        area[VERSION_MINOR] = ord("1")
        area[TIMEOUT] = bcd(timeout)
        area[REMEMBER_LAST] = 1 if remember_last else 0
        area[BAR_COLOUR] = bar_colour
        area[MENU_COLOUR] = menu_colour
        area[STATUS_SWITCH:STATUS_SWITCH + 14] = b"n     Sekunden" if autoboot else b"st nicht aktiv"
        area[AUTOBOOT_SWITCH] = 0x75 if autoboot else 0xEB
        area[MBR_COPY:MBR_COPY + SECTOR] = sector0
        if direct_boot is not None:
            sector0[DEFAULT_ENTRY] = direct_boot
            sector0[DIRECT_BOOT] = 1
        if engine_removed:
            area[0:2] = b"\0\0"

    with open(path, "wb") as image:
        image.truncate(total_sectors * SECTOR)
        image.write(sector0)
        if area is not None:
            _write_within(image, 1, area, total_sectors)
        for part in list(menu) + list(table):
            _write_within(image, part.start, report_sector(part.ident, part.bootable), total_sectors)


def _write_within(image, lba, data, total_sectors):
    """Write `data` at `lba`, cut off at the end of the image (short images on purpose)."""
    room = max(0, (total_sectors - lba) * SECTOR)
    if room:
        image.seek(lba * SECTOR)
        image.write(data[:room])


def read_sector0(path):
    with open(path, "rb") as image:
        return image.read(SECTOR)


def read_area(path):
    with open(path, "rb") as image:
        image.seek(SECTOR)
        return image.read(AREA_SECTORS * SECTOR)
