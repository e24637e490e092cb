"""Partition images that must not harm a disk, through korvex-cli as a user runs it: a damaged
image leaves the target as it was, NAME.sha256 is checked by sha256sum -c and by the program,
a FIFO given as an image is refused at once, a save stopped by a signal leaves no file behind,
a restore stopped by Ctrl-C says what it wrote, a restore asks first, and saving over an older
split image leaves none of its block files behind."""
import glob
import hashlib
import os
import signal
import subprocess
import time
import unittest

from peer import CLI, PeerTestCase

LAYOUT = ("label: dos\n"
          "size=40MiB, type=c\n"
          "size=40MiB, type=c\n")


class ImageSafety(PeerTestCase):
    def setUp(self):
        super().setUp()
        self.disk = self.image("disk.img", 100)
        self.sfdisk(self.disk, LAYOUT)
        parts = self.sfdisk_json(self.disk)["partitions"]
        self.start = [p["start"] for p in parts]
        self.size = [p["size"] for p in parts]
        volume = os.path.join(self.dir.name, "fat.img")
        with open(volume, "wb") as f:
            f.truncate(self.size[0] * 512)
        subprocess.run(["mkfs.vfat", "-F", "32", "-n", "QUELLE", volume], check=True, capture_output=True)
        with open(volume, "r+b") as f:  # files: half of them random, so that the image is large
            f.seek(8 * 1024 * 1024)
            f.write(os.urandom(24 * 1024 * 1024))
        with open(volume, "rb") as src, open(self.disk, "r+b") as dst:
            dst.seek(self.start[0] * 512)
            dst.write(src.read())

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def target_digest(self):
        with open(self.disk, "rb") as f:
            f.seek(self.start[1] * 512)
            return hashlib.sha256(f.read(self.size[1] * 512)).hexdigest()

    def source_digest(self):
        with open(self.disk, "rb") as f:
            f.seek(self.start[0] * 512)
            return hashlib.sha256(f.read(self.size[0] * 512)).hexdigest()

    def save(self, name, *options):
        pim = self.path(name)
        self.korvex("image", "save", f"0:p@{self.start[0]}", pim, *options, disks=[self.disk])
        return pim

    def restore(self, pim, *options, check=False):
        return self.korvex("--yes", "image", "restore", f"0:p@{self.start[1]}", pim, *options, disks=[self.disk],
                           check=check)

    def start_cli(self, *args, stdin=subprocess.DEVNULL):
        return subprocess.Popen([CLI, "--disk", self.disk] + list(args), stdin=stdin, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, env=self.env)

    def test_a_damaged_compressed_image_leaves_the_target_as_it_was(self):
        pim = self.save("fat.pim", "--compress")
        os.remove(pim + ".sha256")  # a copy without its checksums: the blocks themselves are checked
        with open(pim, "r+b") as f:  # a block three quarters in: its CRC no longer matches
            f.seek(os.path.getsize(pim) * 3 // 4)
            byte = f.read(1)
            f.seek(-1, os.SEEK_CUR)
            f.write(bytes([byte[0] ^ 0xFF]))
        before = self.target_digest()
        done = self.restore(pim)
        self.assertEqual(done.returncode, 1)
        self.assertIn("Es gab einen Fehler bei der Dekompression.", done.stderr)
        self.assertIn("Es wurde nichts auf die Festplatte geschrieben.", done.stderr)
        self.assertEqual(self.target_digest(), before)
        # With --no-verify the blocks before the damaged one are written, and the message says so.
        done = self.restore(pim, "--no-verify")
        self.assertEqual(done.returncode, 1)
        self.assertRegex(done.stderr, r"nur teilweise wiederhergestellt: \d+ Sektoren sind bereits geschrieben")
        self.assertNotEqual(self.target_digest(), before)

    def test_sha256sum_checks_the_image_and_catches_a_flipped_bit_that_the_program_refuses_too(self):
        pim = self.save("raw.pim", "--split", "10")
        sums = pim + ".sha256"
        files = sorted(glob.glob(pim + ".[0-9][0-9][0-9]"))
        self.assertEqual(len(files), 4)
        check = subprocess.run(["sha256sum", "-c", os.path.basename(sums)], cwd=self.dir.name, capture_output=True,
                               text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertEqual(check.stdout.count(": OK"), 5)
        self.korvex("image", "verify", pim)
        with open(files[2], "r+b") as f:  # one bit in the raw data of a block file
            f.seek(1000)
            byte = f.read(1)
            f.seek(1000)
            f.write(bytes([byte[0] ^ 0x04]))
        check = subprocess.run(["sha256sum", "-c", os.path.basename(sums)], cwd=self.dir.name, capture_output=True,
                               text=True)
        self.assertNotEqual(check.returncode, 0)
        self.assertIn(os.path.basename(files[2]) + ": FAILED", check.stdout)
        verify = self.korvex("image", "verify", pim, check=False)
        self.assertEqual(verify.returncode, 1)
        self.assertIn("stimmt nicht mit ihrer Prüfsumme", verify.stderr)
        before = self.target_digest()
        self.assertEqual(self.restore(pim).returncode, 1)
        self.assertEqual(self.target_digest(), before)

    def test_a_fifo_as_image_is_refused_at_once(self):
        fifo = self.path("fifo.pim")
        os.mkfifo(fifo)
        for args in (["image", "info", fifo], ["image", "verify", fifo],
                     ["--yes", "image", "restore", f"0:p@{self.start[1]}", fifo]):
            with self.subTest(args[1 if args[0] == "--yes" else 0:2]):
                done = subprocess.run([CLI, "--disk", self.disk] + args, capture_output=True, text=True,
                                      env=self.env, timeout=20)
                self.assertEqual(done.returncode, 1)
                self.assertIn(f"{fifo}: eine FIFO", done.stderr)

    def test_sigterm_and_sighup_during_a_save_leave_no_file_behind(self):
        for sent in (signal.SIGTERM, signal.SIGHUP):
            with self.subTest(sent.name):
                pim = self.path("stopped.pim")
                run = self.start_cli("image", "save", f"0:p@{self.start[0]}", pim, "--compress", "--threads", "1",
                                     "--split", "1")
                deadline = time.monotonic() + 20
                while not glob.glob(pim + "*.tmp-*") and time.monotonic() < deadline and run.poll() is None:
                    time.sleep(0.01)
                run.send_signal(sent)
                _, err = run.communicate(timeout=60)
                self.assertEqual(run.returncode, 1, err)
                self.assertIn("Das Schreiben des Partitionsabbildes wurde abgebrochen!", err)
                self.assertEqual(glob.glob(pim + "*"), [])

    def test_ctrl_c_during_a_restore_says_what_was_written(self):
        pim = self.save("packed.pim", "--compress")
        run = self.start_cli("image", "restore", f"0:p@{self.start[1]}", pim, "--threads", "1", "--no-verify",
                             stdin=subprocess.PIPE)
        run.stdin.write("j\n")
        run.stdin.flush()
        before = self.target_digest()
        deadline = time.monotonic() + 20
        while self.target_digest() == before and time.monotonic() < deadline and run.poll() is None:
            time.sleep(0.02)
        run.send_signal(signal.SIGINT)
        _, err = run.communicate(timeout=60)
        self.assertEqual(run.returncode, 1, err)
        self.assertIn("Das Einspielen des Partitionsabbildes wurde abgebrochen.", err)
        self.assertRegex(err, r"\d+ Sektoren sind bereits geschrieben; ihr Inhalt ist jetzt nicht mehr stimmig")

    def test_a_restore_asks_first_and_no_leaves_the_target_alone(self):
        pim = self.save("fat.pim")
        before = self.target_digest()
        for answer in ("", "n\n"):
            done = subprocess.run([CLI, "--disk", self.disk, "image", "restore", f"0:p@{self.start[1]}", pim],
                                  input=answer, capture_output=True, text=True, env=self.env)
            self.assertEqual(done.returncode, 1)
            self.assertIn("wird überschrieben. Fortfahren? [j/N]", done.stderr)
            self.assertEqual(self.target_digest(), before)
        done = subprocess.run([CLI, "--disk", self.disk, "image", "restore", f"0:p@{self.start[1]}", pim],
                              input="j\n", capture_output=True, text=True, env=self.env)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(self.target_digest(), self.source_digest())
        target = self.path("target.img")
        with open(self.disk, "rb") as src, open(target, "wb") as dst:
            src.seek(self.start[1] * 512)
            dst.write(src.read(self.size[1] * 512))
        fsck = subprocess.run(["fsck.vfat", "-n", target], capture_output=True, text=True)
        self.assertEqual(fsck.returncode, 0, fsck.stdout + fsck.stderr)

    def test_saving_over_an_older_split_image_removes_its_surplus_block_files(self):
        pim = self.save("set.pim", "--split", "2")
        self.assertEqual(len(glob.glob(pim + ".[0-9][0-9][0-9]")), 20)
        self.save("set.pim", "--split", "10", "--compress")
        # What stands beside the image is the new set, its block files numbered without a gap,
        # and every one of them is named in its checksum file.
        blocks = sorted(glob.glob(pim + ".[0-9][0-9][0-9]"))
        self.assertLess(len(blocks), 20)
        self.assertEqual(blocks, [f"{pim}.{n:03d}" for n in range(len(blocks))])
        self.assertEqual(sorted(glob.glob(pim + "*")), sorted([pim, pim + ".sha256"] + blocks))
        check = subprocess.run(["sha256sum", "-c", "set.pim.sha256"], cwd=self.dir.name, capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout)
        self.assertEqual(check.stdout.count(": OK"), len(blocks) + 1)
        self.assertEqual(self.restore(pim).returncode, 0)
        self.assertEqual(self.target_digest(), self.source_digest())


if __name__ == "__main__":
    unittest.main()
