"""The main window as a screen reader sees it: korvex runs on the demo disk set with the
accessibility bridge on, and the AT-SPI tree of its window holds every device tree node's label
(as korvex-cli tree prints them). Run under xvfb-run and dbus-run-session; the session bus starts
the accessibility bus (at-spi2-core) when the program asks for it."""
import os
import re
import subprocess
import tempfile
import time
import unittest

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

KORVEX = os.environ.get("KORVEX", "korvex")
KORVEX_CLI = os.environ.get("KORVEX_CLI", "korvex-cli")
CATALOGUE = os.path.join(os.path.dirname(__file__), "../../data/parts.reg")
WAIT_SECONDS = 60


def names_below(node, limit=5000):
    """The names of node and of every accessible below it."""
    names, stack = [], [node]
    while stack and len(names) < limit:
        current = stack.pop()
        try:
            names.append(current.get_name() or "")
            stack.extend(current.get_child_at_index(i) for i in range(current.get_child_count()))
        except gi.repository.GLib.Error:
            continue  # an accessible that went away while it was read
    return names


class AccessibleTree(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="korvex-a11y-")
        self.env = dict(os.environ, KORVEX_HOME=self.folder.name, XDG_CACHE_HOME=self.folder.name)
        for variable in ("NO_AT_BRIDGE", "GTK_A11Y"):
            self.env.pop(variable, None)
        subprocess.run([KORVEX_CLI, "registry", "ensure-catalogue", CATALOGUE], env=self.env, check=True,
                       capture_output=True)
        tree = subprocess.run([KORVEX_CLI, "--demo", "tree"], env=self.env, check=True, capture_output=True,
                              text=True).stdout
        # "    Typ 7  393.72 MB  NTFS/HPFS  Nr. 1  [Menüpartition]  0:1": the label before the kind.
        self.labels = [re.sub(r"  \[[^]]*\].*$", "", line).strip() for line in tree.splitlines()]
        self.program = subprocess.Popen([KORVEX, "--demo"], env=self.env)

    def tearDown(self):
        self.program.terminate()
        self.program.wait(timeout=30)
        self.folder.cleanup()

    def window_names(self):
        """The names below the program's application object, once its tree is filled."""
        deadline = time.monotonic() + WAIT_SECONDS
        names = []
        while time.monotonic() < deadline:
            self.assertIsNone(self.program.poll(), "korvex ended before its window was seen")
            desktop = Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                application = desktop.get_child_at_index(i)
                if application is not None and application.get_name() == "korvex":
                    names = names_below(application)
            if all(label in names for label in self.labels):
                return names
            time.sleep(0.5)
        return names

    def test_every_node_of_the_device_tree_is_named_on_the_accessibility_bus(self):
        self.assertGreater(len(self.labels), 20)
        self.assertIn("Typ 131  295.31 MB  Linux  Nr. 5", self.labels)
        names = self.window_names()
        missing = [label for label in self.labels if label not in names]
        self.assertEqual(missing, [], "labels the AT-SPI tree does not hold")


if __name__ == "__main__":
    unittest.main()
