"""Disk images for the boot tests, built with the program's own operations.

make_disk() writes the plain partition table with util-linux sfdisk and the test boot sectors at
the partitions' starts, then sets the image up with korvex-cli the way a user would: install the
boot engine, put partitions into the menu and order them, set titles, the default entry or
remember-last, timeout, automatic boot, colours and passwords, request a direct boot, remove the
engine. Every korvex-cli command saves the disk it changed. The only image laid down byte by
byte is one too short for the engine, which the program cannot install by design.
"""

import dataclasses
import functools
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
GENERATED = pathlib.Path(os.environ.get("KORVEX_GENERATED_DIR", REPOSITORY / "build" / "src" / "generated"))
CLI = os.environ.get("KORVEX_CLI", str(REPOSITORY / "build" / "bin" / "korvex-cli"))
SFDISK = shutil.which("sfdisk") or "/usr/sbin/sfdisk"

# The engine's layout, generated from src/bootengine/EngineLayout.table by the build.
sys.path.insert(0, str(GENERATED))
import engine_layout as layout  # noqa: E402

SECTOR = layout.CONST_SECTOR_SIZE
HEADS = 16
SECTORS_PER_TRACK = 63
CYLINDER = HEADS * SECTORS_PER_TRACK
DEFAULT_SECTORS = 16 * CYLINDER                 # 8 MiB, sparse

# Sector 0 (loader sector).
DEFAULT_ENTRY = layout.LOADER_DEFAULT_ENTRY
DIRECT_BOOT = layout.LOADER_DIRECT_BOOT
PARTITION_TABLE = layout.LOADER_PARTITION_TABLE
BOOT_SLOT = layout.LOADER_BOOT_SLOT
SIGNATURE = layout.LOADER_SIGNATURE
ENTRY_SIZE = layout.CONST_ENTRY_SIZE
ACTIVE = layout.CONST_BOOT_INDICATOR_ACTIVE
FIRST_HARD_DISK = layout.CONST_FIRST_HARD_DISK  # the drive the engine boots, also its entries' byte 0

# Engine area (LBA 1..7).
AREA_SECTORS = layout.CONST_AREA_SIZE // SECTOR
MBR_COPY = layout.AREA_MBR_COPY

ENGINE_READ_END = 1 + layout.CONST_LOADER_READ_SECTORS  # the loader reads LBA 1..16 with the engine
INSTALL_CHOICES = 4                             # install-engine offers the first four objects
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
        sector[SIGNATURE:SIGNATURE + 2] = b"\0\0"
    return bytes(sector)


def chs(lba):
    """(cylinder, head, sector) of an LBA with this module's geometry, cylinder not clamped."""
    return lba // CYLINDER, (lba // SECTORS_PER_TRACK) % HEADS, lba % SECTORS_PER_TRACK + 1


def pack_chs(lba):
    cylinder, head, sector = chs(lba)
    return bytes([head, (sector & 0x3F) | ((cylinder >> 2) & 0xC0), cylinder & 0xFF])


def partition_entry(part, indicator):
    """The 16-byte partition-table or menu-table entry of `part` with byte 0 = `indicator`,
    as the tests expect the engine to hand it over."""
    return (bytes([indicator]) + pack_chs(part.start) + bytes([part.type])
            + pack_chs(part.start + part.length - 1)
            + part.start.to_bytes(4, "little") + part.length.to_bytes(4, "little"))


