"""The loader in sector 0 when the engine cannot run, and the engine's failure screens."""

import os
import subprocess
import unittest

import diskimage
from diskimage import Partition
from boottest import BootTestCase, COLUMN

LOADER_TEXT = ("Boot-Manager kann nicht geladen werden!", "Taste drücken für Notboot!")
SHORT_IMAGE = 8         # sectors: the loader's read of LBA 1..16 runs past the end


class Loader(BootTestCase):
    def test_missing_signature_boots_active_partition_silently(self):
        # Key assertion: once the engine is removed (signature cleared, table without boot slot)
        # the loader starts the first active entry at once, DL = its boot indicator, DS:SI ->
        # the entry.
        active = Partition(ident="ACTIVE", start=5 * diskimage.CYLINDER, active=True)
        other = Partition(ident="OTHER", start=6 * diskimage.CYLINDER)
        image = self.disk(menu=diskimage.standard_partitions(1), table=[other, active],
                          engine_removed=True)
        with self.machine(image) as machine:
            boot = machine.wait_boot()
            self.assertEqual((boot.ident, boot.dl), ("ACTIVE", diskimage.ACTIVE))
            self.assertEqual(boot.entry, diskimage.partition_entry(active, diskimage.ACTIVE))
            self.assertFalse(machine.screen().contains(LOADER_TEXT[0]))

    def test_removal_keeping_partitions_boots_the_default_entry(self):
        # Key assertion: "remove-engine --mode keep" makes the engine's default entry (P1, the
        # second menu entry) the active partition, and the loader left in sector 0 starts it.
        menu = diskimage.standard_partitions(3)
        image = self.disk(menu=menu, default=1)
        home = str(self.folder / "home")
        disk = f"{image}@{diskimage.HEADS}x{diskimage.SECTORS_PER_TRACK}"
        done = subprocess.run([diskimage.CLI, "--disk", disk, "remove-engine", "--mode", "keep", "1", "2"],
                              capture_output=True, text=True, env=dict(os.environ, KORVEX_HOME=home))
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn(f"Dann ist die Partition beim relativen Sektor {menu[1].start} (Typ 6) aktiv", done.stderr)
        with self.machine(image) as machine:
            boot = machine.wait_boot()
            self.assertEqual((boot.ident, boot.dl), ("P1", diskimage.FIRST_HARD_DISK))
            self.assertFalse(machine.screen().contains(LOADER_TEXT[0]))

    def test_unreadable_engine_shows_text_then_boots_active_partition(self):
        active = Partition(ident="ACTIVE", start=1, length=SHORT_IMAGE - 1, active=True)
        image = self.disk(table=[active], total_sectors=SHORT_IMAGE)
        with self.machine(image) as machine:
            screen = machine.wait_screen(LOADER_TEXT[0])
            self.assertTrue(screen.contains(LOADER_TEXT[1]))
            machine.expect_no_boot(1)                   # it waits for a key first
            machine.send_keys("spc")
            boot = machine.wait_boot()
            self.assertEqual((boot.ident, boot.dl), ("ACTIVE", diskimage.ACTIVE))

    def test_unreadable_engine_without_active_partition_ends_in_int_18h(self):
        # INT 18h hands control back to the BIOS; SeaBIOS tries its other devices and then
        # reports that nothing is bootable.
        inactive = Partition(ident="INACTIVE", start=1, length=SHORT_IMAGE - 1)
        image = self.disk(table=[inactive], total_sectors=SHORT_IMAGE)
        with self.machine(image) as machine:
            machine.wait_screen(LOADER_TEXT[1])
            machine.send_keys("spc")
            machine.wait_screen("No bootable device", timeout=60)
            self.assertEqual(machine.boots(), [])


class FailureScreens(BootTestCase):
    def test_boot_sector_without_signature(self):
        # Key assertion: the message box appears and any key leads back to the menu.
        parts = diskimage.standard_partitions(2)
        parts[0].bootable = False
        image = self.disk(menu=parts)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            machine.send_keys("ret")
            screen = machine.wait_screen("Kann Betriebssystemurlader nicht finden!")
            self.assert_message_box(screen, "Kann Betriebssystemurlader nicht finden!")
            machine.send_keys("spc")
            screen = self.wait_menu(machine)
            self.assertEqual(screen.text(7, COLUMN, 1), "╚")
            machine.send_keys("f2")
            self.assertEqual(machine.wait_boot().ident, "P1")


if __name__ == "__main__":
    unittest.main()
