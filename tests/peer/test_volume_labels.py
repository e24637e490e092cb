"""What tells partitions apart: on a disk partitioned by util-linux sfdisk whose partitions and
logical drives were formatted by mkfs.fat, mkntfs, mkfs.ext4 and mkswap, korvex-cli list --json
names each object's catalogue type name, file system, volume label and the number sfdisk gives
it, and the tree's labels carry the same after the type and size (a logical drive's size counts its
extended boot record)."""
import os
import unittest

from peer import PeerTestCase
from volumes import MIB, put_volume

LAYOUT = ("label: dos\n"
          "start=1MiB, size=36MiB, type=c\n"
          "size=16MiB, type=7\n"
          "size=60MiB, type=5\n"
          "start=54MiB, size=16MiB, type=83\n"
          "start=71MiB, size=8MiB, type=82\n"
          "start=80MiB, size=16MiB, type=83\n")
# (file system, label, partition number) by start sector; the third logical drive stays empty.
VOLUMES = {1 * MIB: ("FAT32", "DATEN", 1), 37 * MIB: ("NTFS", "Windows", 2),
           54 * MIB: ("ext4", "home", 5), 71 * MIB: ("swap", "auslagern", 6)}


class VolumeLabels(PeerTestCase):
    def setUp(self):
        super().setUp()
        self.disk = self.image("labels.img", 128)
        self.sfdisk(self.disk, LAYOUT)
        table = self.sfdisk_json(self.disk)
        # sfdisk's own numbers, taken from its device names ("labels.img5").
        self.sfdisk_numbers = {p["start"]: int(p["node"][len(self.disk):]) for p in table["partitions"]}
        for start, (fs, label, _) in VOLUMES.items():
            length = next(p["size"] for p in table["partitions"] if p["start"] == start)
            put_volume(self.dir.name, self.disk, fs, label, start, length)
        self.korvex("registry", "ensure-catalogue", os.path.join(os.path.dirname(__file__), "../../data/parts.reg"))

    def test_list_json_names_file_system_label_type_name_and_number(self):
        listed = self.korvex_list(self.disk)
        objects = {}
        for level in ("primary", "logical"):
            for item in listed[level]:
                if item["state"] != "Free":
                    objects[item.get("dataStart", item["start"])] = item
        for start, (fs, label, number) in VOLUMES.items():
            item = objects[start]
            self.assertEqual((item["fileSystem"], item["label"], item["number"]), (fs, label, number), item)
            self.assertEqual(item["number"], self.sfdisk_numbers[start])
        names = {start: item["typeName"] for start, item in objects.items()}
        self.assertEqual([names[1 * MIB], names[37 * MIB], names[54 * MIB], names[71 * MIB]],
                         ["FAT32 (LBA)", "NTFS/HPFS", "Linux", "Linux Swap"])
        # The empty drive and the extended partition have a number and a type name, no file system.
        empty = objects[80 * MIB]
        self.assertEqual((empty["fileSystem"], empty["label"], empty["number"]), ("", "", 7))
        extended = next(item for item in listed["primary"] if item["type"] == 5)
        self.assertEqual((extended["typeName"], extended["fileSystem"], extended["number"]), ("Erweitert", "", 3))
        free = next(item for item in listed["primary"] if item["state"] == "Free")
        self.assertEqual((free["typeName"], free["fileSystem"], free["number"]), ("", "", None))
        # The fields that were there before keep their place and values.
        self.assertEqual(objects[1 * MIB]["type"], 12)
        self.assertEqual(objects[1 * MIB]["size"], "36.00 MB")

    def test_tree_labels_say_the_same_after_the_type_and_size(self):
        tree = self.korvex("tree", disks=[self.disk]).stdout
        for line in ["Typ 12  36.00 MB  FAT32 (LBA)  Nr. 1  FAT32 'DATEN'",
                     "Typ 7  16.00 MB  NTFS/HPFS  Nr. 2  NTFS 'Windows'",
                     "Typ 131  17.00 MB  Linux  Nr. 5  ext4 'home'",
                     "Typ 130  9.00 MB  Linux Swap  Nr. 6  swap 'auslagern'",
                     "Typ 131  17.00 MB  Linux  Nr. 7  [Datenpartition]"]:
            self.assertIn(line, tree)
        text = self.korvex("list", disks=[self.disk]).stdout
        self.assertIn("FAT32 (LBA)  Nr. 1  FAT32 'DATEN'", text)


if __name__ == "__main__":
    unittest.main()