def make_disk(path, *, menu=(), table=(), timeout=60, autoboot=True, remember_last=False,
              default=None, bar_colour=layout.CONST_TEMPLATE_BAR, menu_colour=layout.CONST_TEMPLATE_MENU,
              floppy_passwords=("", ""),
              direct_boot=None, engine_removed=False, total_sectors=DEFAULT_SECTORS):
    """Write a disk image with the boot engine to `path`.

    menu            partitions in the boot menu, in menu order, with their titles and passwords
    table           partitions that stay in the partition table (at most three: with the engine
                    its entry 1 is the boot slot)
    default         menu position of the default entry (the first one when None)
    remember_last   the engine remembers the entry booted last; before the first boot the
                    default-entry byte holds the entry count
    direct_boot     a menu position that the program's boot command starts at the next start
    engine_removed  the engine removed again, keeping an empty master boot record: the loader
                    code stays in sector 0 with the `table` partitions, the menu ones are gone
    total_sectors   size of the image; below 17 sectors the engine cannot be read, and the
                    image holds only the loader in front of the `table` partitions
    """
    path = pathlib.Path(path)
    if remember_last and default is not None:
        raise ValueError("remember_last and a fixed default exclude each other")
    with open(path, "wb") as image:
        image.truncate(total_sectors * SECTOR)
    if total_sectors < ENGINE_READ_END:
        assert not menu, "an image too short for the engine has no menu"
        _sfdisk(path, table)
        _write_boot_sectors(path, table, total_sectors)
        _put_loader(path)
        return

    # The menu partitions that the partition table can hold beside the table ones go there
    # first; without any, a stand-in carries the installation and is deleted afterwards.
    fitting = list(menu[:INSTALL_CHOICES - len(table)])
    stand_in = None if menu else _stand_in(table)
    _sfdisk(path, (fitting or [stand_in]) + list(table))
    _write_boot_sectors(path, list(menu) + list(table), total_sectors)
    with tempfile.TemporaryDirectory(prefix="korvex-boottest-home-") as home:
        cli = _Cli(path, home)
        _install(cli, fitting or [stand_in], menu[len(fitting):])
        if stand_in is not None:
            cli.run("delete", cli.name(stand_in))     # leaves the engine with an empty menu
        _order(cli, menu)
        for part in menu:
            cli.run("menu", "title", cli.name(part), part.title)
        if remember_last:
            cli.run("menu", "default", "last")
        elif menu:
            cli.run("menu", "default", cli.name(menu[default or 0]))
        cli.run("menu", "timeout", str(timeout))
        cli.run("menu", "autoboot", "on" if autoboot else "off")
        cli.run("menu", "colors", "--menu", _colour(menu_colour), "--bar", _colour(bar_colour))
        for part in menu:
            if part.password:
                cli.run("password", "set", cli.name(part), stdin=part.password + "\n")
        for drive, password in zip("AB", floppy_passwords):
            if password:
                cli.run("password", "set", drive, stdin=password + "\n")
        if direct_boot is not None:
            cli.run("boot", cli.name(menu[direct_boot]), env={"KORVEX_RESTART_COMMAND": "true"})
        if engine_removed:
            cli.run("remove-engine", "--mode", "empty")


class _Cli:
    """korvex-cli on one image, with a registry store of its own (never the user's settings)."""

    def __init__(self, path, home):
        self.disk = f"{path}@{HEADS}x{SECTORS_PER_TRACK}"
        self.env = dict(os.environ, KORVEX_HOME=home, XDG_CACHE_HOME=home)

    def run(self, *arguments, stdin=None, env=None):
        command = [CLI, "--disk", self.disk, "--yes", *arguments]
        done = subprocess.run(command, input=stdin or "", capture_output=True, encoding="utf-8",
                              errors="replace", env=dict(self.env, **(env or {})))
        if done.returncode != 0:
            raise RuntimeError(f"{' '.join(command)} failed with exit status {done.returncode}:\n"
                               f"{done.stderr}")
        return done.stdout

    def listing(self):
        """The disk as `list --json` shows it."""
        return json.loads(self.run("list", "--json"))["disks"][0]

    @staticmethod
    def name(part):
        return f"0:p@{part.start}"


