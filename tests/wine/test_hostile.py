"""Hostile configurations and tool folders under Wine, and two instances at once.

Every run ends by itself with exit code 0, and nothing changes but the tool's
logs folder and the Layers key.
"""

import random
import subprocess
import unittest

from winelab import WineCase, gbk, split_entries

START = gbk("程序开始分析……")
DONE = gbk("程序运行完成，立即退出，以节省资源 。")
KNOWN = (gbk("该文件找不到："), gbk("找到游戏，开始处理："), b"Windows Registry Editor Version 5.00\r\n")


class Hostile(WineCase):
    def messages(self, folder=None):
        return [e[2] for e in split_entries(self.day_log(folder))]

    def check_run(self, config):
        self.run_job(config)
        messages = self.messages()
        self.assertEqual(messages[0], START)
        self.assertEqual(messages[-1], DONE)
        for m in messages[1:-1]:
            self.assertTrue(m.startswith(KNOWN) or m == gbk("处理完成"), m[:200])
        return messages

    def count(self, messages, prefix):
        return sum(1 for m in messages if m.startswith(gbk(prefix)))

    def test_random_bytes(self):
        self.check_run(b"[dir]\r\n" + random.Random(7).randbytes(65536))

    def test_utf16_with_byte_order_mark_gives_the_same_rows(self):
        self.place_game("d", "\\游戏\\a.exe")
        messages = self.check_run("[dir]\r\nc:\\游戏\\a.exe=~ A\r\n".encode("utf-16"))
        self.assertEqual(self.count(messages, "找到游戏，开始处理：D:\\游戏\\a.exe"), 1)
        self.assertEqual(self.prefix.layers(), {"D:\\游戏\\a.exe": "~ A"})

    def test_folder_named_config_ini(self):
        self.prefix.install()
        (self.prefix.tool / "config.ini").mkdir()
        self.assertEqual(self.prefix.run(r"C:\tool\layerfix.exe"), 0)
        self.assertEqual(self.messages(), [START, DONE])

    def test_line_of_one_mebibyte_is_cut_and_dropped(self):
        messages = self.check_run(b"[dir]\r\nc:\\a.exe=~ A\r\nc:\\" + b"x" * (1 << 20) + b"=~ B\r\n")
        self.assertEqual(messages[1:-1], [gbk(f"该文件找不到：{d}\\a.exe 不处理该路径。") for d in ("C:", "D:", "E:")])

    def test_value_longer_than_its_buffer_is_cut(self):
        self.place_game("d", "\\v.exe")
        self.check_run(b"[dir]\r\nc:\\v.exe=" + b"y" * 20000 + b"\r\n")
        self.assertEqual(self.prefix.layers(), {"D:\\v.exe": "y" * 10239})

    def test_zero_bytes_and_lone_lead_bytes(self):
        self.place_game("d", "\\after.exe")
        messages = self.check_run(b"[dir]\r\nc:\\n\0ul.exe=~ A\r\nc:\\lead\x81=~ B\x81\r\nc:\\after.exe=~ C\r\n")
        self.assertEqual(self.count(messages, "找到游戏，开始处理：D:\\after.exe"), 1)
        self.assertEqual(self.prefix.layers().get("D:\\after.exe"), "~ C")

    def test_five_thousand_rows(self):
        lines = [f"c:\\g\\{i}.exe=~ A".encode() for i in range(5000)]
        messages = self.check_run(b"[dir]\r\n" + b"".join(line + b"\r\n" for line in lines))
        # The rows are those whose lines fit whole in the section buffer.
        stored, whole = 0, 0
        for line in lines:
            stored += len(line) + 1
            whole += stored <= 32767 - 2
        self.assertEqual(len(messages), 2 + 3 * whole)

    def test_plain_file_named_logs_loses_the_entries_only(self):
        self.prefix.install(config=b"[dir]\r\nc:\\x.exe=~ A\r\n")
        (self.prefix.tool / "logs").write_bytes(b"a file")
        self.place_game("d", "\\x.exe")
        self.assertEqual(self.prefix.run(r"C:\tool\layerfix.exe"), 0)
        self.assertEqual((self.prefix.tool / "logs").read_bytes(), b"a file")
        self.assertEqual(self.prefix.layers(), {})

    def test_folder_named_debug_reg_takes_no_patch(self):
        self.place_game("d", "\\x.exe")
        self.prefix.install(config=b"[dir]\r\nc:\\x.exe=~ A\r\n")
        (self.prefix.tool / "logs" / "debug.reg").mkdir(parents=True)
        self.assertEqual(self.prefix.run(r"C:\tool\layerfix.exe"), 0)
        messages = self.messages()
        self.assertEqual(self.count(messages, "找到游戏，开始处理：D:\\x.exe"), 1)
        self.assertEqual(messages[-1], DONE)
        self.assertEqual(self.prefix.layers(), {})

    def test_read_only_tool_folder(self):
        self.prefix.install(config=b"[dir]\r\nc:\\x.exe=~ A\r\n")
        before = sorted(p.name for p in self.prefix.tool.iterdir())
        # Immutable even for root, who passes any mode bits.
        subprocess.run(["chattr", "+i", str(self.prefix.tool)], check=True)
        try:
            self.assertEqual(self.prefix.run(r"C:\tool\layerfix.exe"), 0)
        finally:
            subprocess.run(["chattr", "-i", str(self.prefix.tool)], check=True)
        self.assertEqual(sorted(p.name for p in self.prefix.tool.iterdir()), before)

    def test_two_instances_at_once_lose_no_entry(self):
        rows = 300
        self.prefix.install(config=b"[dir]\r\n" + b"".join(b"c:\\m\\g%d.exe=~ A\r\n" % i for i in range(rows)))
        runs = [subprocess.Popen(["wine", r"C:\tool\layerfix.exe"], env=self.prefix.env, cwd=self.prefix.c,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) for _ in range(2)]
        self.assertEqual([r.wait(timeout=600) for r in runs], [0, 0])
        self.prefix.wait()
        by_pid = {}
        for _, pid, message in split_entries(self.day_log()):
            by_pid.setdefault(pid, []).append(message)
        self.assertEqual(len(by_pid), 2)
        expected = [START] + [gbk(f"该文件找不到：{d}\\m\\g{i}.exe 不处理该路径。")
                              for i in range(rows) for d in ("C:", "D:", "E:")] + [DONE]
        for pid, messages in by_pid.items():
            self.assertEqual(messages, expected, f"process {pid}")


if __name__ == "__main__":
    unittest.main()
