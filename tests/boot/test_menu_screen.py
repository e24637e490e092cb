"""The boot menu the engine paints, cell for cell (characters and attribute bytes) against the
screen the program computes for the boot menu preview (`korvex-cli menu screen --json`)."""

import json
import os
import subprocess
import unittest

import diskimage
import qemu
from boottest import BootTestCase, COUNTDOWN_COLUMN, STATUS_ROW

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class MenuScreenAgainstEngine(BootTestCase):
    def program_screen(self, image, *options):
        """The text memory (character, attribute per cell) that korvex-cli computes."""
        done = subprocess.run(
            [diskimage.CLI, "--disk", f"{image}@{diskimage.HEADS}x{diskimage.SECTORS_PER_TRACK}",
             "menu", "screen", *options],
            capture_output=True, text=True, env=dict(os.environ, KORVEX_HOME=str(self.folder)))
        self.assertEqual(done.returncode, 0, done.stderr)
        if "--json" not in options:
            return done.stdout
        screen = json.loads(done.stdout)
        memory = bytearray()
        for characters, attributes in zip(screen["characters"], screen["attributes"]):
            for character, attribute in zip(bytes.fromhex(characters), bytes.fromhex(attributes)):
                memory += bytes([character, attribute])
        return bytes(memory)

    def assert_same_cells(self, shown, computed, what):
        differing = [(cell // qemu.SCREEN_COLUMNS, cell % qemu.SCREEN_COLUMNS,
                      shown[2 * cell:2 * cell + 2].hex(), computed[2 * cell:2 * cell + 2].hex())
                     for cell in range(qemu.SCREEN_ROWS * qemu.SCREEN_COLUMNS)
                     if shown[2 * cell:2 * cell + 2] != computed[2 * cell:2 * cell + 2]]
        self.assertEqual(differing, [], f"{what}: (row, column, engine, program) of the cells that differ")

    @staticmethod
    def shown_countdown(screen):
        return int(screen.text(STATUS_ROW, COUNTDOWN_COLUMN, 2))

    def test_titles_colours_default_and_countdown(self):
        # Key assertion: the whole 80 x 25 screen of the engine equals the program's, with the
        # configured colours, the bar on the default entry (row 6) and the countdown at 42 (or
        # 41, when a second passed before the screen was read).
        parts = diskimage.standard_partitions(3, ["Windows 98", "Linux", "Daten Übung"])
        image = self.disk(menu=parts, default=1, timeout=42, menu_colour=0x1F, bar_colour=0x4E)
        at_start = self.program_screen(image, "--json")
        a_second_later = self.program_screen(image, "--json", "--countdown", "41")
        with self.machine(image) as machine:
            screen = self.wait_menu(machine, bar=6, menu_colour=0x1F, bar_colour=0x4E)
            shown = screen.memory
            self.assert_same_cells(shown, a_second_later if shown == a_second_later else at_start, "start")

            machine.send_keys("down")
            screen = self.wait_bar(machine, 7, menu_colour=0x1F, bar_colour=0x4E)
            seconds = self.shown_countdown(screen)
            self.assertTrue(30 <= seconds <= 42, seconds)
            self.assert_same_cells(screen.memory,
                                   self.program_screen(image, "--json", "--selection", "2",
                                                       "--countdown", str(seconds)), "after Down")
        self.assertIn("Daten Übung", self.program_screen(image))

        picture = self.folder / "preview.png"
        self.program_screen(image, "--png", str(picture))
        data = picture.read_bytes()
        self.assertEqual(data[:8], PNG_SIGNATURE)
        self.assertEqual((int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")), (640, 400))

    def test_twelve_entries_without_autoboot_remembering_the_last(self):
        # No countdown digits, the bottom border on row 17, the bar on the first entry (the
        # default-entry byte holds the entry count before the first boot), and the bar wrapping
        # to the last entry on Up: each screen as the program computes it.
        parts = diskimage.standard_partitions(12)
        image = self.disk(menu=parts, timeout=7, autoboot=False, remember_last=True,
                          menu_colour=0x70, bar_colour=0x0F)
        with self.machine(image) as machine:
            screen = self.wait_menu(machine, bar=5, menu_colour=0x70, bar_colour=0x0F)
            self.assert_same_cells(screen.memory, self.program_screen(image, "--json"), "start")
            machine.send_keys("up")
            screen = self.wait_bar(machine, 16, menu_colour=0x70, bar_colour=0x0F)
            self.assert_same_cells(screen.memory, self.program_screen(image, "--json", "--selection", "11"),
                                   "after Up")


if __name__ == "__main__":
    unittest.main()