def _stand_in(table):
    """A partition in the first whole cylinder after the table partitions."""
    end = max([part.start + part.length for part in table], default=CYLINDER)
    return Partition(ident="STAND-IN", start=-(-end // CYLINDER) * CYLINDER)


def _install(cli, in_table, beyond_table):
    """Install the engine with the partitions of `in_table` that are among the first four
    objects of the primary level (the ones install-engine offers), add the rest of them with
    "menu add", and create the partitions of `beyond_table` straight into the menu."""
    choices = [obj["start"] for obj in cli.listing()["primary"][:INSTALL_CHOICES]]
    entries = [str(choices.index(part.start) + 1) for part in in_table if part.start in choices]
    cli.run("install-engine", "--entry", *entries)
    for part in in_table:
        if part.start not in choices:
            cli.run("menu", "add", cli.name(part))
    for part in beyond_table:
        _create_in_menu(cli, part)


def _create_in_menu(cli, part):
    """Create `part` as a menu entry at the start of the free area where it begins."""
    area = next((obj for obj in cli.listing()["primary"] if obj["state"] == "Free"
                 and obj["start"] <= part.start < obj["start"] + obj["length"]), None)
    if area is None or area["start"] != part.start:
        raise ValueError(f"{part.ident}: a menu entry beyond the partition table must begin a free area")
    made = cli.run("create", cli.name(part), "--type", str(part.type),
                   "--size", str(part.length * SECTOR), "--unit", "Byte", "--align", "sector",
                   "--menu", "--no-destructive")
    words = made.split()                        # "0:p@START  Länge LENGTH"
    if words[:1] + words[2:3] != [cli.name(part), str(part.length)]:
        raise RuntimeError(f"{part.ident}: korvex-cli created {made.strip()}")


def _order(cli, menu):
    """Move the entries so that the menu lists them in the order of `menu`."""
    listing = cli.listing()
    start_of = {obj["key"]: obj["start"] for obj in listing["primary"]}
    current = [start_of[entry["key"]] for entry in listing["engineConfig"]["menu"]]
    for position, part in enumerate(menu):
        if current[position] != part.start:
            cli.run("menu", "move", cli.name(part), str(position))
            current.remove(part.start)
            current.insert(position, part.start)


def _colour(attribute):
    """A text attribute as korvex-cli takes it: FOREGROUND/BACKGROUND."""
    return f"{attribute & 0x0F}/{attribute >> 4}"


def _sfdisk(path, parts):
    """A new DOS partition table holding `parts` in entries 1, 2, ... at their exact sectors."""
    script = "label: dos\n" + "".join(
        f"start={part.start}, size={part.length}, type={part.type:x}"
        + (", bootable" if part.active else "") + "\n" for part in parts)
    done = subprocess.run([SFDISK, "--no-reread", "--no-tell-kernel", "-q", str(path)],
                          input=script, text=True, capture_output=True)
    if done.returncode != 0:
        raise RuntimeError(f"sfdisk failed with exit status {done.returncode}:\n{done.stderr}")


def _write_boot_sectors(path, parts, total_sectors):
    with open(path, "r+b") as image:
        for part in parts:
            assert part.start < total_sectors, part
            image.seek(part.start * SECTOR)
            image.write(report_sector(part.ident, part.bootable))


def _put_loader(path):
    """Put the loader's code and texts in front of the partition table of sector 0, as on a disk
    with the engine. Done by hand because the program installs no engine on a disk that cannot
    hold it; the loader then finds no engine to read and takes its emergency path."""
    loader = GENERATED / "loader.bin"
    if not loader.is_file():
        raise RuntimeError(f"{loader} is missing: build first, or set KORVEX_GENERATED_DIR")
    with open(path, "r+b") as image:
        image.write(loader.read_bytes()[:PARTITION_TABLE])


def read_sector0(path):
    with open(path, "rb") as image:
        return image.read(SECTOR)


def read_area(path):
    with open(path, "rb") as image:
        image.seek(SECTOR)
        return image.read(AREA_SECTORS * SECTOR)
