"""Helpers for the tests of the programs as a user meets them: the build tree, the files that
describe them to the desktop, and the Debian package."""
import os
import subprocess
import tempfile
import unittest

SOURCE = os.environ.get("KORVEX_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BUILD = os.environ.get("KORVEX_BUILD_DIR", os.path.join(SOURCE, "build"))
VERSION = os.environ.get("KORVEX_VERSION", "")
BIN = os.path.join(BUILD, "bin")
PACKAGING = os.path.join(BUILD, "packaging")


class ProgramTestCase(unittest.TestCase):
    """Each test in a folder of its own, with settings and demo disks there and no display."""

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="korvex-package-")
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "KORVEX_DISKS", "PKEXEC_UID", "SUDO_UID")}
        self.env.update(KORVEX_HOME=os.path.join(self.dir.name, "home"),
                        XDG_CACHE_HOME=os.path.join(self.dir.name, "cache"), LC_ALL="C.UTF-8")

    def tearDown(self):
        self.dir.cleanup()

    def run_program(self, *command, env=None, timeout=120, **kwargs):
        return subprocess.run(list(command), capture_output=True, text=True, env=env or self.env,
                              timeout=timeout, **kwargs)

    def hive(self):
        path = os.path.join(self.env["KORVEX_HOME"], "user.reg")
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8") as hive:
            return hive.read()
