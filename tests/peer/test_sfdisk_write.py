"""Tables that korvex-cli writes are read by util-linux sfdisk to the same starts, lengths and
types, and nothing moves when a disk partitioned by sfdisk is saved by korvex."""
import os
import unittest

from peer import PeerTestCase, korvex_view, sfdisk_view

LAYOUTS = {
    "primaries and a type 5 extended partition with gaps":
        "label: dos\n"
        "size=8MiB, type=83, bootable\n"
        "start=12MiB, size=6MiB, type=7\n"
        "start=20MiB, size=40MiB, type=5\n"
        "start=24MiB, size=5MiB, type=83\n"
        "start=32MiB, size=3MiB, type=82\n"
        "start=40MiB, size=10MiB, type=b\n",
    "a type 15 extended partition in the last slot":
        "label: dos\n"
        "size=10MiB, type=6\n"
        "size=10MiB, type=c\n"
        "size=10MiB, type=83\n"
        "type=f\n"
        "size=20MiB, type=83\n"
        "size=20MiB, type=83\n"
        "type=82\n",
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
