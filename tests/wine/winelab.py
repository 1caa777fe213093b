"""A Wine prefix set up for the end-to-end tests of layerfix.

Every test module gets a fresh prefix with ANSI code page 936. Drive C: is the
prefix's own; D: and E: are fixed disks and F: a CD-ROM drive, each a folder
of the prefix's parent folder; Z: (the host's root) is removed so that only
these drives exist. The tool is copied into C:\\tool before each case.
"""

import os
import pathlib
import re
import shutil
import subprocess
import unittest

LAYERS_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\AppCompatFlags\Layers"
STAMP = re.compile(rb"^(\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d) \[PID (\d+)\] : ", re.M)

EXE = pathlib.Path(os.environ.get("LAYERFIX_EXE", ""))
PROBE = pathlib.Path(os.environ.get("LAYERFIX_PROBE", ""))
WORK = pathlib.Path(os.environ.get("LAYERFIX_WORK", "/tmp/layerfix-wine"))

DRIVE_TYPES = {"d": "hd", "e": "hd", "f": "cdrom"}


def gbk(text):
    return text.encode("gbk")


class Prefix:
    def __init__(self, name):
        self.root = WORK / name
        if self.root.exists():
            shutil.rmtree(self.root)
        self.root.mkdir(parents=True)
        self.path = self.root / "prefix"
        self.env = dict(os.environ)
        for var in ("DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(var, None)
        self.env.update({
            "WINEPREFIX": str(self.path),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LANG": "zh_CN.UTF-8",
            "LC_ALL": "zh_CN.UTF-8",
        })
        self._wine(["wineboot", "-i"], timeout=300)
        self.wait()
        devices = self.path / "dosdevices"
        (devices / "z:").unlink()
        for letter, kind in DRIVE_TYPES.items():
            folder = self.drive(letter)
            folder.mkdir()
            (devices / f"{letter}:").symlink_to(folder)
            self._wine(["wine", "reg", "add", r"HKLM\Software\Wine\Drives", "/v", f"{letter}:", "/d", kind, "/f"])
        # Drive types are read when Wine starts: end this Wine first.
        self.wait()
        self.tool = self.c / "tool"

    @property
    def c(self):
        return self.path / "drive_c"

    def drive(self, letter):
        return self.c if letter == "c" else self.root / f"drive_{letter}"

    def _wine(self, argv, timeout=120, cwd=None):
        return subprocess.run(argv, env=self.env, cwd=cwd or self.c if self.path.exists() else None,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)

    def wait(self):
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=300)

    def install(self, exe=EXE, name="layerfix.exe", folder=None, config=None):
        """A fresh tool folder holding the program (and config.ini bytes)."""
        folder = folder or self.tool
        if folder.exists():
            shutil.rmtree(folder)
        folder.mkdir(parents=True)
        shutil.copy(exe, folder / name)
        if config is not None:
            (folder / "config.ini").write_bytes(config)
        return folder

    def run(self, windows_path, *args, timeout=300, extra_env=None):
        env = dict(self.env, **(extra_env or {}))
        proc = subprocess.run(["wine", windows_path, *args], env=env, cwd=self.c, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout)
        subprocess.run(["wineserver", "-w"], env=env, timeout=300)
        return proc.returncode

    def reg_export(self, key):
        """The values of `key` as a dict, read back through Wine's reg export."""
        out = self.c / "export.reg"
        if out.exists():
            out.unlink()
        self._wine(["wine", "reg", "export", key, r"C:\export.reg", "/y"])
        self.wait()
        if not out.exists():
            return None
        text = out.read_bytes().decode("utf-16")
        out.unlink()
        return text

    def layers(self):
        text = self.reg_export(LAYERS_KEY)
        return parse_reg_values(text) if text is not None else {}

    def delete_layers(self):
        self._wine(["wine", "reg", "delete", LAYERS_KEY, "/f"])
        self.wait()

    def set_windows_version(self, version):
        self._wine(["wine", "winecfg", "/v", version])
        self.wait()


def parse_reg_values(text):
    """name -> data for the string values of an exported key."""
    values = {}
    for line in text.splitlines():
        m = re.match(r'^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"$', line)
        if m:
            unescape = lambda s: re.sub(r"\\(.)", r"\1", s)
            values[unescape(m.group(1))] = unescape(m.group(2))
    return values


