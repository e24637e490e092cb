"""The helper transport against the direct transport. korvex-cli runs on two copies of the same
disks, once opening them itself and once with KORVEX_PLATFORM=9x, where every transfer goes
through the stand-in helper korvex95 (found next to korvex-cli). Both must list the same working
copy, install the boot engine into the same bytes, report the same self test and leave the same
disks after a repair and a removal; only the labels differ ("1.Festplatte", … on the helper
transport)."""
import filecmp
import json
import os
import shutil
import subprocess

from peer import CLI, GAPPED_TYPE_5_LAYOUT, TYPE_15_LAST_SLOT_LAYOUT, PeerTestCase

# The first table partition of the first disk (after the free area before it) goes into the menu.
CHOICE_FIRST_PARTITION = "2"


class SectorHelperAgainstDirect(PeerTestCase):
    def setUp(self):
        super().setUp()
        first = self.image("first.img", 64)
        self.sfdisk(first, GAPPED_TYPE_5_LAYOUT)
        second = self.image("second.img", 96)
        self.sfdisk(second, TYPE_15_LAST_SLOT_LAYOUT)
        self.direct = [first, second]
        self.helper = []
        os.mkdir(os.path.join(self.dir.name, "helper"))
        for path in self.direct:
            copy = os.path.join(self.dir.name, "helper", os.path.basename(path))
            shutil.copyfile(path, copy)
            self.helper.append(copy)

    def both(self, *args):
        """korvex-cli on the direct disks and over korvex95 on their copies; both must agree on
        the exit status, the messages and the output."""
        runs = []
        for disks, platform in ((self.direct, {}), (self.helper, {"KORVEX_PLATFORM": "9x"})):
            command = [CLI]
            for disk in disks:
                command += ["--disk", disk]
            runs.append(subprocess.run(command + list(args), capture_output=True, text=True,
                                       env=dict(self.env, **platform)))
        direct, helper = runs
        self.assertEqual(direct.returncode, 0, direct.stderr)
        self.assertEqual((helper.returncode, helper.stderr), (direct.returncode, direct.stderr))
        return direct.stdout, helper.stdout

    def assert_same_disks(self):
        for direct, helper in zip(self.direct, self.helper):
            self.assertTrue(filecmp.cmp(direct, helper, shallow=False), f"{helper} differs from {direct}")

    def test_list_shows_the_same_working_copy_under_numbered_labels(self):
        direct, helper = (json.loads(out)["disks"] for out in self.both("list", "--json"))
        self.assertEqual([d["label"] for d in helper], ["1.Festplatte", "2.Festplatte"])
        for disk in direct + helper:
            del disk["label"]
        self.assertEqual(helper, direct)
        self.assertTrue(direct[1]["logical"], "the second disk's chain is read through the helper too")

    def test_install_self_test_and_removal_write_the_same_bytes(self):
        self.both("--yes", "install-engine", "0", "--entry", CHOICE_FIRST_PARTITION)
        self.assert_same_disks()
        direct, helper = self.both("selftest", "--check-only")
        self.assertEqual(helper, direct)
        self.assertTrue(direct.rstrip().endswith("0 Fehler gefunden!"), direct)

        for path in self.direct + self.helper:  # lose the signature of sector 0
            with open(path, "r+b") as f:
                f.seek(510)
                f.write(b"\0\0")
        direct, helper = self.both("selftest", "0")
        self.assertEqual(helper, direct)
        self.assertIn("Korregiert!", direct)
        self.assert_same_disks()

        self.both("remove-engine", "--mode", "empty")
        self.assert_same_disks()
