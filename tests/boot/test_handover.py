"""What a boot hands over, and what it leaves in sector 0 (runs without -snapshot and reads the
image afterwards)."""

import unittest

import diskimage
from diskimage import BOOT_SLOT, DEFAULT_ENTRY, DIRECT_BOOT, ENTRY_SIZE, MBR_COPY, SECTOR
from boottest import BootTestCase, COLUMN


def outside(sector, *ranges):
    """`sector` with the given (offset, size) ranges blanked, to compare the rest."""
    data = bytearray(sector)
    for offset, size in ranges:
        data[offset:offset + size] = bytes(size)
    return bytes(data)


class Handover(BootTestCase):
    def test_remember_last_and_boot_slot(self):
        # Key assertion: after booting entry 1, sector 0 holds entry 1 in the boot slot, the
        # default-entry byte 1 (remember-last), direct-boot byte 0, and is the MBR copy otherwise.
        parts = diskimage.standard_partitions(3)
        image = self.disk(menu=parts, remember_last=True)
        with self.machine(image, snapshot=False) as machine:
            self.wait_menu(machine)
            machine.send_keys("f2")
            boot = machine.wait_boot()
        entry = diskimage.partition_entry(parts[1], diskimage.FIRST_HARD_DISK)
        self.assertEqual((boot.ident, boot.dl, boot.ds, boot.entry), ("P1", diskimage.FIRST_HARD_DISK, 0, entry))
        sector0 = diskimage.read_sector0(image)
        mbr_copy = diskimage.read_area(image)[MBR_COPY:MBR_COPY + SECTOR]
        self.assertEqual(sector0[BOOT_SLOT:BOOT_SLOT + ENTRY_SIZE], entry)
        self.assertEqual(sector0[DEFAULT_ENTRY], 1)
        self.assertEqual(sector0[DIRECT_BOOT], 0)
        self.assertEqual(outside(sector0, (BOOT_SLOT, ENTRY_SIZE), (DEFAULT_ENTRY, 1)),
                         outside(mbr_copy, (BOOT_SLOT, ENTRY_SIZE), (DEFAULT_ENTRY, 1)))
        # The engine only wrote sector 0: its MBR copy keeps entry 0 in the boot slot.
        self.assertEqual(mbr_copy[BOOT_SLOT:BOOT_SLOT + ENTRY_SIZE],
                         diskimage.partition_entry(parts[0], diskimage.FIRST_HARD_DISK))

    def test_fixed_default_stays(self):
        parts = diskimage.standard_partitions(3)
        image = self.disk(menu=parts, remember_last=False, default=2)
        with self.machine(image, snapshot=False) as machine:
            self.wait_menu(machine, bar=7)
            machine.send_keys("f1")
            self.assertEqual(machine.wait_boot().ident, "P0")
        sector0 = diskimage.read_sector0(image)
        self.assertEqual(sector0[DEFAULT_ENTRY], 2)
        self.assertEqual(sector0[BOOT_SLOT:BOOT_SLOT + ENTRY_SIZE],
                         diskimage.partition_entry(parts[0], diskimage.FIRST_HARD_DISK))

    def test_direct_boot_happens_once(self):
        # Key assertion: a direct boot into entry 2 starts it without the menu, and the next
        # start shows the menu again with the MBR copy's default.
        parts = diskimage.standard_partitions(3)
        image = self.disk(menu=parts, default=0, direct_boot=2)
        with self.machine(image, snapshot=False) as machine:
            boot = machine.wait_boot()
            self.assertEqual(boot.ident, "P2")
            self.assertFalse(machine.screen().contains("Autoboot"))
        sector0 = diskimage.read_sector0(image)
        self.assertEqual((sector0[DEFAULT_ENTRY], sector0[DIRECT_BOOT]), (0, 0))
        with self.machine(image) as machine:
            self.wait_menu(machine, bar=5)
            machine.expect_no_boot(1)


class Floppy(BootTestCase):
    def test_floppy_a_boots_with_dl_0_and_rewrites_sector0(self):
        parts = diskimage.standard_partitions(2)
        image = self.disk(menu=parts)
        floppy = self.folder / "floppy.img"
        with open(floppy, "wb") as disk:
            disk.write(diskimage.report_sector("FDA"))
            disk.truncate(1474560)
        with self.machine(image, snapshot=False, floppy=floppy) as machine:
            self.wait_menu(machine)
            machine.send_keys("down", "a")
            boot = machine.wait_boot()
        # The highlighted entry goes into the boot slot and is what DS:SI points at.
        entry = diskimage.partition_entry(parts[1], diskimage.FIRST_HARD_DISK)
        self.assertEqual((boot.ident, boot.dl, boot.entry), ("FDA", 0, entry))
        sector0 = diskimage.read_sector0(image)
        self.assertEqual(sector0[BOOT_SLOT:BOOT_SLOT + ENTRY_SIZE], entry)

    def test_floppy_without_disk_shows_disk_error_and_returns(self):
        image = self.disk(menu=diskimage.standard_partitions(1))
        with self.machine(image) as machine:
            self.wait_menu(machine)
            machine.send_keys("a")
            screen = machine.wait_screen("FD/HD-Probleme", timeout=60)
            self.assert_message_box(screen, "FD/HD-Probleme:Bootvorgang wurde abgebrochen!")
            machine.send_keys("spc")
            screen = self.wait_menu(machine)
            self.assertEqual(screen.text(5, COLUMN, 1), "║")
            machine.expect_no_boot(0.5)


if __name__ == "__main__":
    unittest.main()
