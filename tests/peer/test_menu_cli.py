"""korvex-cli menu, password and boot on an image with the boot engine: what the commands write
into the engine's tables, and that sfdisk reads the partition table they leave behind."""
import os
import subprocess
import unittest

from peer import CLI, PeerTestCase, sfdisk_view

SECTOR = 512
AREA = SECTOR                      # the engine area starts at LBA 1
DEFAULT_ENTRY, DIRECT_BOOT = 0x095, 0x096
MBR_COPY = AREA + 0x800
PASSWORDS = AREA + 0xA00
KEY = bytes.fromhex("D73C91E70B66D2481FA57E03C9842D6B")


def stored(password):
    """The keyed form of a password in its 16-byte slot, byte 15 zero."""
    padded = password.encode("ascii").ljust(15, b"\0")
    return bytes(k ^ p for k, p in zip(KEY, padded)) + b"\0"


class MenuCliTest(PeerTestCase):
    def setUp(self):
        super().setUp()
        self.disk = self.image("d.img", 64)
        # Objects 2 and 4 of the primary level (free areas count) are the first two partitions.
        self.sfdisk(self.disk, "label: dos\n"
                               "start=2048,size=20000,type=7\n"
                               "start=30000,size=20000,type=83\n"
                               "start=60000,size=20000,type=6\n"
                               "start=90000,size=20000,type=b\n")
        self.korvex("--yes", "install-engine", "--entry", "2", "4", disks=[self.disk])

    def run_cli(self, *args, stdin="", env=None):
        return subprocess.run([CLI, "--disk", self.disk] + list(args), input=stdin, capture_output=True,
                              text=True, env=env or self.env)

    def bytes_at(self, offset, count=1):
        with open(self.disk, "rb") as f:
            f.seek(offset)
            return f.read(count)

    def menu(self):
        """(start, slot, default, password) of the menu entries in menu order."""
        disk = self.korvex_list(self.disk)
        entries = [p for p in disk["primary"] if p["state"] in ("Menu", "NewMenu")]
        return [(p["start"], p["slot"], p["default"], p["password"]) for p in sorted(entries, key=lambda p: p["slot"])]

    def test_added_and_moved_entry_leads_the_menu_and_the_boot_slot_sfdisk_sees(self):
        self.korvex("menu", "add", "0:p@60000", "Dritte", disks=[self.disk])
        self.korvex("menu", "move", "0:p@60000", "0", disks=[self.disk])
        menu = self.menu()
        self.assertEqual([m[0] for m in menu], [60000, 2048, 30000])
        self.assertEqual([m[1] for m in menu], [0, 1, 2])
        # The default-entry byte names the position of the entry that carries the default flag.
        default_position = next(slot for _, slot, default, _ in menu if default)
        self.assertEqual(self.bytes_at(DEFAULT_ENTRY)[0], default_position)
        self.assertEqual(self.bytes_at(MBR_COPY + DEFAULT_ENTRY)[0], default_position)
        # sfdisk: the boot slot (entry 2) holds menu entry 0; the partition left the table.
        primary, _ = sfdisk_view(self.sfdisk_json(self.disk))
        self.assertIn((2, 60000, 20000, 6), primary)
        self.assertEqual([p for p in primary if p[1] == 60000], [(2, 60000, 20000, 6)])
        self.assertIn((4, 90000, 20000, 0x0B), primary)

    def test_removed_entry_returns_to_a_free_table_entry(self):
        self.korvex("menu", "remove", "0:p@30000", disks=[self.disk])
        self.assertEqual([m[0] for m in self.menu()], [2048])
        primary, _ = sfdisk_view(self.sfdisk_json(self.disk))
        self.assertIn((1, 30000, 20000, 0x83), primary)
        self.assertIn((2, 2048, 20000, 7), primary)  # the boot slot now holds the only entry

    def test_default_remember_last_and_engine_settings_reach_the_engine_area(self):
        self.korvex("menu", "default", "0:p@30000", disks=[self.disk])
        self.assertEqual(self.bytes_at(DEFAULT_ENTRY)[0], 1)
        self.korvex("menu", "default", "last", disks=[self.disk])
        self.assertEqual(self.bytes_at(DEFAULT_ENTRY)[0], 2)     # the entry count
        self.assertEqual(self.bytes_at(AREA + 0x369)[0], 1)      # remember-last
        self.korvex("menu", "timeout", "42", disks=[self.disk])
        self.assertEqual(self.bytes_at(AREA + 0x368)[0], 0x42)
        refused = self.run_cli("menu", "timeout", "100")
        self.assertEqual(refused.returncode, 1)
        self.assertIn("höchstens 99 Sekunden", refused.stderr)
        self.assertEqual(self.bytes_at(AREA + 0x368)[0], 0x42)
        self.korvex("menu", "autoboot", "off", disks=[self.disk])
        self.assertEqual(self.bytes_at(AREA + 0x3DC)[0], 0xEB)
        self.assertEqual(self.bytes_at(AREA + 3 + 3 * 48 + 27, 14), b"st nicht aktiv")
        self.korvex("menu", "colors", "--menu", "15/1", "--bar", "0/7", disks=[self.disk])
        self.assertEqual(self.bytes_at(AREA + 0x36A, 2), bytes([0x70, 0x1F]))
        same = self.run_cli("menu", "colors", "--bar", "15/1")
        self.assertEqual(same.returncode, 1)
        self.assertIn("Menü und Auswahlbalken haben die gleich Farbe!", same.stderr)

    def test_titles_are_converted_to_code_page_437(self):
        self.korvex("menu", "title", "0:p@2048", "Windows Ä", disks=[self.disk])
        line5 = self.bytes_at(AREA + 3 + 5 * 48, 48)
        self.assertEqual(line5[3:13], b"Windows \x8e ")
        listed = [p["title"] for p in self.korvex_list(self.disk)["primary"] if p["start"] == 2048]
        self.assertEqual(listed, ["Windows Ä"])
        euro = self.run_cli("menu", "title", "0:p@2048", "Preis €")
        self.assertEqual(euro.returncode, 1)
        self.assertIn('Der Titel enthält das Zeichen "€", das der Bootmanager (Codepage 437) nicht darstellen kann.',
                      euro.stderr)
        self.assertEqual(self.bytes_at(AREA + 3 + 5 * 48, 48), line5)
        # The form's title refuses it the same way.
        form = self.run_cli("apply", "0:p@2048", "--title", "Preis €")
        self.assertEqual(form.returncode, 2)
        self.assertIn('das Zeichen "€"', form.stderr)

    def test_passwords_from_stdin_are_stored_keyed_and_follow_their_partition(self):
        self.korvex("menu", "add", "0:p@60000", disks=[self.disk])
        done = self.run_cli("password", "set", "0:p@2048", stdin="geheim\n")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(self.bytes_at(PASSWORDS, 16), stored("geheim"))
        done = self.run_cli("password", "set", "A", stdin="floppy\n")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(self.bytes_at(PASSWORDS + 12 * 16, 15), stored("floppy")[:15])
        umlaut = self.run_cli("password", "set", "0:p@30000", stdin="müll\n")
        self.assertEqual(umlaut.returncode, 1)
        self.assertIn("nicht eingegeben werden", umlaut.stderr)

        self.korvex("menu", "move", "0:p@2048", "down", disks=[self.disk])
        self.assertEqual([(m[0], m[3]) for m in self.menu()], [(30000, False), (2048, True), (60000, False)])
        self.assertEqual(self.bytes_at(PASSWORDS + 16, 16), stored("geheim"))
        self.assertEqual(self.bytes_at(PASSWORDS, 16), bytes(16))

    def test_boot_writes_only_sector_0_and_runs_the_restart_command(self):
        marker = os.path.join(self.dir.name, "restarted")
        env = dict(self.env, KORVEX_RESTART_COMMAND=f"touch {marker}")
        with open(self.disk, "rb") as f:
            before = f.read(16 * SECTOR)
        declined = self.run_cli("boot", "0:p@30000", stdin="n\n", env=env)
        self.assertEqual(declined.returncode, 1)
        self.assertIn("Soll Korvex nun den Bootvorgang einleiten?", declined.stderr)
        self.assertFalse(os.path.exists(marker))
        with open(self.disk, "rb") as f:
            self.assertEqual(f.read(16 * SECTOR), before)

        done = self.run_cli("--yes", "boot", "0:p@30000", env=env)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(os.path.exists(marker))
        with open(self.disk, "rb") as f:
            after = f.read(16 * SECTOR)
        changed = [i for i in range(len(before)) if before[i] != after[i]]
        self.assertEqual(changed, [DEFAULT_ENTRY, DIRECT_BOOT])
        self.assertEqual(after[DEFAULT_ENTRY], 1)
        self.assertNotEqual(after[DIRECT_BOOT], 0)

    def test_refused_restart_is_reported(self):
        env = dict(self.env, KORVEX_RESTART_COMMAND="exit 1")
        done = self.run_cli("--yes", "boot", "0:p@2048", env=env)
        self.assertEqual(done.returncode, 1)
        self.assertIn("mangelnder Berechtigung", done.stderr)
        self.assertNotEqual(self.bytes_at(DIRECT_BOOT)[0], 0)


if __name__ == "__main__":
    unittest.main()
