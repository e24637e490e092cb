"""A disk goes through the boot engine's life with korvex-cli: install, save, self test, removal
in each of its three ways. After every step util-linux sfdisk reads the same partition table that
korvex-cli lists. While the engine is installed, entry 2 of sector 0 is the boot slot holding the
first menu entry; sfdisk shows it as an ordinary bootable partition."""
import json
import os
import shutil
import subprocess
import unittest

from peer import CLI, PeerTestCase, korvex_view, sfdisk_view

LAYOUT = ("label: dos\n"
          "size=10MiB, type=7, bootable\n"
          "size=10MiB, type=c\n"
          "size=40MiB, type=5\n"
          "size=10MiB, type=83\n"
          "size=12MiB, type=83\n"
          "size=12MiB, type=82\n")

# install-engine offers the first four objects of the primary level: the free area before the
# first partition (sfdisk aligns to 1 MiB), then the NTFS, FAT and extended partitions.
CHOICE_NTFS = "2"
ENGINE_SIGNATURE = b"\xe9\x69"


def engine_view(disk):
    """korvex_view plus what sfdisk finds in the boot slot: menu entry 0 in entry 2."""
    primary, logical = korvex_view(disk)
    first = disk["engineConfig"]["menu"][0]["key"]
    entry = next(p for p in disk["primary"] if p["key"] == first)
    return sorted(primary + [(2, entry["start"], entry["length"], entry["type"])]), logical


class EngineLifecycle(PeerTestCase):
    def setUp(self):
        super().setUp()
        self.path = self.image("disk.img", 96)
        self.sfdisk(self.path, LAYOUT)
        self.original = sfdisk_view(self.sfdisk_json(self.path))

    def lba1(self):
        with open(self.path, "rb") as f:
            f.seek(512)
            return f.read(512)

    def patch(self, offset, data):
        with open(self.path, "r+b") as f:
            f.seek(offset)
            f.write(data)

    def korvex_answering(self, answer, *args):
        """korvex-cli with answer typed at its question (never a terminal's stdin)."""
        return subprocess.run([CLI, "--disk", self.path] + list(args), input=answer, capture_output=True,
                              text=True, env=self.env)

    def install(self, *extra):
        self.korvex("--yes", "install-engine", "0", "--entry", CHOICE_NTFS, *extra, disks=[self.path])
        disk = self.korvex_list(self.path)
        self.assertTrue(disk["engine"])
        self.assertEqual(sfdisk_view(self.sfdisk_json(self.path)), engine_view(disk))
        return disk

    def assert_removed(self):
        disk = self.korvex_list(self.path)
        self.assertFalse(disk["engine"])
        self.assertNotIn("engineConfig", disk)
        self.assertNotEqual(self.lba1()[:2], ENGINE_SIGNATURE)
        after = sfdisk_view(self.sfdisk_json(self.path))
        self.assertEqual(korvex_view(disk), after)
        self.assertEqual(after[1], self.original[1], "the logical drives stay as they were")
        return after

    def test_install_lists_the_engine_and_keeps_the_table_readable(self):
        self.assertEqual(korvex_view(self.korvex_list(self.path)), self.original)
        disk = self.install()
        self.assertEqual(self.lba1()[:2], ENGINE_SIGNATURE)
        config = disk["engineConfig"]
        self.assertEqual((config["timeout"], config["autoboot"], config["menuColour"], config["barColour"]),
                         (60, True, 0x1B, 0x3E))
        self.assertEqual((config["defaultEntry"], config["rememberLast"], config["directBoot"]), (0, False, 0))
        self.assertEqual(len(config["menu"]), 1)
        self.assertEqual(config["menu"][0]["title"][-5:], "Typ 7")
        # The FAT partition left entry 2 for the boot slot; sfdisk finds it in entry 1, the NTFS
        # partition (the boot slot) in entry 2, bootable.
        table = self.sfdisk_json(self.path)["partitions"]
        fat = next(p for p in table if p["type"] == "c")
        ntfs = next(p for p in table if p["type"] == "7")
        self.assertTrue(fat["node"].endswith("1"))
        self.assertTrue(ntfs["node"].endswith("2"))
        self.assertTrue(ntfs.get("bootable"))

    def test_self_test_finds_nothing_on_a_saved_disk_and_repairs_a_lost_signature(self):
        self.install()
        report = self.korvex("selftest", disks=[self.path]).stdout
        self.assertIn("Signatur ... Ok!\n", report)
        self.assertTrue(report.rstrip().endswith("0 Fehler gefunden!"), report)

        self.patch(510, b"\0\0")
        checked = self.korvex("selftest", "--check-only", disks=[self.path])
        self.assertIn("Signatur ... mit Fehlern!\n", checked.stdout)
        with open(self.path, "rb") as f:
            self.assertEqual(f.read(512)[510:], b"\0\0", "a check alone writes nothing")

        repaired = self.korvex("selftest", "0", disks=[self.path]).stdout
        self.assertIn("Signatur ... mit Fehlern! ... Korregiert!\n", repaired)
        self.assertTrue(repaired.rstrip().endswith("1 Fehler gefunden!"), repaired)
        with open(self.path, "rb") as f:
            self.assertEqual(f.read(512)[510:], b"\x55\xaa", "the repair was saved")
        self.assertEqual(sfdisk_view(self.sfdisk_json(self.path)), engine_view(self.korvex_list(self.path)))

    def test_removal_with_an_empty_master_boot_record_drops_the_menu_partition(self):
        self.install()
        self.korvex("remove-engine", "--mode", "empty", disks=[self.path])
        primary, _ = self.assert_removed()
        self.assertNotIn(7, [p[3] for p in primary])
        self.assertEqual(len(primary), 3)

    def test_removal_keeping_the_menu_partition_puts_it_into_the_free_entry(self):
        self.install()
        self.korvex("remove-engine", "0", "--mode", "keep", "1", disks=[self.path])
        primary, _ = self.assert_removed()
        self.assertEqual([(p[0], p[3]) for p in primary], [(1, 0x0C), (2, 0x07), (3, 0x05), (4, 0x83)])

    def test_removal_with_the_backup_file_brings_back_the_original_table(self):
        backup = os.path.join(self.dir.name, "MBR.save")
        original_lba1 = self.lba1()
        self.install("--backup", backup)
        self.assertEqual(os.path.getsize(backup), 1024)
        self.korvex("remove-engine", "--mode", "backup", backup, disks=[self.path])
        self.assertEqual(self.assert_removed(), self.original)
        self.assertEqual(self.lba1(), original_lba1)

    def test_refusals_leave_the_disk_as_it_was(self):
        with open(self.path, "rb") as f:
            before = f.read(8 * 512)
        refused = [
            ("install-engine", "--entry", "4"),                    # the extended partition
            ("install-engine", "--entry", "2"),                    # no backup name, answered "n"
            ("remove-engine", "--mode", "empty"),                  # no engine to remove
            ("selftest",),                                         # no engine to test
            ("backup", "import", os.path.join(self.dir.name, "missing.save")),
        ]
        for args in refused:
            with self.subTest(args=args):
                done = self.korvex_answering("n\n", *args)
                self.assertEqual(done.returncode, 1, done.stderr)
        self.assertEqual(self.korvex_answering("", "install-engine", "--entry", "5").returncode, 2)
        with open(self.path, "rb") as f:
            self.assertEqual(f.read(8 * 512), before)


