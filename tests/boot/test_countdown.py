"""The automatic boot: the BCD countdown on the BIOS tick, and Esc pausing it."""

import time
import unittest

import diskimage
from boottest import BootTestCase


def watch_countdown(test, machine, until):
    """The distinct countdown texts shown, in order, until `until(seen)` is true (or 15 s)."""
    seen = []
    deadline = time.monotonic() + 15
    while not until(seen) and time.monotonic() < deadline:
        screen = machine.screen()
        value = test.countdown(screen)
        if screen.contains("Autoboot des Systems") and (not seen or seen[-1] != value):
            seen.append(value)                  # (the screen is cleared just before a boot)
        time.sleep(0.05)
    return seen


class Countdown(BootTestCase):
    def test_counts_down_and_boots_selected_entry(self):
        # Key assertion: timeout 03 shows " 3", " 2", " 1" (tens digit blank) and then boots the
        # selected entry, also after the selection was moved during the countdown.
        parts = diskimage.standard_partitions(3)
        image = self.disk(menu=parts, timeout=3)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            machine.send_keys("down", "down")
            seen = watch_countdown(self, machine, lambda seen: machine.boots())
            self.assertEqual(machine.wait_boot().ident, "P2")
            self.assertEqual(seen, [" 3", " 2", " 1"])

    def test_tens_digit_carries_in_bcd(self):
        # 11 -> 10 -> 09: the low digit wraps to 9, and the tens digit 0 shows as a blank.
        image = self.disk(menu=diskimage.standard_partitions(1), timeout=11)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            seen = watch_countdown(self, machine, lambda seen: " 9" in seen)
            machine.send_keys("ret")
            machine.wait_boot()
            self.assertEqual(seen[:3], ["11", "10", " 9"])

    def test_escape_pauses_and_resumes(self):
        # Esc before the first second: the countdown never starts; a second Esc resumes it from
        # where it stood.
        image = self.disk(menu=diskimage.standard_partitions(2), timeout=2)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            machine.send_keys("esc")
            machine.expect_no_boot(3.5)
            self.assertEqual(self.countdown(machine.screen()), " 2")
            machine.send_keys("esc")
            seen = watch_countdown(self, machine, lambda seen: machine.boots())
            self.assertEqual(machine.wait_boot().ident, "P0")
            self.assertEqual(seen, [" 2", " 1"])

    def test_timeout_zero_waits(self):
        image = self.disk(menu=diskimage.standard_partitions(1), timeout=0)
        with self.machine(image) as machine:
            self.wait_menu(machine)
            machine.expect_no_boot(2.5)
            self.assertEqual(self.countdown(machine.screen()), "  ")


if __name__ == "__main__":
    unittest.main()
