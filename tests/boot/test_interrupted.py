"""A disk whose installation of the boot engine failed at its n-th sector write, for every n:
it still boots (and the program still reads all its partitions)."""

import json
import os
import shutil
import subprocess
import unittest

import diskimage
from diskimage import Partition
from boottest import BootTestCase

SHIM = os.environ.get("KORVEX_WRITE_FAULT", str(diskimage.REPOSITORY / "build" / "tests" /
                                               "libkorvex_write_fault.so"))
INSTALL_WRITES = 8      # LBA 2..7, LBA 1 with the signature, sector 0


class InterruptedInstall(BootTestCase):
    def test_every_interrupted_install_still_boots(self):
        # Key assertion: whichever write fails, the active partition P0 boots: through the old
        # master boot record while LBA 1 lacks the signature, through the engine's menu after.
        active = Partition(ident="P0", start=diskimage.CYLINDER, active=True)
        base = self.folder / "base.img"
        with open(base, "wb") as image:
            image.truncate(diskimage.DEFAULT_SECTORS * diskimage.SECTOR)
        diskimage._sfdisk(base, [active])
        diskimage._write_boot_sectors(base, [active], diskimage.DEFAULT_SECTORS)
        diskimage._put_loader(base)         # a master boot record that boots the active entry
        # The table as korvex-cli writes it, with CHS fields of this geometry (the loader's
        # emergency boot reads by CHS).
        spec = f"{base}@{diskimage.HEADS}x{diskimage.SECTORS_PER_TRACK}"
        home = dict(os.environ, KORVEX_HOME=str(self.folder / "home"))
        subprocess.run([diskimage.CLI, "--disk", spec, "save", "0"], check=True, env=home,
                       capture_output=True)
        for failing in range(1, INSTALL_WRITES + 1):
            with self.subTest(failing_write=failing):
                image = self.folder / f"fail{failing}.img"
                shutil.copy(base, image)
                disk = f"{image}@{diskimage.HEADS}x{diskimage.SECTORS_PER_TRACK}"
                env = dict(os.environ, KORVEX_HOME=str(self.folder / "home"), LD_PRELOAD=SHIM,
                           KORVEX_FAIL_PWRITE=str(failing))
                done = subprocess.run([diskimage.CLI, "--yes", "--disk", disk, "install-engine", "--entry", "2"],
                                      capture_output=True, text=True, env=env)
                self.assertEqual(done.returncode, 1, done.stderr)
                self.assertIn("Schreibfehler", done.stderr)
                env.pop("LD_PRELOAD")
                listing = json.loads(subprocess.run([diskimage.CLI, "--disk", disk, "list", "--json"],
                                                    capture_output=True, text=True, env=env, check=True).stdout)
                starts = [obj["start"] for obj in listing["disks"][0]["primary"] if obj["state"] != "Free"]
                self.assertEqual(starts, [active.start])
                with self.machine(image) as machine:
                    def booted_or_menu():
                        return machine.boots() or machine.screen().contains("Autoboot des Systems")
                    machine.wait_for(booted_or_menu, "a boot or the menu")
                    if not machine.boots():
                        machine.send_keys("ret")
                    self.assertEqual(machine.wait_boot().ident, "P0")


if __name__ == "__main__":
    unittest.main()
