"""KORVEX_TRACE: the lines a bug report carries, checked against what sfdisk wrote and what the
program then wrote itself. Without the variable nothing is traced."""
import re
import unittest

from peer import GAPPED_TYPE_5_LAYOUT, PeerTestCase

LINE = re.compile(r"^korvex\[(chain|save|image|helper)\]: ")


def plan(stderr):
    """The planned sectors as (LBA, what) in the order the trace gives them."""
    return [(int(m.group(1)), m.group(2)) for m in re.finditer(r"\d+\. LBA (\d+): (.+)", stderr)]


class TraceTest(PeerTestCase):
    def setUp(self):
        super().setUp()
        self.path = self.image("disk.img", 64)
        self.sfdisk(self.path, GAPPED_TYPE_5_LAYOUT)

    def test_off_by_default_and_for_unknown_categories(self):
        for value in (None, "", "0", "nothing"):
            if value is None:
                self.env.pop("KORVEX_TRACE", None)
            else:
                self.env["KORVEX_TRACE"] = value
            done = self.korvex("--yes", "deactivate", "0:p@2048", disks=[self.path])
            self.assertNotIn("korvex[", done.stderr, value)
            self.korvex("--yes", "activate", "0:p@2048", disks=[self.path])

    def test_chain_walk_and_save_plan_in_write_order(self):
        self.env["KORVEX_TRACE"] = "1"
        done = self.korvex("save", disks=[self.path])
        self.assertIn("korvex[save]: PHYSICALDRIVE0: Schreibplan leer, die Festplatte ist unverändert", done.stderr)
        # Every line is a trace line; the walk names the three records and why it stops.
        for line in done.stderr.splitlines():
            self.assertRegex(line, LINE)
        self.assertEqual(len(re.findall(r"korvex\[chain\]: .*Satz \d+ bei LBA", done.stderr)), 3)
        self.assertIn("Kette endet", done.stderr)

        self.env["KORVEX_TRACE"] = "save"
        done = self.korvex("--yes", "deactivate", "0:p@2048", disks=[self.path])
        self.assertNotIn("korvex[chain]", done.stderr)
        # The records of the chain from the last to the first, sector 0 at the very end.
        self.assertEqual(plan(done.stderr), [(79872, "erweiterter Bootsektor"), (59392, "erweiterter Bootsektor"),
                                             (40960, "erweiterter Bootsektor"), (0, "Sektor 0")])

    def test_engine_area_is_planned_from_its_size_with_its_first_sector_last(self):
        self.env["KORVEX_TRACE"] = "save"
        done = self.korvex("--yes", "install-engine", "--entry", "2", disks=[self.path])
        sectors = [lba for lba, what in plan(done.stderr) if what.startswith("Bootmanager")]
        self.assertEqual(sectors, [2, 3, 4, 5, 6, 7, 1])
        self.assertEqual(plan(done.stderr)[-1], (0, "Sektor 0"))

    def test_image_blocks_and_helper_exchanges(self):
        self.env["KORVEX_TRACE"] = "image"
        target = self.path + ".kvx"
        done = self.korvex("image", "save", "0:p@2048", target, "--compress", "--threads", "2", disks=[self.path])
        blocks = int(re.search(r"korvex\[image\]: (\d+) Blöcke", done.stderr).group(1))
        self.assertGreater(blocks, 1)
        for stage in ("gelesen", "umgewandelt", "geschrieben"):
            self.assertEqual(len(re.findall(rf"Block \d+ {stage}", done.stderr)), blocks, stage)
        # The writer keeps the order of the blocks whatever order the workers finish in.
        written = [int(n) for n in re.findall(r"Block (\d+) geschrieben", done.stderr)]
        self.assertEqual(written, list(range(blocks)))

        self.env.update(KORVEX_TRACE="helper", KORVEX_PLATFORM="9x")
        done = self.korvex("list", disks=[self.path])
        exchanges = re.findall(r"korvex\[helper\]: .*korvex95 (\S+) .*: (\S+)", done.stderr)
        # The geometry of disk 0, its sectors (sector 0, the chain) read; the probe for a second
        # disk is the only exchange that fails.
        self.assertIn(("P", "erfolgreich"), exchanges, done.stderr)
        reads = [result for kind, result in exchanges if kind == "R"]
        self.assertGreaterEqual(len(reads), 3, done.stderr)
        self.assertEqual(set(reads), {"erfolgreich"}, done.stderr)


if __name__ == "__main__":
    unittest.main()
