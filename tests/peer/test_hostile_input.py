"""korvex-cli on images and files that cannot be used: each is named with its reason, the other
disks stay usable, the run exits 1; names that are not UTF-8 still give valid JSON; a FIFO or a
hostile .reg file never hangs or crashes a command; a tiny partition image whose headers claim
the largest blocks is refused without claiming the memory they would need."""
import json
import os
import resource
import struct
import subprocess
import unittest

from peer import CLI, PeerTestCase

TIMEOUT = 30


class HostileInput(PeerTestCase):
    def run_cli(self, *args, disks=(), env=None):
        command = [os.fsencode(CLI)]
        for disk in disks:
            command += [b"--disk", os.fsencode(disk)]
        return subprocess.run(command + [os.fsencode(a) for a in args], capture_output=True,
                              env=env or self.env, timeout=TIMEOUT)

    def test_unusable_images_are_named_and_the_others_kept(self):
        good = self.image("good.img", 8)
        folder = os.path.join(self.dir.name, "folder")
        os.mkdir(folder)
        fifo = os.path.join(self.dir.name, "fifo")
        os.mkfifo(fifo)
        missing = os.path.join(self.dir.name, "missing.img")
        done = self.run_cli("list", "--json", disks=[missing, folder, fifo, good + "@16*63", good])
        self.assertEqual(done.returncode, 1)
        errors = done.stderr.decode()
        self.assertIn(f"Das Abbild {missing} kann nicht benutzt werden: No such file or directory", errors)
        self.assertIn(f"Das Abbild {folder} kann nicht benutzt werden: ist ein Verzeichnis", errors)
        self.assertIn(f"Das Abbild {fifo} kann nicht benutzt werden: ist weder", errors)
        self.assertIn("DATEI@KÖPFExSEKTOREN", errors)
        disks = json.loads(done.stdout)["disks"]
        self.assertEqual([d["device"] for d in disks], ["PHYSICALDRIVE4"])
        # A save in the same run also fails instead of reporting success.
        self.assertEqual(self.run_cli("save", disks=[missing, good]).returncode, 1)

    def test_a_label_that_is_not_utf8_gives_valid_json(self):
        path = os.path.join(os.fsencode(self.dir.name), b"disk\xe4.img")
        with open(path, "wb") as image:
            image.truncate(8 * 1024 * 1024)
        done = self.run_cli("list", "--json", disks=[path])
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(json.loads(done.stdout)["disks"][0]["label"], "Image disk\u00e4.img")

    def test_a_fifo_in_place_of_the_settings_fails_at_once(self):
        home = os.path.join(self.dir.name, "home")
        os.mkdir(home)
        os.mkfifo(os.path.join(home, "user.reg"))
        done = self.run_cli("list", disks=[self.image("d.img", 8)], env=dict(self.env, KORVEX_HOME=home))
        self.assertEqual(done.returncode, 1)
        self.assertIn("keine gewöhnliche Datei", done.stderr.decode())

    def test_a_deeply_nested_reg_file_is_a_clean_parse_error(self):
        path = os.path.join(self.dir.name, "deep.reg")
        with open(path, "w", encoding="utf-8") as reg:
            reg.write("REGEDIT4\n\n[HKEY_CURRENT_USER" + "\\a" * 500000 + "]\n")
        done = self.run_cli("registry", "import", path)
        self.assertEqual(done.returncode, 1)
        self.assertIn("Zeile 3: Schlüssel zu tief verschachtelt", done.stderr.decode())

    def test_a_tiny_image_claiming_the_largest_blocks_needs_little_memory(self):
        # 66 records of one byte each whose headers claim cylinders of 255 x 255 sectors: 1.6 KB
        # that asked for 130 buffers of 33 MB with 64 threads. Under an address space of 1 GiB
        # the check must still reach the damaged first block.
        block = 255 * 255 * 512
        path = os.path.join(self.dir.name, "tiny.pim")
        with open(path, "wb") as image:
            image.write(b"KORVEX")
            for index in range(66):
                image.write(struct.pack("<IIIIIBBB", index, block, 1, 63, 66 * block // 512, 7, 1, 0) + b"B")
        self.assertLess(os.path.getsize(path), 1700)

        def limit_memory():
            resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))

        done = subprocess.run([CLI, "image", "verify", path, "--threads", "64"], capture_output=True, text=True,
                              env=self.env, timeout=TIMEOUT, preexec_fn=limit_memory)
        self.assertEqual(done.returncode, 1)
        self.assertIn("Block 0: die komprimierten Daten sind beschädigt", done.stderr)


if __name__ == "__main__":
    unittest.main()
