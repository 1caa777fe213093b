"""The program starts, reads config.ini, walks its rows and logs every step."""

import subprocess
import unittest

from winelab import WineCase, gbk

START = gbk("程序开始分析……")
DONE = gbk("程序运行完成，立即退出，以节省资源 。")


def miss(path):
    return gbk("该文件找不到：") + path + gbk(" 不处理该路径。")


class Spine(WineCase):
    def test_without_config_logs_start_and_end(self):
        self.prefix.install()
        self.assertEqual(self.prefix.run(r"C:\tool\layerfix.exe"), 0)
        self.assertLogMessages(self.day_log(), [START, DONE])
        # Nothing but the day log: no patch, no error log.
        self.assertEqual(sorted(p.name for p in (self.prefix.tool / "logs").iterdir()),
                         [self.day_log_name()])
        self.assertFalse((self.prefix.tool / "layerfix.exe.Error.log").exists())
        self.assertEqual(self.prefix.layers(), {})

    def test_config_without_section_dir(self):
        self.prefix.install(config=b"[other]\r\nd:\\x.exe=~ A\r\n")
        self.assertEqual(self.prefix.run(r"C:\tool\layerfix.exe"), 0)
        self.assertLogMessages(self.day_log(), [START, DONE])

    def test_rows_in_file_order_on_every_fixed_drive(self):
        config = gbk("[dir]\r\nd:\\one.exe=~ 1\r\nz:\\网络\\two.exe=~ 2\r\nthree\r\n")
        self.prefix.install(config=config)
        self.assertEqual(self.prefix.run(r"C:\tool\layerfix.exe"), 0)
        rows = [b"\\one.exe", gbk("\\网络\\two.exe"), b"ree"]
        expected = [START] + [miss(d + r) for r in rows for d in (b"C:", b"D:", b"E:")] + [DONE]
        self.assertLogMessages(self.day_log(), expected)

    def test_renamed_executable_names_its_day_log(self):
        for name, stem in [("修复工具.exe", "修复工具"), ("TOOL.EXE", "TOOL"), ("my tool.exe", "my tool")]:
            with self.subTest(name=name):
                folder = self.prefix.install(name=name)
                self.assertEqual(self.prefix.run("C:\\tool\\" + name), 0)
                self.assertLogMessages(self.day_log(folder, stem=stem), [START, DONE])

    def test_executable_path_longer_than_259_bytes(self):
        # Cut to 259 bytes, this path would end inside the third folder and
        # name the second as the program's folder.
        parts = ["a" * 100, "b" * 100, "c" * 60]
        folder = self.prefix.c.joinpath(*parts)
        windows_folder = "C:\\" + "\\".join(parts)
        self.assertGreater(len(windows_folder), 259)  # and short enough for the whole trace line
        self.prefix.install(folder=folder, config=b"[dir]\r\nc:\\x.exe=~ A\r\n")
        env = dict(self.prefix.env, WINEDEBUG="+file")
        run = subprocess.run(["wine", windows_folder + "\\layerfix.exe"], env=env, cwd=self.prefix.c,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=300)
        self.prefix.wait()
        self.assertEqual(run.returncode, 0)
        # The program asked for config.ini beside itself, by its whole path...
        traced = windows_folder.replace("\\", "\\\\") + "\\\\config.ini"
        self.assertIn(traced.encode(), run.stderr)
        # ...and wrote nothing into the folder that a cut path would name.
        self.assertEqual(sorted(p.name for p in folder.parent.iterdir()), [parts[2]])
        # The system's ANSI file functions refuse paths of this length, as
        # Windows does where long paths are not enabled, so the log is lost.
        self.assertFalse((folder / "logs").exists())

    def day_log_name(self):
        return next((self.prefix.tool / "logs").glob("layerfix_*.log")).name


if __name__ == "__main__":
    unittest.main()
