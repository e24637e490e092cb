"""The Debian package as scripts/make-deb.sh makes it from this build: its files and control
fields, lintian's verdict, and the programs started from the unpacked package (a root of their
own, as a relocated installation), where they must find their catalogue and helper."""
import os
import re
import struct
import subprocess
import tempfile
import unittest

from packagetest import BUILD, SOURCE, VERSION, ProgramTestCase

# Every file and link of the package (directories aside), under /usr.
EXPECTED_FILES = {
    "bin/korvex", "bin/korvex-cli", "bin/korvex-pkexec", "libexec/korvex/korvex95",
    "share/korvex/parts.reg",
    "share/applications/korvex.desktop", "share/metainfo/korvex.metainfo.xml",
    "share/polkit-1/actions/org.korvex.korvex.policy",
    "share/bash-completion/completions/korvex-cli",
    "share/man/man8/korvex.8.gz", "share/man/man8/korvex-cli.8.gz", "share/man/man8/korvex-pkexec.8.gz",
    "share/doc/korvex/copyright", "share/doc/korvex/changelog.Debian.gz",
    "share/icons/hicolor/scalable/apps/korvex.svg",
} | {f"share/icons/hicolor/{n}x{n}/apps/korvex.png" for n in (16, 22, 24, 32, 48, 64, 128, 256)}


def setUpModule():
    """One package for all tests of this module: made, unpacked and checked by lintian once."""
    global PACKAGE, ROOT, LINTIAN, _WORK
    _WORK = tempfile.TemporaryDirectory(prefix="korvex-deb-")
    made = subprocess.run([os.path.join(SOURCE, "scripts", "make-deb.sh"), _WORK.name, BUILD],
                          capture_output=True, text=True, timeout=300)
    if made.returncode != 0:
        raise RuntimeError(f"make-deb.sh failed:\n{made.stdout}{made.stderr}")
    PACKAGE = made.stdout.strip().splitlines()[-1]
    ROOT = os.path.join(_WORK.name, "root")
    subprocess.run(["dpkg-deb", "-x", PACKAGE, ROOT], check=True)
    LINTIAN = subprocess.run(["lintian", "--no-cfg", "--display-info", PACKAGE], capture_output=True, text=True,
                             timeout=300)


def tearDownModule():
    _WORK.cleanup()