def split_entries(log):
    """(stamp fields, pid, message bytes) per entry of a log file."""
    starts = list(STAMP.finditer(log))
    entries = []
    for i, m in enumerate(starts):
        end = starts[i + 1].start() if i + 1 < len(starts) else len(log)
        body = log[m.end():end]
        assert body.endswith(b"\r\n"), body
        entries.append((m.groups()[:6], int(m.group(7)), body[:-2]))
    return entries


def snapshot(*folders, skip=()):
    """Every file below the folders with its bytes, and every folder."""
    seen = {}
    for top in folders:
        for dirpath, dirnames, filenames in os.walk(top):
            dirnames[:] = [d for d in dirnames if os.path.join(dirpath, d) not in skip]
            seen[dirpath] = None
            for f in filenames:
                p = os.path.join(dirpath, f)
                if p not in skip and not os.path.islink(p):
                    seen[p] = pathlib.Path(p).read_bytes()
    return seen


class WineCase(unittest.TestCase):
    """One prefix for the module's cases; the Layers key is cleared between them."""

    prefix = None

    @classmethod
    def setUpClass(cls):
        if not EXE.is_file():
            raise unittest.SkipTest("no Windows build")  # never reached from ctest, which passes it
        cls.prefix = Prefix(cls.__name__)

    def setUp(self):
        self.prefix.delete_layers()
        for letter in DRIVE_TYPES:
            folder = self.prefix.drive(letter)
            for child in folder.iterdir():
                shutil.rmtree(child) if child.is_dir() else child.unlink()

    def place_game(self, letter, path):
        target = self.prefix.drive(letter) / path.lstrip("\\").replace("\\", "/")
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(b"MZ")

    def run_job(self, config_text, folder=None):
        """Runs the tool and checks that only its own files and the Layers key changed."""
        folder = folder or self.prefix.tool
        self.prefix.install(folder=folder, config=config_text if isinstance(config_text, bytes) else gbk(config_text))
        drives = [str(self.prefix.drive(letter)) for letter in "def"]
        files_before = snapshot(str(folder), *drives)
        hkcu_before = self.hkcu_without_layers()
        windows_path = "C:\\" + str(folder.relative_to(self.prefix.c)).replace("/", "\\") + "\\layerfix.exe"
        self.assertEqual(self.prefix.run(windows_path), 0)
        files_after = snapshot(str(folder), *drives)
        changed = {p for p in files_before.keys() | files_after.keys() if files_before.get(p, 0) != files_after.get(p, 0)}
        logs = str(folder / "logs")
        self.assertTrue(all(p == logs or p.startswith(logs + "/") for p in changed), changed)
        self.assertEqual(self.hkcu_without_layers(), hkcu_before)
        return folder

    def hkcu_without_layers(self):
        """HKCU but the Layers key, its empty parents (made along with it) and
        the volatile key that Wine makes anew for each session."""
        text = self.prefix.reg_export("HKEY_CURRENT_USER")
        kept = []
        for block in re.split(r"\r?\n(?=\[)", text):
            key, _, body = block.partition("]")
            key = key.lstrip("[")
            if key == LAYERS_KEY or key == r"HKEY_CURRENT_USER\Volatile Environment":
                continue
            if LAYERS_KEY.startswith(key + "\\") and not body.strip():
                continue
            kept.append(block)
        return kept

    def assertLogMessages(self, log, messages, same_pid=True):
        """The log holds exactly these messages, each behind a stamp and pid."""
        entries = split_entries(log)
        self.assertEqual([e[2] for e in entries], messages)
        if same_pid and entries:
            self.assertEqual(len({e[1] for e in entries}), 1, "one process wrote every entry")
        return entries

    def day_log(self, folder=None, stem="layerfix"):
        logs = (folder or self.prefix.tool) / "logs"
        files = sorted(logs.glob(f"{stem}_*.log")) if logs.exists() else []
        self.assertEqual(len(files), 1, f"one day log in {logs}: {files}")
        m = re.fullmatch(re.escape(stem) + r"_(\d{8})\.log", files[0].name)
        self.assertIsNotNone(m, files[0].name)
        log = files[0].read_bytes()
        for fields, _, _ in split_entries(log):
            self.assertEqual(b"".join(fields[:3]).decode(), m.group(1), "the file's date is the stamps' date")
        return log
