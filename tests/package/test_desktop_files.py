"""The files that describe Korvex to the desktop and to its users, checked with the tools the
distributions use: the menu entry, the AppStream file, the polkit action, the manual pages and
the bash completion."""
import gzip
import os
import re
import subprocess
import unittest
import xml.etree.ElementTree as ElementTree

from packagetest import BIN, PACKAGING, SOURCE, VERSION, ProgramTestCase

SOURCE_PACKAGING = os.path.join(SOURCE, "packaging")
POLKIT_DTD = "/usr/share/polkit-1/policyconfig-1.dtd"
MAN_PAGES = ("korvex.8", "korvex-cli.8", "korvex-setup.1")


class DesktopFilesTest(ProgramTestCase):
    def test_the_menu_entry_is_valid_and_starts_the_launcher(self):
        entry = os.path.join(SOURCE_PACKAGING, "korvex.desktop")
        checked = self.run_program("desktop-file-validate", entry)
        self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""))
        with open(entry, encoding="utf-8") as text:
            keys = dict(line.split("=", 1) for line in text.read().splitlines() if "=" in line)
        self.assertEqual(keys["Exec"], "korvex-pkexec %F")
        self.assertEqual(keys["Icon"], "korvex")

    def test_the_appstream_file_is_valid_with_the_german_summary_a_screenshot_and_this_release(self):
        metainfo = os.path.join(PACKAGING, "korvex.metainfo.xml")
        checked = self.run_program("appstreamcli", "validate", "--no-net", "--pedantic", metainfo)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        component = ElementTree.parse(metainfo).getroot()
        lang = "{http://www.w3.org/XML/1998/namespace}lang"
        self.assertEqual([s.text for s in component.findall("summary") if s.get(lang) == "de"],
                         ["Bootmanager und MBR-Partitionierer"])
        self.assertTrue(component.find("screenshots/screenshot/image").text.startswith("https://"))
        self.assertEqual(component.find("releases/release").get("version"), VERSION)
        self.assertEqual(component.find("launchable").text, "korvex.desktop")

    def test_the_polkit_action_follows_its_dtd_and_lets_the_display_through(self):
        policy = os.path.join(SOURCE_PACKAGING, "org.korvex.korvex.policy")
        # The DTD named in the file's DOCTYPE, from the local copy polkit installs.
        catalog = os.path.join(self.dir.name, "catalog.xml")
        with open(catalog, "w", encoding="utf-8") as out:
            out.write('<?xml version="1.0"?>\n<catalog xmlns="urn:oasis:names:tc:entity:xmlns:xml:catalog">\n'
                      '<system systemId="http://www.freedesktop.org/software/polkit/policyconfig-1.dtd" '
                      f'uri="file://{POLKIT_DTD}"/>\n</catalog>\n')
        checked = self.run_program("xmllint", "--nonet", "--noout", "--valid", policy,
                                   env=dict(self.env, XML_CATALOG_FILES=catalog))
        self.assertEqual((checked.returncode, checked.stderr), (0, ""))

        action = ElementTree.parse(policy).getroot().find("action")
        self.assertEqual(action.get("id"), "org.korvex.korvex")
        annotations = {a.get("key"): a.text for a in action.findall("annotate")}
        self.assertEqual(annotations["org.freedesktop.policykit.exec.path"], "/usr/bin/korvex")
        self.assertEqual(annotations["org.freedesktop.policykit.exec.allow_gui"], "true")
        self.assertEqual({d.tag: d.text for d in action.find("defaults")},
                         {"allow_any": "auth_admin", "allow_inactive": "auth_admin", "allow_active": "auth_admin"})

    def test_the_manual_pages_render_without_warnings(self):
        for page in MAN_PAGES:
            with self.subTest(page):
                path = os.path.join(PACKAGING, "man", page)
                shown = self.run_program("man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", path,
                                         env=dict(self.env, MANWIDTH="80"))
                self.assertEqual((shown.returncode, shown.stderr), (0, ""))
                self.assertIn(f"Korvex {VERSION}", shown.stdout)
                with gzip.open(path + ".gz", "rt", encoding="utf-8") as packed, open(path, encoding="utf-8") as plain:
                    self.assertEqual(packed.read(), plain.read())

    def test_the_manual_of_korvex_cli_explains_every_command_and_option_of_its_help(self):
        shown = self.run_program("man", "-l", os.path.join(PACKAGING, "man", "korvex-cli.8"),
                                 env=dict(self.env, MANWIDTH="200")).stdout
        help_text = self.run_program(os.path.join(BIN, "korvex-cli"), "--help").stdout
        commands = re.findall(r"^  ([a-z-]+) ", help_text, re.MULTILINE)
        options = set(re.findall(r"(--[a-z][a-z-]*)", help_text))
        self.assertGreater(len(options), 20)
        # Each command heads an entry of its own (the entries' tags stand 7 columns in).
        for command in commands:
            self.assertTrue(re.search(rf"\n {{7}}{re.escape(command)}( |\n)", shown), f"command {command}")
        for option in sorted(options):
            self.assertTrue(option in shown, f"option {option}")
        for section in ("UMGEBUNGSVARIABLEN", "EXIT-STATUS", "BEISPIELE", "OBJEKTE"):
            self.assertTrue(f"\n{section}\n" in shown, section)
        for variable in ("KORVEX_DISKS", "KORVEX_HOME", "KORVEX_PLATFORM", "KORVEX_RESTART_COMMAND"):
            self.assertTrue(re.search(rf"\n {{7}}{variable}\n", shown), variable)


