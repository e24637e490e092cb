"""Lost disks brought back by korvex-cli scan and adopt: volumes whose first sector is lost, a
partition deleted and a smaller one made over its start, a disk whose sector 0 is gone with an
extended partition of three logical drives, and one whose chain of extended boot records is
gone. The disks are laid out by util-linux sfdisk and formatted by each file system's own mkfs;
afterwards sfdisk must read the old layout and each file system's own checker must pass."""
import json
import os
import subprocess
import unittest

from peer import PeerTestCase, SFDISK, sfdisk_view
from volumes import MIB, check_volume, put_volume, region, zero_sector

# A primary FAT32 partition and an extended partition (to the disk's end) of three logical drives.
EXTENDED_LAYOUT = ("label: dos\n"
                   "start=1MiB, size=40MiB, type=b\n"
                   "start=41MiB, type=5\n"
                   "size=40MiB, type=6\n"
                   "size=40MiB, type=7\n"
                   "size=20MiB, type=83\n")
# (file system, label, start, length) as sfdisk places the partitions above: each logical drive's
# record at the end of the one before, its data 1 MiB later.
EXTENDED_VOLUMES = [("FAT32", "PRIMAER", 1 * MIB, 40 * MIB),
                    ("FAT16", "EINS", 42 * MIB, 40 * MIB),
                    ("NTFS", "Windows", 83 * MIB, 40 * MIB),
                    ("ext4", "home", 124 * MIB, 20 * MIB)]
EXTENDED_RECORDS = [41 * MIB, 82 * MIB, 123 * MIB]


