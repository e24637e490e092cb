"""The password prompt before a boot: exact match, length, Backspace, floppy slots."""

import unittest

import diskimage
from boottest import BootTestCase, BOX_ROW, COLUMN

PASSWORD = "geheimkennwort1"                    # the longest a slot holds
assert len(PASSWORD) == diskimage.layout.CONST_PASSWORD_MAX
INPUT_COLUMN = 28


class Passwords(BootTestCase):
    def prompt(self, machine, key):
        machine.send_keys(key)
        screen = machine.wait_screen("Passwort:")
        self.assertIn("Passwort:", screen.text(BOX_ROW + 1))
        self.assertEqual(screen.text(BOX_ROW, COLUMN, 1), "╔")
        self.assertEqual(screen.text(BOX_ROW + 2, COLUMN, 1), "╚")

    def denied_then_menu(self, machine):
        screen = machine.wait_screen("Zugriff verweigert!")
        self.assert_message_box(screen, "Zugriff verweigert!")
        machine.send_keys("spc")
        self.wait_menu(machine)

    def test_only_the_exact_password_boots(self):
        # Key assertion: one character more or fewer than the 15 stored ones is denied and
        # leads back to the menu; the exact text (even after a Backspace) boots.
        parts = diskimage.standard_partitions(2)
        parts[1].password = PASSWORD
        image = self.disk(menu=parts)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            self.prompt(machine, "f2")
            machine.type_text(PASSWORD + "x\n")
            self.denied_then_menu(machine)
            self.prompt(machine, "f2")
            machine.type_text(PASSWORD[:-1] + "\n")
            self.denied_then_menu(machine)
            self.prompt(machine, "f2")
            machine.type_text(PASSWORD + "x")
            machine.send_keys("backspace")
            machine.wait_for(lambda: machine.screen().text(BOX_ROW + 1, INPUT_COLUMN, 16)
                             == "*" * len(PASSWORD) + " ", "fifteen stars after Backspace")
            machine.send_keys("ret")
            self.assertEqual(machine.wait_boot().ident, "P1")

    def test_unprotected_entry_boots_without_prompt(self):
        parts = diskimage.standard_partitions(2)
        parts[1].password = "abc"
        image = self.disk(menu=parts)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            machine.send_keys("f1")
            self.assertEqual(machine.wait_boot().ident, "P0")

    def test_floppy_password_is_asked(self):
        image = self.disk(menu=diskimage.standard_partitions(1), floppy_passwords=("abc", ""))
        with self.machine(image) as machine:
            self.wait_menu(machine)
            self.prompt(machine, "a")
            machine.type_text("abd\n")
            self.denied_then_menu(machine)
            machine.expect_no_boot(0.5)


if __name__ == "__main__":
    unittest.main()
