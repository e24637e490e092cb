"""What every program of the build answers without a display: --help on stdout with status 0,
--version with the build's version, and a wrong option with the usage on stderr and status 2."""
import os
import re
import shutil
import unittest

from packagetest import BIN, SOURCE, VERSION, ProgramTestCase


class ConventionsTest(ProgramTestCase):
    def check_help_version_and_bad_option(self, program, help_marker):
        path = os.path.join(BIN, program)
        shown = self.run_program(path, "--help")
        self.assertEqual((shown.returncode, shown.stderr), (0, ""), shown.stderr)
        self.assertIn(help_marker, shown.stdout)

        version = self.run_program(path, "--version")
        self.assertEqual((version.returncode, version.stdout, version.stderr), (0, f"{program} {VERSION}\n", ""))

        wrong = self.run_program(path, "--gibt-es-nicht")
        self.assertEqual((wrong.returncode, wrong.stdout), (2, ""))
        self.assertIn(f"Aufruf: {program}", wrong.stderr)

    def test_the_command_line_program(self):
        self.check_help_version_and_bad_option("korvex-cli", "Befehle:")

    def test_the_window_program_without_a_display(self):
        self.check_help_version_and_bad_option("korvex", "--screenshot")

    def test_the_installer_without_a_display(self):
        self.check_help_version_and_bad_option("korvex-setup", "VERZEICHNIS")

    def test_the_version_is_the_projects(self):
        with open(os.path.join(SOURCE, "CMakeLists.txt"), encoding="utf-8") as cmake:
            declared = re.search(r"project\(Korvex VERSION (\S+)", cmake.read()).group(1)
        self.assertEqual(VERSION, declared)
        self.assertRegex(VERSION, r"^4\.\d+\.\d+$")

    def test_the_command_line_programs_help_names_every_command_and_each_command_its_own(self):
        shown = self.run_program(os.path.join(BIN, "korvex-cli"), "--help").stdout
        commands = re.findall(r"^  ([a-z-]+) ", shown, re.MULTILINE)
        self.assertGreaterEqual(len(commands), 20)
        for command in commands:
            own = self.run_program(os.path.join(BIN, "korvex-cli"), command, "--help")
            self.assertEqual(own.returncode, 0, (command, own.stderr))
            self.assertTrue(own.stdout.startswith(f"Aufruf: korvex-cli [OPTIONEN] {command} "), own.stdout)
        unknown = self.run_program(os.path.join(BIN, "korvex-cli"), "gibt-es-nicht")
        self.assertEqual(unknown.returncode, 2)
        self.assertIn("unbekannter Befehl", unknown.stderr)
        self.assertIn("Befehle:", unknown.stderr)

    def test_a_first_start_imports_the_catalogue_beside_the_program_of_a_build_tree(self):
        self.assertEqual(self.hive(), "")
        listed = self.run_program(os.path.join(BIN, "korvex-cli"), "--demo", "list")
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertIn("Partitionstypen", self.hive())

    def test_without_a_shipped_catalogue_the_command_line_program_works_on(self):
        # korvex-cli needs no catalogue; alone in a folder it runs and imports nothing.
        alone = os.path.join(self.dir.name, "alone")
        os.mkdir(alone)
        shutil.copy(os.path.join(BIN, "korvex-cli"), alone)
        listed = self.run_program(os.path.join(alone, "korvex-cli"), "--demo", "list")
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertNotIn("Partitionstypen", self.hive())


if __name__ == "__main__":
    unittest.main()
