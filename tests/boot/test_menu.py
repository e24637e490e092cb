"""The boot menu: what it shows, and the keys that move and boot."""

import unittest

import diskimage
from boottest import BootTestCase, COLUMN, LINE_CHARS, COUNTDOWN_COLUMN, STATUS_ROW

MENU_COLOUR = 0x2F
BAR_COLOUR = 0x70


class MenuScreen(BootTestCase):
    def test_lines_colours_and_bar_on_default(self):
        # Key assertion: rows 0..8 are the engine area's screen lines at column 16 in the
        # configured menu colour, and the bar (configured colour) sits on the default entry 1.
        parts = diskimage.standard_partitions(3, ["Windows", "Linux", "Daten"])
        image = self.disk(menu=parts, default=1, menu_colour=MENU_COLOUR, bar_colour=BAR_COLOUR)
        area = diskimage.read_area(image)
        with self.machine(image) as machine:
            screen = self.wait_menu(machine, bar=6, menu_colour=MENU_COLOUR, bar_colour=BAR_COLOUR)
            for row in range(9):
                first = diskimage.layout.AREA_SCREEN_LINES + diskimage.layout.CONST_SCREEN_LINE_SIZE * row
                line = area[first:first + LINE_CHARS].decode("cp437")
                shown = screen.text(row, COLUMN, LINE_CHARS)
                if row == STATUS_ROW:   # the countdown's digits stand in the gap of the text
                    digits = COUNTDOWN_COLUMN - COLUMN
                    line = line[:digits] + "60" + line[digits + 2:]
                self.assertEqual(shown, line, f"row {row}")
                if row != 6:
                    self.assertEqual(screen.attr_run(row, COLUMN, LINE_CHARS),
                                     bytes([MENU_COLOUR]) * LINE_CHARS, f"row {row}")
            self.assertIn("Linux", screen.text(6))
            self.assertEqual(screen.text(9, COLUMN, LINE_CHARS).strip(), "")

    def test_default_beyond_menu_highlights_first_entry(self):
        # Remember-last before the first boot stores the entry count (3) as the default.
        image = self.disk(menu=diskimage.standard_partitions(3), remember_last=True)
        self.assertEqual(diskimage.read_sector0(image)[diskimage.DEFAULT_ENTRY], 3)
        with self.machine(image) as machine:
            self.wait_menu(machine, bar=5)

    def test_autoboot_off_never_boots_by_itself(self):
        image = self.disk(menu=diskimage.standard_partitions(2), timeout=1, autoboot=False)
        with self.machine(image) as machine:
            screen = self.wait_menu(machine)
            self.assertIn("Autoboot des Systems ist nicht aktiv", screen.text(STATUS_ROW))
            machine.expect_no_boot(4)
            self.assertIn("ist nicht aktiv", machine.screen().text(STATUS_ROW))
            machine.send_keys("ret")
            self.assertEqual(machine.wait_boot().ident, "P0")

    def test_empty_menu_boots_nothing(self):
        # Key assertion: with no entries neither the countdown nor Enter nor F1 starts anything.
        image = self.disk(menu=[], timeout=1)
        with self.machine(image) as machine:
            screen = self.wait_menu(machine, bar=None)
            self.assertEqual(screen.text(5, COLUMN, 1), "╚")
            machine.send_keys("ret", "f1", "down")
            machine.expect_no_boot(3)
            self.assertIn("Autoboot des Systems", machine.screen().text(STATUS_ROW))


class MenuKeys(BootTestCase):
    def test_cursor_keys_wrap_and_enter_boots_highlighted(self):
        parts = diskimage.standard_partitions(3)
        image = self.disk(menu=parts)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            machine.send_keys("up")                 # above the first: the last entry
            self.wait_bar(machine, 7)
            machine.send_keys("down")               # below the last: the first entry
            self.wait_bar(machine, 5)
            machine.send_keys("down")
            self.wait_bar(machine, 6)
            machine.send_keys("ret")
            boot = machine.wait_boot()
            self.assertEqual(boot.ident, "P1")
            self.assertEqual(boot.entry, diskimage.partition_entry(parts[1], diskimage.FIRST_HARD_DISK))

    def test_function_keys(self):
        # F5 with three entries is ignored; F3 boots position 2 at once.
        parts = diskimage.standard_partitions(3)
        image = self.disk(menu=parts)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            machine.send_keys("f5")
            machine.expect_no_boot(1.5)
            self.assertTrue(self.bar_at(machine.screen(), 5))
            machine.send_keys("f3")
            self.assertEqual(machine.wait_boot().ident, "P2")

    def test_f12_boots_twelfth_entry(self):
        parts = diskimage.standard_partitions(12)
        image = self.disk(menu=parts)
        with self.machine(image) as machine:
            screen = self.wait_menu(machine)
            self.assertEqual(screen.text(17, COLUMN, 1), "╚")
            machine.send_keys("f12")
            self.assertEqual(machine.wait_boot().ident, "P11")


if __name__ == "__main__":
    unittest.main()
