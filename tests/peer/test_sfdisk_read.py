"""Tables written by util-linux sfdisk are read to the same starts, lengths and types that
sfdisk itself reports."""
import unittest

from peer import GAPPED_TYPE_5_LAYOUT, TYPE_15_LAST_SLOT_LAYOUT, PeerTestCase, korvex_view, sfdisk_view


class ReadsWhatSfdiskWrites(PeerTestCase):
    def check_same_view(self, path):
        expected = sfdisk_view(self.sfdisk_json(path))
        disk = self.korvex_list(path)
        self.assertEqual(korvex_view(disk), expected)
        return disk

    def test_primaries_and_type_5_extended_with_gapped_logical_drives(self):
        path = self.image("a.img", 64)
        self.sfdisk(path, GAPPED_TYPE_5_LAYOUT)
        disk = self.check_same_view(path)
        # sfdisk aligns to 1 MiB: no logical drive's data lies one track after its record, so a
        # reader that assumed a track would put every drive in the wrong place.
        for drive in (p for p in disk["logical"] if p["state"] != "Free"):
            distance = drive["dataStart"] - drive["ebr"]
            self.assertEqual(distance % 2048, 0)
            self.assertGreater(distance, 63)
        self.assertTrue(any(p["state"] == "ActiveTable" for p in disk["primary"]))
        # Gaps inside the extended partition show as free areas.
        self.assertGreaterEqual(sum(1 for p in disk["logical"] if p["state"] == "Free"), 3)

    def test_type_15_extended_partition_in_the_last_slot(self):
        path = self.image("b.img", 96)
        self.sfdisk(path, TYPE_15_LAST_SLOT_LAYOUT)
        disk = self.check_same_view(path)
        extended = [p for p in disk["primary"] if p["type"] == 15]
        self.assertEqual(len(extended), 1)
        self.assertEqual(len([p for p in disk["logical"] if p["state"] != "Free"]), 3)

    def test_disk_without_partitions(self):
        path = self.image("c.img", 16)
        self.sfdisk(path, "label: dos\n")
        disk = self.check_same_view(path)
        self.assertEqual([p["state"] for p in disk["primary"]], ["Free"])


if __name__ == "__main__":
    unittest.main()
