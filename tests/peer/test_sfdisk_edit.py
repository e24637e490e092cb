"""Partitions and logical drives created, deleted and activated through korvex-cli are read by
util-linux sfdisk to the same starts, lengths and types that korvex-cli lists."""
import unittest

from peer import PeerTestCase, korvex_view, sfdisk_view


class SfdiskReadsEditedTables(PeerTestCase):
    def assert_same_view(self, disk):
        view = sfdisk_view(self.sfdisk_json(disk.split("@")[0]))
        self.assertEqual(korvex_view(self.korvex_list(disk)), view)
        return view

    def edit(self, disk, *args):
        return self.korvex("--yes", *args, disks=[disk]).stdout

    def test_creating_on_a_blank_disk(self):
        disk = self.image("blank.img", 64)  # 130 cylinders of 16 heads and 63 sectors
        # The classic layout: once the first partition starts at 63, cylinders are the default.
        self.assertEqual(self.edit(disk, "create", "0:p@0", "--type", "6", "--size", "10", "--unit", "MByte",
                                   "--align", "cylinder"),
                         "0:p@63  Länge 21105\n")
        self.edit(disk, "create", "0:p@21168", "--type", "5", "--size", "30", "--unit", "MByte", "--slot", "3")
        self.edit(disk, "create", "0:l@21168", "--type", "0x83", "--size", "8", "--unit", "MByte",
                  "--align", "track")
        self.edit(disk, "create", "0:l@37611", "--type", "7")
        self.edit(disk, "activate", "0:p@63")
        primary, logical = self.assert_same_view(disk)
        self.assertEqual(primary, [(1, 63, 21105, 6), (3, 21168, 61488, 5)])
        # Each drive's data begins one track after its record.
        self.assertEqual(logical, [(21231, 16380, 0x83), (37674, 44982, 7)])
        self.assertTrue(self.sfdisk_json(disk)["partitions"][0].get("bootable"))

    def test_deleting_drives_and_then_the_extended_partition(self):
        disk = self.image("del.img", 64)
        self.sfdisk(disk, "label: dos\n"
                          "size=8MiB, type=83\n"
                          "start=12MiB, size=40MiB, type=5\n"
                          "start=14MiB, size=5MiB, type=83\n"
                          "start=22MiB, size=3MiB, type=82\n"
                          "start=30MiB, size=10MiB, type=b\n")
        _, logical = self.assert_same_view(disk)
        drives = [p for p in self.korvex_list(disk)["logical"] if p["state"] != "Free"]
        # The first drive goes: the others keep their data where it was.
        self.edit(disk, "delete", f"0:l@{drives[0]['start']}")
        self.assertEqual(self.assert_same_view(disk)[1], logical[1:])
        self.edit(disk, "delete", f"0:l@{drives[2]['start']}")
        self.assertEqual(self.assert_same_view(disk)[1], logical[1:2])
        self.edit(disk, "delete", "0:p@24576")
        primary, logical = self.assert_same_view(disk)
        self.assertEqual(primary, [(1, 2048, 16384, 0x83)])
        self.assertEqual(logical, [])

    def test_form_values_derived_checked_and_applied(self):
        disk = self.image("form.img", 32)  # 16 heads, 63 sectors: 1 008 sectors a cylinder
        self.sfdisk(disk, "label: dos\nstart=63, size=10017, type=83\nstart=20160, size=10080, type=7\n")
        self.assertEqual(self.edit(disk, "derive", "0:p@63", "--to-relative", "--end-chs", "19/15/63"),
                         "start-chs 0/1/1\nend-chs 19/15/63\nstart 63\nlength 20097\n")
        self.assertEqual(self.edit(disk, "derive", "0:p@20160", "--to-absolute"),
                         "start-chs 20/0/1\nend-chs 29/15/63\nstart 20160\nlength 10080\n")
        self.assertEqual(self.edit(disk, "check", "0:p@63"), "Keine Fehler festgestellt\n")
        # Growing into the second partition is refused with the report and its count.
        done = self.korvex("--yes", "apply", "0:p@63", "--length", "20160", disks=[disk], check=False)
        self.assertEqual(done.returncode, 1)
        self.assertIn("Diese Partition liegt ganz oder teilweise im Bereich einer anderen Partition\n\n1 Fehler.",
                      done.stderr)
        self.edit(disk, "apply", "0:p@63", "--length", "20097", "--type", "0x0c")
        primary, _ = self.assert_same_view(disk)
        self.assertEqual(primary, [(1, 63, 20097, 0x0C), (2, 20160, 10080, 7)])

    def test_refusals_leave_the_disk_as_it_was(self):
        disk = self.image("ref.img", 32)
        self.sfdisk(disk, "label: dos\nsize=8MiB, type=83\nstart=12MiB, size=8MiB, type=5\n")
        before = self.assert_same_view(disk)
        for args in (["create", "0:p@40960", "--type", "15"],                      # a second extended
                     ["create", "0:p@40960", "--type", "6", "--size", "0", "--unit", "kByte"],
                     ["create", "0:p@2048", "--type", "6"],                       # not a free area
                     ["activate", "0:l@24576"]):
            with self.subTest(args[0] + " " + args[-1]):
                done = self.korvex("--yes", *args, disks=[disk], check=False)
                self.assertEqual(done.returncode, 1, done.stderr)
                self.assertIn("Fehler: ", done.stderr)
                self.assertEqual(self.assert_same_view(disk), before)


if __name__ == "__main__":
    unittest.main()
