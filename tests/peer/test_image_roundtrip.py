"""Partition images through korvex-cli on a disk laid out by sfdisk (1 MiB alignment, logical
drives 1 MiB after their records): file systems made by mkfs.vfat, mkfs.ext4 and mkntfs are
saved, checked by the bzip2 program block by block (read with a parser of the format written
here), restored onto other partitions of the same size, and pass the file system checkers."""
import os
import struct
import subprocess
import unittest

from peer import PeerTestCase

LAYOUT = ("label: dos\n"
          "size=24MiB, type=c\n"
          "size=24MiB, type=c\n"
          "size=24MiB, type=7\n"
          "type=5\n"
          "size=24MiB, type=83\n"
          "size=24MiB, type=83\n"
          "size=24MiB, type=7\n")
HEADER = struct.Struct("<IIIIIBBB")


def records(path):
    """(header fields, data) of every record, read across the block files, and the files."""
    files = [path]
    data = open(path, "rb").read()
    assert data[:6] == b"KORVEX", "magic"
    at, result = 6, []
    while True:
        fields = HEADER.unpack_from(data, at)
        index, block_bytes, size, start, count, ptype, compressed, split = fields
        at += HEADER.size
        if at == len(data) and split:  # a header that ends its file: the data is in the next one
            files.append(f"{path}.{len(files) - 1:03d}")
            data, at = open(files[-1], "rb").read(), 0
        result.append((fields, data[at:at + size]))
        at += size
        if len(result) == -(-count // (block_bytes // 512)):
            return result, files


class ImageRoundTrip(PeerTestCase):
    def setUp(self):
        super().setUp()
        self.disk = self.image("disk.img", 160)
        self.sfdisk(self.disk, LAYOUT)
        parts = self.sfdisk_json(self.disk)["partitions"]
        self.start = {int(p["node"][len(self.disk):]): p["start"] for p in parts}
        self.size = {int(p["node"][len(self.disk):]): p["size"] for p in parts}
        self.ebr = {n: self.start[n] - 2048 for n in (5, 6, 7)}  # sfdisk keeps 1 MiB before each logical drive

    def run_tool(self, *command, ok=(0,)):
        done = subprocess.run(list(command), capture_output=True, text=True)
        self.assertIn(done.returncode, ok, f"{command[0]} failed:\n{done.stdout}{done.stderr}")
        return done

    def put(self, number, volume):
        """Writes the bytes of a volume file into partition number."""
        with open(volume, "rb") as src, open(self.disk, "r+b") as dst:
            dst.seek(self.start[number] * 512)
            dst.write(src.read())

    def extract(self, number, name):
        path = os.path.join(self.dir.name, name)
        with open(self.disk, "rb") as src, open(path, "wb") as dst:
            src.seek(self.start[number] * 512)
            dst.write(src.read(self.size[number] * 512))
        return path

    def volume(self, name, *mkfs):
        path = os.path.join(self.dir.name, name)
        with open(path, "wb") as f:
            f.truncate(24 * 1024 * 1024)
        self.run_tool(*mkfs, path)
        return path

    def cli(self, *args):
        return self.korvex(*args, disks=[self.disk])

    def test_fat_in_block_files_restores_onto_another_primary_partition(self):
        self.put(1, self.volume("fat.img", "mkfs.vfat", "-n", "KORVEX"))
        pim = os.path.join(self.dir.name, "fat.pim")
        self.cli("image", "save", f"0:p@{self.start[1]}", pim, "--split", "1")
        headers, files = records(pim)
        self.assertGreater(len(files), 10, "a raw 24 MiB image in 1 MB files")
        self.assertTrue(all(h[7] == 1 and h[6] == 0 for h, _ in headers))
        self.assertEqual(b"".join(d for _, d in headers), open(self.extract(1, "source.img"), "rb").read())
        self.cli("--yes", "image", "restore", f"0:p@{self.start[2]}", pim)
        self.run_tool("fsck.vfat", "-n", self.extract(2, "target.img"))
        self.assertEqual(open(self.extract(2, "target.img"), "rb").read(), open(self.extract(1, "source.img"), "rb").read())

    def test_ext4_on_a_logical_drive_restores_onto_another_logical_drive(self):
        tree = os.path.join(self.dir.name, "tree")
        os.makedirs(os.path.join(tree, "etc"))
        for i in range(40):
            with open(os.path.join(tree, "etc", f"file{i}.txt"), "w") as f:
                f.write(f"Zeile {i}\n" * (i * 50 + 1))
        self.put(5, self.volume("ext4.img", "mkfs.ext4", "-q", "-F", "-d", tree))
        pim = os.path.join(self.dir.name, "ext4.pim")
        self.cli("image", "save", f"0:l@{self.ebr[5]}", pim, "--compress", "--threads", "2")
        headers, files = records(pim)
        self.assertEqual(files, [pim])
        first = headers[0][0]
        self.assertEqual((first[3], first[4], first[5], first[6]), (self.start[5], self.size[5], 0x83, 1))
        # Every block is a bzip2 stream of its cylinder of the drive's volume.
        source = open(self.extract(5, "source.img"), "rb").read()
        block_bytes = first[1]
        for (index, *_), data in headers:
            done = subprocess.run(["bzip2", "-dc"], input=data, capture_output=True)
            self.assertEqual(done.returncode, 0, f"bzip2 refuses block {index}")
            self.assertEqual(done.stdout, source[index * block_bytes:(index + 1) * block_bytes], f"block {index}")
        self.cli("image", "verify", pim)
        self.cli("--yes", "image", "restore", f"0:l@{self.ebr[6]}", pim)
        self.run_tool("e2fsck", "-fn", self.extract(6, "target.img"))
        self.assertEqual(open(self.extract(6, "target.img"), "rb").read(), source)
        # Another logical drive of the same size stays as it was.
        self.assertEqual(open(self.extract(7, "other.img"), "rb").read(), bytes(self.size[7] * 512))

    def test_ntfs_restored_onto_a_logical_drive_gets_its_first_sector_as_hidden_sectors(self):
        self.put(3, self.volume("ntfs.img", "mkntfs", "-q", "-F", "-Q", "-s", "512", "-p", str(self.start[3]),
                                "-H", "16", "-S", "63"))
        pim = os.path.join(self.dir.name, "ntfs.pim")
        self.cli("image", "save", f"0:p@{self.start[3]}", pim, "--compress")
        self.cli("--yes", "image", "restore", f"0:l@{self.ebr[7]}", pim)
        target = self.extract(7, "target.img")
        with open(target, "rb") as f:
            boot = f.read(512)
        self.assertEqual(boot[3:11], b"NTFS    ")
        self.assertEqual(struct.unpack_from("<I", boot, 28)[0], self.start[7])
        self.run_tool("ntfsfix", "-n", target)

    def test_an_image_of_another_size_is_refused_and_nothing_is_written(self):
        pim = os.path.join(self.dir.name, "small.pim")
        self.cli("image", "save", f"0:p@{self.start[1]}", pim, "--compress")
        with open(self.disk, "rb") as f:
            before = f.read()
        done = self.korvex("--yes", "image", "restore", f"0:p@{self.start[4]}", pim, disks=[self.disk], check=False)
        self.assertEqual(done.returncode, 1)
        self.assertIn("Die Partitionsgröße und Partitionsabbild sind nicht gleich.", done.stderr)
        with open(self.disk, "rb") as f:
            self.assertEqual(f.read(), before)


if __name__ == "__main__":
    unittest.main()