class PackageTest(ProgramTestCase):
    def usr(self, *parts):
        return os.path.join(ROOT, "usr", *parts)

    def field(self, name):
        return subprocess.run(["dpkg-deb", "-f", PACKAGE, name], capture_output=True, text=True, check=True).stdout.strip()

    def test_the_package_holds_exactly_its_files_under_usr(self):
        self.assertEqual(os.path.basename(PACKAGE), f"korvex_{VERSION}-1_amd64.deb")
        listing = subprocess.run(["dpkg-deb", "-c", PACKAGE], capture_output=True, text=True, check=True).stdout
        files = set()
        for line in listing.splitlines():
            mode, owner, name = line.split()[0], line.split()[1], line.split()[5]
            self.assertEqual(owner, "root/root", line)
            if mode.startswith("d"):
                continue
            self.assertTrue(name.startswith("./usr/"), line)
            files.add(name[len("./usr/"):])
            if name.startswith(("./usr/bin/", "./usr/libexec/")):
                self.assertEqual(mode, "-rwxr-xr-x", line)
        self.assertEqual(files, EXPECTED_FILES)
        self.assertEqual(os.readlink(self.usr("share/man/man8/korvex-pkexec.8.gz")), "korvex.8.gz")

    def test_the_control_fields_name_the_libraries_and_the_version(self):
        self.assertEqual(self.field("Package"), "korvex")
        self.assertEqual(self.field("Version"), f"{VERSION}-1")
        depends = self.field("Depends")
        for library in ("libc6", "libbz2-1.0", "libwxgtk3.2", "zlib1g", "console-setup-linux"):
            self.assertIn(library, depends)
        self.assertIn("pkexec", self.field("Recommends"))
        # Nothing from the build machine's own folders.
        self.assertNotIn("build", depends)

    def test_apt_would_install_it_with_its_dependencies_from_the_archive(self):
        simulated = self.run_program("apt-get", "--simulate", "--no-install-recommends", "install", PACKAGE)
        self.assertEqual(simulated.returncode, 0, simulated.stdout + simulated.stderr)
        self.assertIn(f"Inst korvex ({VERSION}-1", simulated.stdout)

    def test_lintian_finds_no_error(self):
        self.assertIn(LINTIAN.returncode, (0, 1), LINTIAN.stderr)
        errors = [line for line in LINTIAN.stdout.splitlines() if line.startswith("E:")]
        self.assertEqual(errors, [], LINTIAN.stdout)

    def test_the_binaries_are_stripped(self):
        for program in ("bin/korvex", "bin/korvex-cli", "libexec/korvex/korvex95"):
            sections = subprocess.run(["readelf", "-S", self.usr(program)], capture_output=True, text=True).stdout
            self.assertNotIn(".debug_info", sections, program)

    def test_the_unpacked_programs_answer_and_open_the_demo_set_with_the_shipped_catalogue(self):
        version = self.run_program(self.usr("bin/korvex-cli"), "--version")
        self.assertEqual(version.stdout, f"korvex-cli {VERSION}\n")
        # Arguments make the launcher start Korvex at once, with the user's own rights.
        launched = self.run_program(self.usr("bin/korvex-pkexec"), "--version")
        self.assertEqual((launched.returncode, launched.stdout), (0, f"korvex {VERSION}\n"), launched.stderr)

        listed = self.run_program(self.usr("bin/korvex-cli"), "--demo", "list")
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertIn("PHYSICALDRIVE1", listed.stdout)
        # The catalogue came from ../share/korvex of the unpacked package: the first start found it.
        with open(self.usr("share/korvex/parts.reg"), encoding="utf-8") as shipped:
            first_type = re.search(r'"Name"="([^"]+)"', shipped.read()).group(1)
        self.assertIn(f'"Name"="{first_type}"', self.hive())

    def test_the_sector_helper_is_found_in_libexec(self):
        image = os.path.join(self.dir.name, "disk.img")
        with open(image, "wb") as disk:
            disk.truncate(8 << 20)
        # Neither the build tree nor the system knows korvex95: only ../libexec/korvex can.
        env = dict(self.env, KORVEX_PLATFORM="9x", PATH="/usr/bin:/bin")
        listed = self.run_program(self.usr("bin/korvex-cli"), "--disk", image, "list", env=env)
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertIn("1.Festplatte", listed.stdout)

    def test_the_launcher_asks_pkexec_for_korvex_with_the_display_and_lets_root_into_xwayland(self):
        # Stand-ins that record how they were called: a user who is not root, pkexec and xhost.
        fakes = os.path.join(self.dir.name, "fakes")
        log = os.path.join(self.dir.name, "calls")
        os.mkdir(fakes)
        for name, body in (("id", 'echo 1000'),
                           ("pkexec", f'echo "pkexec $* XAUTHORITY=$XAUTHORITY DISPLAY=$DISPLAY" >>{log}; exit 126'),
                           ("xhost", f'echo "xhost $*" >>{log}')):
            with open(os.path.join(fakes, name), "w", encoding="utf-8") as script:
                script.write(f"#!/bin/sh\n{body}\n")
            os.chmod(os.path.join(fakes, name), 0o755)
        home = os.path.join(self.dir.name, "anna")
        os.mkdir(home)
        open(os.path.join(home, ".Xauthority"), "w").close()
        env = {k: v for k, v in self.env.items() if k != "XAUTHORITY"}
        env.update(PATH=fakes + os.pathsep + "/usr/bin:/bin", HOME=home, DISPLAY=":7", WAYLAND_DISPLAY="wayland-0")

        started = self.run_program(self.usr("bin/korvex-pkexec"), env=env)
        self.assertEqual(started.returncode, 126, started.stderr)  # pkexec's answer: the password was refused
        with open(log, encoding="utf-8") as calls:
            self.assertEqual(calls.read().splitlines(), [
                "xhost +si:localuser:root",
                f"pkexec {self.usr('bin/korvex')} XAUTHORITY={home}/.Xauthority DISPLAY=:7",
                "xhost -si:localuser:root"])

    def test_the_window_program_paints_the_demo_set(self):
        picture = os.path.join(self.dir.name, "korvex.png")
        env = dict(self.env, NO_AT_BRIDGE="1", GTK_A11Y="none")
        shown = self.run_program("xvfb-run", "-a", "-n", "131", "-s", "-screen 0 1024x768x24", self.usr("bin/korvex"), "--demo",
                                 "--screenshot", picture, env=env, timeout=180)
        self.assertEqual(shown.returncode, 0, shown.stderr)
        with open(picture, "rb") as png:
            header = png.read(24)
        self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
        width, height = struct.unpack(">II", header[16:24])
        self.assertGreaterEqual(width, 640)
        self.assertGreaterEqual(height, 480)


if __name__ == "__main__":
    unittest.main()