class LostDisksComeBack(PeerTestCase):
    def layout(self, name, mib, script, volumes):
        disk = self.image(name, mib)  # up to 504 MiB: 16 heads of 63 sectors
        self.sfdisk(disk, script)
        for fs, label, start, length in volumes:
            put_volume(self.dir.name, disk, fs, label, start, length)
        return disk

    def scan(self, disk):
        found = json.loads(self.korvex("scan", "0", "--json", disks=[disk]).stdout)
        self.assertEqual(found["unreadable"], [])
        return found

    def volume_hits(self, found):
        return [(h["fileSystem"], h["label"], h["start"], h["length"]) for h in found["hits"] if h["kind"] == 14]

    def adopt(self, disk, sector):
        return self.korvex("adopt", "0", str(sector), disks=[disk]).stdout

    def assert_checks_pass(self, disk, volumes):
        for fs, _, start, length in volumes:
            with self.subTest(fs=fs, start=start):
                status, output = check_volume(self.dir.name, disk, fs, start, length)
                self.assertEqual(status, 0, output)

    def test_volumes_whose_first_sector_is_lost_come_back_at_their_real_start(self):
        volumes = [("FAT32", "DATEN", 1 * MIB, 40 * MIB), ("NTFS", "Windows", 41 * MIB, 60 * MIB)]
        disk = self.layout("first.img", 128, "label: dos\nstart=1MiB, size=40MiB, type=b\nsize=60MiB, type=7\n",
                           volumes)
        original = sfdisk_view(self.sfdisk_json(disk))
        backups = {start: region(disk, start, 1) for _, _, start, _ in volumes}
        for lba in (0, 1 * MIB, 41 * MIB):
            zero_sector(disk, lba)

        found = self.scan(disk)
        # One hit each, at the real start, found through the backup: FAT32's 6 sectors on, NTFS's in
        # the volume's last sector.
        self.assertEqual(self.volume_hits(found), [(fs, label, start, length) for fs, label, start, length in volumes])
        through = [(h["sector"], h["throughBackup"]) for h in found["hits"] if h["kind"] == 14]
        self.assertEqual(through, [(1 * MIB + 6, True), (101 * MIB - 1, True)])
        text = self.korvex("scan", "0", disks=[disk]).stdout
        self.assertIn("Sektor 2048 bis 83967 (81920 Sektoren, 40.00 MB), über die Sicherungskopie gefunden", text)

        # Both are adopted by their real start; the save writes each boot sector back from its backup.
        self.assertEqual(self.adopt(disk, 1 * MIB), f"0:p@{MIB}  Länge {40 * MIB}  Typ 11\n"
                         f"Der Bootsektor in Sektor {MIB} wird beim Speichern aus seiner Sicherungskopie "
                         "wiederhergestellt.\n")
        self.adopt(disk, 41 * MIB)
        self.assertEqual(sfdisk_view(self.sfdisk_json(disk)), original)
        self.assertEqual({start: region(disk, start, 1) for _, _, start, _ in volumes}, backups)
        self.assert_checks_pass(disk, volumes)

    def test_a_deleted_ntfs_partition_under_a_smaller_fat32_shows_but_does_not_overwrite_it(self):
        disk = self.layout("reused.img", 128, "label: dos\nstart=1MiB, size=100MiB, type=7\n",
                           [("NTFS", "ALT", 1 * MIB, 100 * MIB)])
        self.sfdisk(disk, "label: dos\nstart=1MiB, size=40MiB, type=b\n")
        put_volume(self.dir.name, disk, "FAT32", "NEU", 1 * MIB, 40 * MIB)
        layout = sfdisk_view(self.sfdisk_json(disk))
        zero_sector(disk, 0)

        found = self.scan(disk)
        # The FAT32 volume where it is; the NTFS volume at its real start, not after its own end.
        # Its master file table lies under the new FAT: the label comes from the table's mirror.
        self.assertEqual(self.volume_hits(found), [("FAT32", "NEU", 1 * MIB, 40 * MIB),
                                                   ("NTFS", "ALT", 1 * MIB, 100 * MIB)])
        self.adopt(disk, 1 * MIB)
        # The NTFS volume cannot come back over the FAT32 one, and its boot sector stays unwritten.
        fat_boot = region(disk, 1 * MIB, 1)
        done = self.korvex("adopt", "0", str(101 * MIB - 1), disks=[disk], check=False)
        self.assertEqual(done.returncode, 1, done.stderr)
        self.assertIn("beginnt heute ein anderes Dateisystem (FAT32)", done.stderr)
        self.assertEqual(region(disk, 1 * MIB, 1), fat_boot)
        self.assertEqual(sfdisk_view(self.sfdisk_json(disk)), layout)
        self.assert_checks_pass(disk, [("FAT32", "NEU", 1 * MIB, 40 * MIB)])

    def test_sector_0_lost_with_an_extended_partition_of_three_logical_drives(self):
        disk = self.layout("extended.img", 200, EXTENDED_LAYOUT, EXTENDED_VOLUMES)
        original = sfdisk_view(self.sfdisk_json(disk))
        zero_sector(disk, 0)

        found = self.scan(disk)
        self.assertEqual(self.volume_hits(found), [(fs, label, start, length)
                                                   for fs, label, start, length in EXTENDED_VOLUMES])
        self.assertEqual(len(found["extended"]), 1)
        extended = found["extended"][0]
        self.assertEqual((extended["start"], extended["length"], extended["type"]), (41 * MIB, 159 * MIB, 5))
        self.assertEqual([(d["record"], d["start"], d["length"], d["type"], d["fileSystem"]) for d in extended["drives"]],
                         [(record, start, length, sfdisk_type, fs) for record, (fs, _, start, length), sfdisk_type
                          in zip(EXTENDED_RECORDS, EXTENDED_VOLUMES[1:], (6, 7, 0x83))])
        self.assertIn("Erweiterte Partition mit 3 logischen Laufwerken: Sektor 83968 bis 409599",
                      self.korvex("scan", "0", disks=[disk]).stdout)

        # A logical drive alone does not become a primary partition.
        done = self.korvex("adopt", "0", str(42 * MIB), disks=[disk], check=False)
        self.assertEqual(done.returncode, 1)
        self.assertIn("ist ein logisches Laufwerk: der EBR in Sektor 83968 beschreibt es", done.stderr)

        self.adopt(disk, 1 * MIB)
        self.assertEqual(self.adopt(disk, 41 * MIB),
                         f"0:p@{41 * MIB}  Länge {159 * MIB}  Typ 5\n"
                         + "".join(f"0:l@{record}  Länge {start + length - record}  Typ {sfdisk_type}\n"
                                   for record, (_, _, start, length), sfdisk_type
                                   in zip(EXTENDED_RECORDS, EXTENDED_VOLUMES[1:], (6, 7, 0x83))))
        self.assertEqual(sfdisk_view(self.sfdisk_json(disk)), original)
        self.assert_checks_pass(disk, EXTENDED_VOLUMES)

    def test_only_the_chain_of_extended_boot_records_lost(self):
        disk = self.layout("chain.img", 200, EXTENDED_LAYOUT, EXTENDED_VOLUMES)
        original = sfdisk_view(self.sfdisk_json(disk))
        for record in EXTENDED_RECORDS:
            zero_sector(disk, record)
        self.assertEqual(sfdisk_view(self.sfdisk_json(disk))[1], [])

        # The table's extended partition covers the volumes: each comes back as a logical drive.
        for _, _, start, _ in EXTENDED_VOLUMES[1:]:
            self.assertTrue(self.adopt(disk, start).startswith("0:l@"))
        self.assertEqual(sfdisk_view(self.sfdisk_json(disk)), original)
        self.assert_checks_pass(disk, EXTENDED_VOLUMES)


if __name__ == "__main__":
    unittest.main()
