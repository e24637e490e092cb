"""Common ground of the boot test modules: a test case with a scratch folder for images, and the
screen facts of the engine (where lines, the bar and the countdown appear).

CTest runs each test_*.py module as one process (label "boot") and names korvex-cli, the
assembled templates and nasm (KORVEX_CLI, KORVEX_GENERATED_DIR, KORVEX_NASM). By hand, after a
build in build/ (the defaults):
    cd tests/boot && python3 -m unittest -v test_menu
"""

import pathlib
import shutil
import tempfile
import unittest

import diskimage
import qemu
from diskimage import layout

COLUMN = layout.CONST_SCREEN_COLUMN     # every engine line starts here
LINE_CHARS = layout.CONST_LINE_CHARS
BAR_COLUMN = COLUMN + layout.CONST_BAR_FIRST_CHAR  # the bar covers characters 2..44 of a menu line
BAR_CHARS = layout.CONST_BAR_CHARS
STATUS_ROW = layout.CONST_STATUS_LINE
COUNTDOWN_COLUMN = COLUMN + layout.CONST_COUNTDOWN_CHAR
BOX_ROW = 10                    # message and password boxes
MENU_COLOUR = layout.CONST_TEMPLATE_MENU  # the colours of a new installation
BAR_COLOUR = layout.CONST_TEMPLATE_BAR


class BootTestCase(unittest.TestCase):
    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="korvex-boottest-"))
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)

    def disk(self, name="disk.img", **setup):
        """An image made by diskimage.make_disk(**setup) in this test's folder."""
        path = self.folder / name
        diskimage.make_disk(path, **setup)
        return path

    def machine(self, image, **options):
        return qemu.Machine(image, **options)

    # --- engine screen ------------------------------------------------------------------------
    @staticmethod
    def bar_at(screen, row, menu_colour=MENU_COLOUR, bar_colour=BAR_COLOUR):
        """True when the selection bar is painted on `row` and nowhere else: characters 2..44
        of the line in the bar colour, the frame cells around them in the menu colour."""
        rows = [r for r in range(qemu.SCREEN_ROWS)
                if bar_colour in screen.attr_run(r, 0, qemu.SCREEN_COLUMNS)]
        if row is None:
            return rows == []
        expected = (bytes([menu_colour]) * 2 + bytes([bar_colour]) * BAR_CHARS
                    + bytes([menu_colour]) * 2)
        return rows == [row] and screen.attr_run(row, COLUMN, LINE_CHARS) == expected

    def wait_bar(self, machine, row, menu_colour=MENU_COLOUR, bar_colour=BAR_COLOUR, timeout=30):
        """Wait until the menu shows the bar on `row` (None: no bar at all); return the screen."""
        def painted():
            screen = machine.screen()
            return (screen if screen.contains("Autoboot des Systems")
                    and self.bar_at(screen, row, menu_colour, bar_colour) else None)
        return machine.wait_for(painted, f"the menu with the bar on row {row}", timeout)

    def wait_menu(self, machine, bar=5, **colours):
        """Wait for the painted menu with the bar on row `bar` (the first entry by default)."""
        return self.wait_bar(machine, bar, **colours)

    @staticmethod
    def countdown(screen):
        return screen.text(STATUS_ROW, COUNTDOWN_COLUMN, 2)

    def assert_message_box(self, screen, message):
        """The engine's message box: top border, message, "weiter -> Taste drücken", bottom."""
        self.assertEqual(screen.text(BOX_ROW, COLUMN, 1), "╔")
        self.assertIn(message, screen.text(BOX_ROW + 1))
        self.assertIn("weiter -> Taste drücken", screen.text(BOX_ROW + 2))
        self.assertEqual(screen.text(BOX_ROW + 3, COLUMN, 1), "╚")
