"""Run-time faults under Wine: error log, message box, exit code -1."""

import os
import re
import subprocess
import time
import unittest

from winelab import PROBE, WORK, WineCase, gbk

CAPTION = "程序出现了故障，请联系技术支持"

FAULTS = {
    # argument: (code, message, routine and place)
    "memory": (0, "内存不足，申请 9223372036854775807 字节失败", "0, 0"),
    "index": (1, "数组下标超出了定义的范围", "90, 2"),
    "zero-index": (4, "数组下标必须大于或等于1", "90, 3"),
    "window": (0, "载入主窗口失败", "1, 0"),
}


def report(fault, os_name="Win7", os_code=9):
    code, message, where = FAULTS[fault]
    return gbk(f"ErrorCode:  {code}\r\nErrorNote:  {message}\r\n{where}\r\n\r\n"
               f"Path:  C:\\tool\\faultprobe.exe\r\nOS: {os_name} , {os_code} , X64\r\n\r\n")


def decode_debugstr(text):
    """The text of a Wine trace's L"..." string."""
    escapes = {"r": "\r", "n": "\n", "t": "\t", "\\": "\\", '"': '"'}
    return re.sub(r"\\([0-9a-f]{4}|.)", lambda m: escapes.get(m.group(1)) or chr(int(m.group(1), 16)), text)


class Faults(WineCase):
    def error_log(self):
        return (self.prefix.tool / "faultprobe.exe.Error.log").read_bytes()

    def test_each_fault_is_logged_and_ends_with_minus_one(self):
        for fault in FAULTS:
            with self.subTest(fault=fault):
                self.prefix.install(exe=PROBE, name="faultprobe.exe")
                self.assertEqual(self.prefix.run(r"C:\tool\faultprobe.exe", fault), 255)
                entries = self.assertLogMessages(self.error_log(), [report(fault)])
                # WriteLog's CR LF follows the report's own closing CR LF CR LF.
                self.assertTrue(self.error_log().endswith(b"\r\n\r\n\r\n"))
                self.assertEqual(len(entries), 1)
                # The day log is not where a fault goes.
                self.assertEqual(list((self.prefix.tool / "logs").glob("*.log")), [])

    def test_second_fault_appends_a_second_entry(self):
        self.prefix.install(exe=PROBE, name="faultprobe.exe")
        self.assertEqual(self.prefix.run(r"C:\tool\faultprobe.exe", "index"), 255)
        self.assertEqual(self.prefix.run(r"C:\tool\faultprobe.exe", "memory"), 255)
        self.assertLogMessages(self.error_log(), [report("index"), report("memory")], same_pid=False)

    def test_os_line_names_the_windows_version(self):
        versions = [("win7", "Win7", 9), ("vista", "Vista", 8), ("win2003", "Win2003", 7), ("win10", "未知", 0)]
        try:
            for version, name, code in versions:
                with self.subTest(version=version):
                    self.prefix.set_windows_version(version)
                    self.prefix.install(exe=PROBE, name="faultprobe.exe")
                    self.assertEqual(self.prefix.run(r"C:\tool\faultprobe.exe", "zero-index"), 255)
                    self.assertLogMessages(self.error_log(), [report("zero-index", name, code)])
        finally:
            self.prefix.set_windows_version("win7")

    def test_message_box_on_a_display(self):
        """Under Xvfb the box appears with its caption and text; closing it ends the run."""
        # Xvfb picks a free display itself and names it on the descriptor given.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        try:
            display = ":" + xvfb.stdout.readline().strip()
            self.prefix.install(exe=PROBE, name="faultprobe.exe")
            env = dict(self.prefix.env, DISPLAY=display, WINEDEBUG="+msgbox")
            trace = open(WORK / "fault-box-trace.txt", "wb")
            probe = subprocess.Popen(["wine", r"C:\tool\faultprobe.exe", "index"], env=env, cwd=self.prefix.c,
                                     stdout=subprocess.DEVNULL, stderr=trace)
            x = dict(os.environ, DISPLAY=display)
            found = subprocess.run(["xdotool", "search", "--sync", "--name", CAPTION], env=x,
                                   stdout=subprocess.PIPE, timeout=120, text=True)
            window = found.stdout.split()[0]
            title = subprocess.run(["xdotool", "getwindowname", window], env=x, stdout=subprocess.PIPE, text=True)
            self.assertEqual(title.stdout.strip(), CAPTION)
            time.sleep(1)
            subprocess.run(["import", "-window", "root", str(WORK / "fault-box.png")], env=x, timeout=60)
            self.assertIsNone(probe.poll(), "the run waits while the box is open")
            subprocess.run(["xdotool", "windowfocus", "--sync", window], env=x, timeout=30)
            subprocess.run(["xdotool", "key", "Return"], env=x, timeout=30)
            self.assertEqual(probe.wait(timeout=60), 255)
            trace.close()
            self.prefix.wait()
            shown = re.search(r'MSGBOX_OnInit L"((?:[^"\\]|\\.)*)"', (WORK / "fault-box-trace.txt").read_text("latin-1"))
            self.assertIsNotNone(shown, "the box's text was traced")
            expected = report("index").decode("gbk") + "错误日志已经保存在：[ C:\\tool\\faultprobe.exe.Error.log ]请发给开发者排查问题。"
            # Wine cuts long strings in its traces; what it shows must begin the text.
            traced = decode_debugstr(shown.group(1))
            self.assertGreater(len(traced), len(expected) - 20)
            self.assertEqual(expected[:len(traced)], traced)
            self.assertTrue((WORK / "fault-box.png").stat().st_size > 0)
        finally:
            xvfb.terminate()
            xvfb.wait()


if __name__ == "__main__":
    unittest.main()