class CompletionTest(ProgramTestCase):
    """The completion function, called as bash calls it for the line typed so far."""

    def complete(self, line):
        script = (f"source {os.path.join(SOURCE_PACKAGING, 'korvex-cli.bash-completion')}\n"
                  'COMP_LINE=$1; COMP_POINT=${#1}; read -ra COMP_WORDS <<<"$1"\n'
                  "_korvex_cli\n"
                  'printf "%s\\n" "${COMPREPLY[@]}"\n')
        env = dict(self.env, PATH=BIN + os.pathsep + self.env["PATH"])
        done = self.run_program("bash", "-c", script, "complete", line, env=env, cwd=self.dir.name)
        self.assertEqual(done.returncode, 0, done.stderr)
        return [word for word in done.stdout.splitlines() if word]

    def test_commands_options_and_subcommands(self):
        self.assertIn("install-engine", self.complete("korvex-cli "))
        self.assertEqual(self.complete("korvex-cli --de"), ["--demo"])
        self.assertEqual(self.complete("korvex-cli --demo me"), ["menu"])
        self.assertEqual(self.complete("korvex-cli --demo image "), ["save", "restore", "info", "verify"])
        self.assertEqual(self.complete("korvex-cli --demo create 0:6 --al"), ["--align"])
        self.assertEqual(self.complete("korvex-cli --demo create 0:6 --align c"), ["cylinder"])
        self.assertEqual(self.complete("korvex-cli --demo menu autoboot "), ["on", "off"])

    def test_object_names_come_from_the_tree_of_the_named_disks(self):
        objects = self.complete("korvex-cli --demo delete ")
        self.assertIn("0:1", objects)
        self.assertIn("1:8", objects)
        self.assertIn("0", objects)
        # Only the free areas for create, only the disks for scan; bash has split the word at
        # the colon and gets only what follows it.
        free = self.complete("korvex-cli --demo create 1:")
        self.assertEqual(sorted(free), sorted(["9", "10", "11", "12", "4", "5", "6"]))
        self.assertEqual(self.complete("korvex-cli --demo scan "), ["0", "1"])

    def test_files_for_disks_and_image_files(self):
        for name in ("a.img", "b.pim"):
            open(os.path.join(self.dir.name, name), "wb").close()
        self.assertEqual(self.complete("korvex-cli --disk a."), ["a.img"])
        self.assertEqual(self.complete("korvex-cli image info b"), ["b.pim"])
        self.assertEqual(self.complete("korvex-cli --disk a.img "), self.complete("korvex-cli "))


if __name__ == "__main__":
    unittest.main()
