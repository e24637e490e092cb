"""The engine installed through the window program's dialogs (the GUI test
InstallForBootTest, run under xvfb-run on an sfdisk-made image) boots with the menu that its boot
menu preview showed: the same titles in the same order and the same attribute bytes, cell for
cell, apart from the countdown's digits, which run on."""

import os
import shutil
import subprocess
import unittest

import diskimage
import qemu
from boottest import BootTestCase, COLUMN, COUNTDOWN_COLUMN, STATUS_ROW

GUI_TESTS = os.environ.get("KORVEX_GUI_TESTS",
                           str(diskimage.REPOSITORY / "build" / "tests" / "korvex_gui_tests"))
BAR_CHARACTER = COLUMN + 2


class InstallThroughTheDialogs(BootTestCase):
    def plain_disk(self, parts):
        path = self.folder / "disk.img"
        with open(path, "wb") as image:
            image.truncate(diskimage.DEFAULT_SECTORS * diskimage.SECTOR)
        diskimage._sfdisk(path, parts)
        diskimage._write_boot_sectors(path, parts, diskimage.DEFAULT_SECTORS)
        return path

    def install_through_dialogs(self, image):
        screen = self.folder / "preview.bin"
        environment = dict(os.environ, NO_AT_BRIDGE="1", GTK_A11Y="none",
                           KORVEX_DIALOG_DISK=f"{image}@{diskimage.HEADS}x{diskimage.SECTORS_PER_TRACK}",
                           KORVEX_DIALOG_SCREEN=str(screen))
        done = subprocess.run([shutil.which("xvfb-run") or "xvfb-run", "-a", "-n", "121", "-s", "-screen 0 1024x768x24",
                               GUI_TESTS, "--gtest_filter=InstallForBootTest.*"],
                              capture_output=True, text=True, env=environment)
        self.assertEqual(done.returncode, 0, done.stdout[-3000:] + done.stderr[-2000:])
        self.assertIn("[  PASSED  ] 1 test", done.stdout)
        return screen.read_bytes()

    def test_the_menu_at_boot_is_the_preview(self):
        # Key assertion: every cell but the two countdown digits, characters and attribute
        # bytes, equals the preview's; the titles (the install dialog's "SIZE Typ 6") run
        # 2, 3, 1 cylinders: the first entry was moved to the end.
        C = diskimage.CYLINDER
        parts = [diskimage.Partition(ident="P0", start=C, length=C),
                 diskimage.Partition(ident="P1", start=2 * C, length=2 * C),
                 diskimage.Partition(ident="P2", start=4 * C, length=3 * C)]
        preview = self.install_through_dialogs(self.plain_disk(parts))
        self.assertEqual(len(preview), qemu.SCREEN_ROWS * qemu.SCREEN_COLUMNS * 2)
        bar_row = next(row for row in range(qemu.SCREEN_ROWS)
                       if preview[2 * (row * qemu.SCREEN_COLUMNS + BAR_CHARACTER) + 1] == 0x2E)
        countdown = {2 * (STATUS_ROW * qemu.SCREEN_COLUMNS + COUNTDOWN_COLUMN + k) for k in range(2)}
        with self.machine(self.folder / "disk.img") as machine:
            screen = self.wait_menu(machine, bar=bar_row, menu_colour=0x1E, bar_colour=0x2E)
            shown = screen.memory
        differing = [(cell // 2 // qemu.SCREEN_COLUMNS, cell // 2 % qemu.SCREEN_COLUMNS,
                      shown[cell:cell + 2].hex(), preview[cell:cell + 2].hex())
                     for cell in range(0, len(preview), 2)
                     if cell not in countdown and shown[cell:cell + 2] != preview[cell:cell + 2]]
        self.assertEqual(differing, [], "(row, column, engine, preview) of the cells that differ")
        seconds = int(screen.text(STATUS_ROW, COUNTDOWN_COLUMN, 2))
        self.assertTrue(50 <= seconds <= 60, seconds)
        self.assertEqual(preview[2 * (STATUS_ROW * qemu.SCREEN_COLUMNS + COUNTDOWN_COLUMN):][:4:2], b"60")
        titles = [screen.text(5 + k, COLUMN + 3, 40).strip() for k in range(3)]
        self.assertEqual([title.split()[1:] for title in titles],
                         [["kB", "Typ", "6"], ["MB", "Typ", "6"], ["kB", "Typ", "6"]], titles)
        self.assertEqual([title.split()[0].replace(",", ".") for title in titles], ["1008.00", "1.48", "504.00"],
                         titles)


if __name__ == "__main__":
    unittest.main()
