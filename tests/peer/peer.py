"""Helpers for the peer tests: images partitioned by util-linux sfdisk and the program's view
of them through korvex-cli."""
import json
import re
import os
import shutil
import subprocess
import tempfile
import unittest

CLI = os.environ.get("KORVEX_CLI", "korvex-cli")

# Layouts for sfdisk that the reader and writer tests share.
GAPPED_TYPE_5_LAYOUT = ("label: dos\n"
                        "size=8MiB, type=83, bootable\n"
                        "start=12MiB, size=6MiB, type=7\n"
                        "start=20MiB, size=40MiB, type=5\n"
                        "start=22MiB, size=5MiB, type=83\n"
                        "start=30MiB, size=3MiB, type=82\n"
                        "start=40MiB, size=10MiB, type=b\n")
TYPE_15_LAST_SLOT_LAYOUT = ("label: dos\n"
                            "size=10MiB, type=6\n"
                            "size=10MiB, type=c\n"
                            "size=10MiB, type=83\n"
                            "type=f\n"
                            "size=20MiB, type=83\n"
                            "size=20MiB, type=83\n"
                            "type=82\n")
SFDISK = shutil.which("sfdisk") or "/usr/sbin/sfdisk"


class PeerTestCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="korvex-peer-")
        self.env = dict(os.environ, KORVEX_HOME=self.dir.name, XDG_CACHE_HOME=self.dir.name, LC_ALL="C")

    def tearDown(self):
        self.dir.cleanup()

    def image(self, name, mib):
        path = os.path.join(self.dir.name, name)
        with open(path, "wb") as f:
            f.truncate(mib * 1024 * 1024)
        return path

    def sfdisk(self, path, script):
        done = subprocess.run([SFDISK, "--no-reread", "--no-tell-kernel", "-q", path], input=script,
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, f"sfdisk failed: {done.stderr}")

    def sfdisk_json(self, path):
        done = subprocess.run([SFDISK, "--json", path], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, f"sfdisk --json failed: {done.stderr}")
        # sfdisk prints notes such as "omitting empty partition (5)" before the JSON.
        return json.loads(done.stdout[done.stdout.index("{"):])["partitiontable"]

    def korvex(self, *args, disks=(), check=True):
        command = [CLI]
        for disk in disks:
            command += ["--disk", disk]
        done = subprocess.run(command + list(args), capture_output=True, text=True, env=self.env)
        if check:
            self.assertEqual(done.returncode, 0, f"korvex-cli {' '.join(args)} failed:\n{done.stderr}")
        return done

    def korvex_list(self, disk):
        return json.loads(self.korvex("list", "--json", disks=[disk]).stdout)["disks"][0]


def sfdisk_view(table):
    """Primary entries as (table number, start, size, type) and logical drives in chain order as
    (start, size, type). sfdisk numbers an extended boot record without a drive (one that only
    links on) as a partition of its own, so logical drives are compared without their numbers."""
    primary, logical = [], []
    for p in table.get("partitions", []):
        number = int(re.search(r"(\d+)$", p["node"]).group(1))
        if number <= 4:
            primary.append((number, p["start"], p["size"], int(p["type"], 16)))
        else:
            logical.append((p["start"], p["size"], int(p["type"], 16)))
    return primary, logical


def korvex_view(disk):
    """The same view from korvex-cli's JSON: table partitions with their slot + 1, logical
    drives by the data start and length of their records in chain order."""
    primary = sorted((p["slot"] + 1, p["start"], p["length"], p["type"])
                     for p in disk["primary"] if p["state"] in ("Table", "ActiveTable", "NewTable"))
    drives = sorted((p for p in disk["logical"] if p["state"] != "Free"), key=lambda p: p["slot"])
    logical = [(p["dataStart"], p["dataLength"], p["type"]) for p in drives]
    return primary, logical