class DemoDiskLifecycle(PeerTestCase):
    """The first demo disk goes through install, save, self test and each removal with
    korvex-cli; sfdisk agrees with the listed tables after every step."""

    def demo(self, *args):
        return self.korvex("--yes", "--demo", *args)

    def demo_disk(self):
        disk = json.loads(self.demo("list", "--json").stdout)["disks"][0]
        table = sfdisk_view(self.sfdisk_json(os.path.join(self.env["XDG_CACHE_HOME"], "korvex", "demo",
                                                          "korvex-demo-1.img")))
        return disk, table

    def test_every_removal_mode(self):
        for mode in (["empty"], ["keep", "1", "2"], ["backup"]):
            with self.subTest(mode=mode[0]):
                shutil.rmtree(os.path.join(self.env["XDG_CACHE_HOME"], "korvex"), ignore_errors=True)
                original, before = self.demo_disk()
                self.assertEqual(korvex_view(original), before)
                backup = os.path.join(self.dir.name, f"{mode[0]}.save")
                # The Windows and the data partition, the first two objects of the primary level.
                self.demo("install-engine", "0", "--entry", "1", "2", "--backup", backup)
                disk, table = self.demo_disk()
                self.assertTrue(disk["engine"])
                self.assertEqual(len(disk["engineConfig"]["menu"]), 2)
                self.assertEqual(table, engine_view(disk))
                report = self.demo("selftest").stdout
                self.assertTrue(report.rstrip().endswith("0 Fehler gefunden!"), report)
                self.demo("remove-engine", "0", "--mode", *(mode + [backup] if mode[0] == "backup" else mode))
                disk, table = self.demo_disk()
                self.assertFalse(disk["engine"])
                self.assertEqual(korvex_view(disk), table)
                self.assertEqual(table[1], before[1], "the logical drives stay where they were")
                if mode[0] == "empty":
                    self.assertEqual(len(table[0]), 1, "only the extended partition is left in the table")
                else:
                    self.assertEqual(sorted(p[1:] for p in table[0]), sorted(p[1:] for p in before[0]))


if __name__ == "__main__":
    unittest.main()
