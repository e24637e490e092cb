"""The rules every caller of an edit meets, tried with korvex-cli on images partitioned by
util-linux sfdisk: overlapping partitions, the longest chain of logical drives, and the active
mark. Each refusal exits 1 with a message and leaves the image as sfdisk wrote it."""
import struct
import subprocess
import unittest

from peer import SFDISK, PeerTestCase


class CoreRules(PeerTestCase):
    @staticmethod
    def head(disk):
        with open(disk, "rb") as f:
            return f.read(1 << 20)

    def refused(self, disk, *args):
        before = self.head(disk)
        done = self.korvex("--yes", *args, disks=[disk], check=False)
        self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
        self.assertEqual(self.head(disk), before, "a refusal wrote to the disk")
        return done.stderr

    def sfdisk_verify(self, disk):
        return subprocess.run([SFDISK, "-V", disk], capture_output=True, text=True)

    def test_a_partition_may_not_swallow_another(self):
        disk = self.image("swallow.img", 100)
        self.sfdisk(disk, "label: dos\nstart=2048, size=40960, type=83\nstart=43008, size=40960, type=7\n")
        derived = self.korvex("derive", "0:p@2048", "--to-absolute", "--length", "100000", disks=[disk]).stdout
        chs = dict(line.split(" ", 1) for line in derived.splitlines())
        stderr = self.refused(disk, "apply", "0:p@2048", "--start", "2048", "--length", "100000",
                              "--start-chs", chs["start-chs"], "--end-chs", chs["end-chs"])
        self.assertIn("Diese Partition liegt ganz oder teilweise im Bereich einer anderen Partition", stderr)
        verified = self.sfdisk_verify(disk)
        self.assertNotIn("overlaps", verified.stdout + verified.stderr)

    def test_a_table_with_overlapping_partitions_is_not_written(self):
        disk = self.image("overlap.img", 100)
        self.sfdisk(disk, "label: dos\nstart=2048, size=40960, type=83\nstart=43008, size=40960, type=7\n")
        # sfdisk writes no overlap: the first entry's length is damaged by hand to swallow the second.
        with open(disk, "r+b") as f:
            f.seek(0x1BE + 12)
            f.write(struct.pack("<I", 100000))
        verified = self.sfdisk_verify(disk)
        self.assertIn("overlaps", verified.stdout + verified.stderr)
        self.assertIn("Die Partition umschließt die Partition, die beim relativen Sektor 43008 beginnt",
                      self.korvex("check", "0:p@2048", disks=[disk]).stdout)
        stderr = self.refused(disk, "create", "0:p@102048", "--type", "6")
        self.assertIn("Die Partitionen bei den relativen Sektoren 2048 und 43008 überschneiden sich", stderr)

    def test_the_chain_takes_twenty_seven_logical_drives_and_refuses_the_twenty_eighth(self):
        disk = self.image("chain.img", 200)
        self.sfdisk(disk, "label: dos\nstart=2048, size=8192, type=83\nstart=10240, type=5\n")

        def last_free():
            return [p["start"] for p in self.korvex_list(disk)["logical"] if p["state"] == "Free"][-1]

        for _ in range(27):
            self.korvex("--yes", "create", f"0:l@{last_free()}", "--type", "6", "--size", "2", "--unit", "MByte",
                        disks=[disk])
        stderr = self.refused(disk, "create", f"0:l@{last_free()}", "--type", "6", "--size", "2", "--unit", "MByte")
        self.assertIn("Die Kette der logischen Laufwerke ist voll", stderr)
        table = self.sfdisk_json(disk)
        self.assertEqual(len(table["partitions"]), 2 + 27)
        self.assertEqual(len(self.korvex_list(disk)["logical"]) - 1, 27)  # and the free rest

    def test_one_active_partition_and_none_on_a_disk_with_the_boot_engine(self):
        disk = self.image("active.img", 100)
        self.sfdisk(disk, "label: dos\nstart=2048, size=40960, type=83\nstart=43008, size=40960, type=7\n")
        self.korvex("activate", "0:p@2048", disks=[disk])
        self.assertIn("bereits eine Partition aktiv", self.refused(disk, "activate", "0:p@43008"))
        self.assertEqual([p.get("bootable", False) for p in self.sfdisk_json(disk)["partitions"]], [True, False])
        self.korvex("deactivate", "0:p@2048", disks=[disk])
        self.korvex("--yes", "install-engine", "--entry", "2", disks=[disk])
        self.assertIn("Bootmanager bestimmt das Bootmenü", self.refused(disk, "activate", "0:p@43008"))


if __name__ == "__main__":
    unittest.main()
