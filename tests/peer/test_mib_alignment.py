"""Partitions created by korvex-cli with the default alignment: on a blank disk they lie on 1 MiB
boundaries as sfdisk and parted expect them, a logical drive's extended boot record 2048
sectors before its data; a disk laid out in the classic way keeps cylinder alignment. And
--dry-run prints the changes a save would write while the image stays as it was."""
import hashlib
import json
import shutil
import struct
import subprocess
import unittest

from peer import SFDISK, PeerTestCase

PARTED = shutil.which("parted") or "/usr/sbin/parted"
MIB = 2048  # sectors


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
    return digest.hexdigest()


class OneMiBLayout(PeerTestCase):
    def free_area(self, disk, level, at_least):
        """The start of the first free area of the level that begins at or after at_least."""
        areas = [p["start"] for p in self.korvex_list(disk)[level] if p["state"] == "Free" and p["start"] >= at_least]
        self.assertTrue(areas, f"no free area from {at_least} on")
        return areas[0]

    def create(self, disk, where, *options):
        return self.korvex("--yes", "create", where, *options, disks=[disk]).stdout

    def dump_starts(self, disk):
        dump = subprocess.run([SFDISK, "--dump", disk], capture_output=True, text=True, check=True).stdout
        starts = {}
        for line in dump.splitlines():
            if " : start=" in line:
                node, fields = line.split(" : ")
                starts[int(node[len(disk):])] = int(fields.split(",")[0].split("=")[1])
        return starts

    def test_a_blank_disk_gets_primary_extended_and_logical_drives_on_1_mib_boundaries(self):
        disk = self.image("blank.img", 8 * 1024)  # 8 GiB, sparse
        self.assertEqual(self.create(disk, "0:p@0", "--type", "7", "--size", "1", "--unit", "GByte"),
                         f"0:p@{MIB}  Länge {1024 * MIB}\n")
        ext = self.free_area(disk, "primary", MIB)
        self.create(disk, f"0:p@{ext}", "--type", "5", "--size", "4", "--unit", "GByte")
        self.create(disk, f"0:l@{ext}", "--type", "0x83", "--size", "1", "--unit", "GByte")
        self.create(disk, f"0:l@{self.free_area(disk, 'logical', ext + 1)}", "--type", "7")

        starts = self.dump_starts(disk)
        self.assertEqual(sorted(starts), [1, 2, 5, 6])
        for number, start in starts.items():
            self.assertEqual(start % MIB, 0, f"partition {number} starts at {start}")
        # Key assertion: each drive's extended boot record lies 2048 sectors before its data and
        # names the data 2048 sectors on (entry 0's relative start).
        with open(disk, "rb") as f:
            for number in (5, 6):
                f.seek((starts[number] - MIB) * 512)
                record = f.read(512)
                self.assertEqual(record[510:], b"\x55\xaa", f"no record before partition {number}")
                self.assertEqual(struct.unpack_from("<I", record, 446 + 8)[0], MIB)
        self.assertEqual(starts[5] - MIB, starts[2], "the first record at the extended partition's start")
        for number in starts:
            checked = subprocess.run([PARTED, "-s", disk, "align-check", "optimal", str(number)],
                                     capture_output=True, text=True)
            self.assertEqual(checked.returncode, 0, f"parted: partition {number} {checked.stdout}{checked.stderr}")

    def test_a_disk_in_the_classic_layout_keeps_cylinder_alignment(self):
        disk = self.image("classic.img", 64)
        self.sfdisk(disk, "label: dos\nstart=63, size=20097, type=83\n")
        listing = self.korvex_list(disk)
        cylinder = listing["heads"] * listing["sectors"]
        free = self.free_area(disk, "primary", 63)
        made = self.create(disk, f"0:p@{free}", "--type", "6", "--size", "10", "--unit", "MByte")
        start, length = int(made.split()[0].split("@")[1]), int(made.split()[2])
        self.assertEqual(start % cylinder, 0)
        self.assertEqual((start + length) % cylinder, 0)
        self.assertNotEqual(start % MIB, 0, "not moved to the next MiB")

    def test_dry_run_prints_what_a_save_writes_and_leaves_the_image_as_it_was(self):
        disk = self.image("dry.img", 256)
        self.sfdisk(disk, "label: dos\nstart=2048, size=40960, type=83\nstart=43008, size=40960, type=7\n")
        before = sha256(disk)
        done = self.korvex("--yes", "--dry-run", "create", "0:p@83968", "--type", "6", "--size", "8", "--unit",
                           "MByte", disks=[disk])
        self.assertEqual(done.stdout.splitlines()[-1],
                         "Partition anlegen: Typ 6 (FAT16), 8.00 MB ab Sektor 83968 (1. Festplatte)")
        self.assertIn("Probelauf: nichts wurde geschrieben.", done.stderr)
        # The option may also follow the command; JSON gives the same lines.
        done = self.korvex("--yes", "delete", "0:p@43008", "--dry-run", disks=[disk])
        self.assertEqual(done.stdout, "Partition löschen: Typ 7 (NTFS/HPFS), 20.00 MB ab Sektor 43008 (1. Festplatte)\n")
        done = self.korvex("--dry-run", "--json", "activate", "0:p@2048", disks=[disk])
        self.assertEqual(json.loads(done.stdout),
                         {"pending": [{"disk": 0, "text": "Aktivieren (Partition ab Sektor 2048, 1. Festplatte)"}]})
        self.assertEqual(self.korvex("--dry-run", "list", "--json", disks=[disk]).returncode, 0)
        self.assertEqual(self.korvex_list(disk)["primary"][1]["state"], "Table")
        self.assertEqual(json.loads(self.korvex("list", "--json", disks=[disk]).stdout)["pending"], [])
        # What writes besides the save is refused, before anything is opened.
        refused = self.korvex("--dry-run", "image", "save", "0:p@2048", self.dir.name + "/p.pim", disks=[disk],
                              check=False)
        self.assertEqual(refused.returncode, 2, refused.stderr)
        self.assertEqual(sha256(disk), before, "the image is unchanged")
        self.korvex("--yes", "create", "0:p@83968", "--type", "6", "--size", "8", "--unit", "MByte", disks=[disk])
        self.assertNotEqual(sha256(disk), before, "without --dry-run the same command writes")


if __name__ == "__main__":
    unittest.main()
