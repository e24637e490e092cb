"""Tables that korvex-cli writes are read by util-linux sfdisk to the same starts, lengths and
types, and nothing moves when a disk partitioned by sfdisk is saved by korvex."""
import os
import unittest

from peer import GAPPED_TYPE_5_LAYOUT, TYPE_15_LAST_SLOT_LAYOUT, PeerTestCase, korvex_view, sfdisk_view

LAYOUTS = {
    "primaries and a type 5 extended partition with gaps": GAPPED_TYPE_5_LAYOUT,
    "a type 15 extended partition in the last slot": TYPE_15_LAST_SLOT_LAYOUT,
}


class SfdiskReadsWhatKorvexWrites(PeerTestCase):
    def test_saving_a_disk_moves_nothing(self):
        for name, script in LAYOUTS.items():
            with self.subTest(name):
                path = self.image(f"{len(name)}.img", 96)
                self.sfdisk(path, script)
                before = sfdisk_view(self.sfdisk_json(path))
                # The single-disk save writes the disk's tables from the working copy.
                self.korvex("save", "0", disks=[path])
                after = sfdisk_view(self.sfdisk_json(path))
                self.assertEqual(after, before)
                self.assertEqual(korvex_view(self.korvex_list(path)), after)

    def test_demo_disks_are_read_alike_and_survive_a_save(self):
        self.korvex("--demo", "list")
        for number, name in enumerate(("korvex-demo-1.img", "korvex-demo-2.img")):
            path = os.path.join(self.env["XDG_CACHE_HOME"], "korvex", "demo", name)
            before = sfdisk_view(self.sfdisk_json(path))
            self.assertTrue(before[1], "each demo disk has logical drives")
            self.korvex("--demo", "save", str(number))
            self.assertEqual(sfdisk_view(self.sfdisk_json(path)), before)
            self.assertEqual(korvex_view(self.korvex_list(path + "@64x63")), before)

if __name__ == "__main__":
    unittest.main()
