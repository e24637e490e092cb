"""Lost partitions brought back: a disk partitioned by util-linux sfdisk with a FAT16, a FAT32 and
an NTFS primary partition and an ext4 logical drive, each formatted by its own mkfs, loses its
tables; korvex-cli scan finds every volume with its file system and range, adopt puts each back,
and afterwards sfdisk reads the original table and the file systems' own checkers pass."""
import hashlib
import json
import subprocess
import unittest

from peer import PeerTestCase, sfdisk_view, SFDISK
from volumes import MIB, check_volume, make_volume, region, splice
LAYOUT = ("label: dos\n"
          "start=1MiB, size=16MiB, type=4\n"
          "size=36MiB, type=b\n"
          "size=16MiB, type=7\n"
          "start=69MiB, size=40MiB, type=5\n"
          "start=70MiB, size=16MiB, type=83\n")
# (file system, label, start, length) of each volume.
VOLUMES = [("FAT16", "FAT16VOL", 1 * MIB, 16 * MIB),
           ("FAT32", "FAT32VOL", 17 * MIB, 36 * MIB),
           ("NTFS", "NTFSVOL", 53 * MIB, 16 * MIB),
           ("ext4", "EXTVOL", 70 * MIB, 16 * MIB)]


class LostPartitionsComeBack(PeerTestCase):
    def make_volume(self, fs, label, start, length):
        return make_volume(self.dir.name, fs, label, start, length)

    def splice(self, disk, volume, start):
        splice(disk, volume, start)

    def region(self, disk, start, length):
        return region(disk, start, length)

    def test_scan_and_adopt_bring_back_every_volume(self):
        disk = self.image("lost.img", 128)  # 16 heads, 63 sectors
        self.sfdisk(disk, LAYOUT)
        for fs, label, start, length in VOLUMES:
            self.splice(disk, self.make_volume(fs, label, start, length), start)
        original = sfdisk_view(self.sfdisk_json(disk))
        contents = {start: hashlib.sha256(self.region(disk, start, length)).hexdigest()
                    for _, _, start, length in VOLUMES}

        done = subprocess.run([SFDISK, "--delete", "--no-reread", "--no-tell-kernel", disk], capture_output=True,
                              text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(sfdisk_view(self.sfdisk_json(disk)), ([], []))

        found = json.loads(self.korvex("scan", "0", "--json", disks=[disk]).stdout)
        self.assertEqual(found["disk"], 0)
        self.assertEqual(found["unreadable"], [])
        sectors = [hit["sector"] for hit in found["hits"]]
        self.assertEqual(sectors, sorted(sectors))
        volumes = [(h["fileSystem"], h["label"], h["start"], h["length"]) for h in found["hits"] if h["kind"] == 14]
        # Each volume once: the FAT32 and NTFS backup boot sectors name their originals.
        self.assertEqual(volumes, [(fs, label, start, length) for fs, label, start, length in VOLUMES])
        for hit in found["hits"]:
            if hit["kind"] != 14:
                self.assertEqual((hit["fileSystem"], hit["label"], hit["start"], hit["length"]), (None,) * 4)

        for _, _, start, _ in VOLUMES[:3]:
            self.korvex("adopt", "0", str(start), disks=[disk])
        # The extended partition comes back by hand at its old place; the ext4 volume inside it
        # then becomes its logical drive.
        self.korvex("create", f"0:p@{69 * MIB}", "--type", "5", "--size", "40", "--unit", "MByte", "--align",
                    "sector", disks=[disk])
        self.assertEqual(self.korvex("adopt", "0", str(70 * MIB), disks=[disk]).stdout,
                         f"0:l@{69 * MIB}  Länge {17 * MIB}  Typ 131\n")

        self.assertEqual(sfdisk_view(self.sfdisk_json(disk)), original)
        for fs, _, start, length in VOLUMES:
            with self.subTest(fs):
                self.assertEqual(hashlib.sha256(self.region(disk, start, length)).hexdigest(), contents[start])
                status, output = check_volume(self.dir.name, disk, fs, start, length)
                self.assertEqual(status, 0, output)

    def test_refusals_and_the_sector_view(self):
        disk = self.image("view.img", 32)
        self.sfdisk(disk, "label: dos\nstart=1MiB, size=16MiB, type=6\n")
        self.splice(disk, self.make_volume("FAT16", "ANSICHT", MIB, 16 * MIB), MIB)
        rows = self.korvex("sector", "0", str(MIB), disks=[disk]).stdout.splitlines()
        self.assertEqual(len(rows), 32)
        # The jump, the formatter's name and the start of the parameter block (512-byte sectors).
        self.assertTrue(rows[0].startswith("00000000 EB 3C 90 6D 6B 66 73 2E 66 61 74 00 02 "), rows[0])
        self.assertEqual(rows[0][57:68], ".<.mkfs.fat")
        self.assertEqual(rows[31][:9], "000001F0 ")
        self.assertTrue(rows[31].startswith("000001F0 " + "00 " * 14 + "55 AA"), rows[31])
        # The volume is in the table already; sector 0 describes none; a sector past the end.
        for args, text in ((["adopt", "0", str(MIB)], "überschneidet sich mit einer vorhandenen Partition"),
                           (["adopt", "0", "0"], "beschreibt kein Dateisystem"),
                           (["sector", "0", str(32 * MIB)], "kann nicht gelesen werden")):
            with self.subTest(args[0] + " " + args[-1]):
                done = self.korvex(*args, disks=[disk], check=False)
                self.assertEqual(done.returncode, 1, done.stderr)
                self.assertIn(text, done.stderr)
        self.assertEqual(sfdisk_view(self.sfdisk_json(disk)), ([(1, MIB, 16 * MIB, 6)], []))


if __name__ == "__main__":
    unittest.main()
