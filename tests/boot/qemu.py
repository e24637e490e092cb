"""A headless QEMU PC for the boot tests.

The machine boots a disk image from the first IDE disk with SeaBIOS. The test reads the text
screen from VGA memory, sends keys, and reads what the test boot sectors write to the debug
port 0E9h. Every wait polls a condition against a deadline; a failed wait raises an
AssertionError that names the QEMU log and shows the screen, and keeps the run folder.
"""

import ctypes
import json
import os
import pathlib
import re
import shutil
import socket
import subprocess
import tempfile
import signal
import time

QEMU = os.environ.get("KORVEX_QEMU", "qemu-system-x86_64")
SCREEN_ROWS = 25
SCREEN_COLUMNS = 80
TEXT_MEMORY = 0xB8000
POLL = 0.05

# Characters for send-key: lower-case letters and digits are their own key names.
KEY_NAMES = {" ": "spc", "\n": "ret", "-": "minus", ".": "dot", ",": "comma"}

BOOT_MARKER = re.compile(r"BOOTED (\S+) DL=([0-9A-F]{2}) DS=([0-9A-F]{4}) SI=([0-9A-F]{32})")


def _die_with_parent():
    """In the QEMU child: get killed when the test process dies, however it dies."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class Boot:
    """One line reported by a test boot sector."""

    def __init__(self, match):
        self.ident = match.group(1)
        self.dl = int(match.group(2), 16)
        self.ds = int(match.group(3), 16)
        self.entry = bytes.fromhex(match.group(4))      # the 16 bytes at DS:SI

    def __repr__(self):
        return f"Boot({self.ident}, DL={self.dl:02X}, DS={self.ds:04X}, SI={self.entry.hex()})"


class Screen:
    """The 80x25 text screen: characters (code page 437) and attributes."""

    def __init__(self, memory):
        self.memory = memory                            # character and attribute byte per cell
        self.chars = [memory[row * 160:(row + 1) * 160:2].decode("cp437")
                      for row in range(SCREEN_ROWS)]
        self.attrs = [memory[row * 160 + 1:(row + 1) * 160:2] for row in range(SCREEN_ROWS)]

    def text(self, row, column=0, length=SCREEN_COLUMNS):
        return self.chars[row][column:column + length]

    def attr_run(self, row, column, length):
        """The attributes of a run of cells."""
        return self.attrs[row][column:column + length]

    def contains(self, text):
        return any(text in line for line in self.chars)

    def __str__(self):
        return "\n".join(f"{row:2d}|{line}|" for row, line in enumerate(self.chars))


class Machine:
    """A QEMU PC booting `image`. Use as a context manager."""

    def __init__(self, image, *, snapshot=True, floppy=None):
        self.image = pathlib.Path(image)
        self.snapshot = snapshot
        self.floppy = floppy
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="korvex-qemu-"))
        self.log = self.folder / "qemu.log"
        self.debug = self.folder / "debugcon.txt"
        self.qmp_path = self.folder / "qmp.sock"
        self.process = None
        self.qmp = None
        self._qmp_buffer = b""
        self.failed = False
        self._failing = False

    # --- life cycle ---------------------------------------------------------------------------
    def __enter__(self):
        self.start()
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None:
            self.failed = True
        self.stop()
        return False

    def start(self):
        drive = f"file={self.image},format=raw,if=ide,index=0"
        command = [QEMU, "-machine", "pc", "-accel", "tcg", "-m", "32",
                   "-display", "none", "-vga", "std", "-nic", "none",
                   "-no-reboot", "-boot", "c", "-drive", drive,
                   "-debugcon", f"file:{self.debug}",
                   "-qmp", f"unix:{self.qmp_path},server=on,wait=off"]
        if self.snapshot:
            command.append("-snapshot")
        if self.floppy:
            command += ["-drive", f"file={self.floppy},format=raw,if=floppy,index=0"]
        with open(self.log, "wb") as log:
            log.write((" ".join(command) + "\n").encode())
            log.flush()
            self.process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT,
                                            stdin=subprocess.DEVNULL, preexec_fn=_die_with_parent)
        self.started = time.monotonic()
        deadline = time.monotonic() + 20
        while True:
            try:
                self.qmp = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.qmp.connect(str(self.qmp_path))
                break
            except OSError:
                self.qmp.close()
                if self.process.poll() is not None or time.monotonic() > deadline:
                    self.fail("QEMU did not open its QMP socket")
                time.sleep(POLL)
        self.qmp.settimeout(20)
        self._read_qmp()                                        # greeting
        self.command("qmp_capabilities")

    def stop(self):
        """Quit QEMU (waiting, so that an image written without -snapshot is complete)."""
        if self.process is None:
            return
        if self.process.poll() is None:
            try:
                self.command("quit")
            except (OSError, AssertionError):
                pass
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.qmp:
            self.qmp.close()
        self.process = None
        if not self.failed:
            shutil.rmtree(self.folder, ignore_errors=True)

    # --- QMP ----------------------------------------------------------------------------------
    def _read_qmp(self):
        while b"\n" not in self._qmp_buffer:
            chunk = self.qmp.recv(65536)
            if not chunk:
                self.fail("QEMU closed its QMP socket")
            self._qmp_buffer += chunk
        line, self._qmp_buffer = self._qmp_buffer.split(b"\n", 1)
        return json.loads(line)

    def command(self, name, **arguments):
        message = {"execute": name}
        if arguments:
            message["arguments"] = arguments
        self.qmp.sendall(json.dumps(message).encode() + b"\n")
        while True:
            reply = self._read_qmp()
            if "event" in reply:
                continue
            if "error" in reply:
                self.fail(f"QMP {name} failed: {reply['error']}")
            return reply.get("return")

    # --- what the test sees and does ----------------------------------------------------------
    def screen(self):
        dump = self.folder / "screen.bin"
        self.command("pmemsave", val=TEXT_MEMORY, size=SCREEN_ROWS * SCREEN_COLUMNS * 2,
                     filename=str(dump))
        return Screen(dump.read_bytes())

    def debug_output(self):
        try:
            return self.debug.read_text(encoding="latin-1")
        except FileNotFoundError:
            return ""

    def boots(self):
        return [Boot(m) for m in BOOT_MARKER.finditer(self.debug_output())]

    def send_keys(self, *names):
        """Press and release keys one after the other ("ret", "esc", "up", "f3", "a", ...)."""
        for name in names:
            self.command("send-key", keys=[{"type": "qcode", "data": name}], **{"hold-time": 50})
            time.sleep(0.08)

    def type_text(self, text):
        self.send_keys(*[KEY_NAMES.get(c, c) for c in text])

    def wait_for(self, condition, what, timeout=30):
        """Poll `condition()` until it returns a true value; return that value."""
        deadline = time.monotonic() + timeout
        while True:
            if self.process.poll() is not None:
                self.fail(f"QEMU exited (status {self.process.returncode}) while waiting for {what}")
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                self.fail(f"timed out after {timeout} s waiting for {what}")
            time.sleep(POLL)

    def wait_screen(self, text, timeout=30):
        """Wait until `text` appears anywhere on the screen; return that screen."""
        def shown():
            screen = self.screen()
            return screen if screen.contains(text) else None
        return self.wait_for(shown, f"screen text {text!r}", timeout)

    def wait_boot(self, timeout=30):
        """Wait for a test boot sector's report; return it (the only one expected)."""
        boots = self.wait_for(self.boots, "a boot sector's report on port 0E9h", timeout)
        if len(boots) != 1:
            self.fail(f"expected one boot report, got {boots}")
        return boots[0]

    def expect_no_boot(self, seconds):
        """Fail if any boot sector starts within `seconds`."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.boots():
                self.fail(f"unexpected boot: {self.boots()}")
            time.sleep(POLL * 4)

    def fail(self, message):
        self.failed = True
        if self._failing:                               # a failure while reporting one
            raise AssertionError(message)
        self._failing = True
        details = [message, f"QEMU log: {self.log}", f"debug port output: {self.debug}"]
        try:
            if self.process and self.process.poll() is None and self.qmp:
                details.append("screen:\n" + str(self.screen()))
        except Exception as error:                      # the screen is a courtesy only
            details.append(f"(screen unavailable: {error})")
        try:
            details.append("log tail:\n" + self.log.read_text(errors="replace")[-2000:])
        except OSError:
            pass
        raise AssertionError("\n".join(details))
