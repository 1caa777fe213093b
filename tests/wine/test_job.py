"""The whole job under Wine: real cmd.exe, real regedit, real registry."""

import unittest

from winelab import WineCase, gbk

START = gbk("程序开始分析……")
DONE = gbk("程序运行完成，立即退出，以节省资源 。")
FINISHED = gbk("处理完成")
LOL = "\\网络游戏\\英雄联盟\\Game\\League of Legends.exe"
LOL_LAYERS = "~ DISABLEDXMAXIMIZEDWINDOWEDMODE"


def miss(path):
    return gbk("该文件找不到：" + path + " 不处理该路径。")


def hit(path):
    return gbk("找到游戏，开始处理：" + path)


def patch(path, layers):
    """The registry editor's import format, escaped as it reads it back."""
    name = path.replace("\\", "\\\\")
    data = layers.replace("\\", "\\\\").replace('"', '\\"')
    return gbk("Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers]\r\n"
               f'"{name}"="{data}"\r\n')


def hit_sequence(path, layers):
    return [hit(path), patch(path, layers), FINISHED]


class Job(WineCase):
    def test_game_on_one_fixed_drive_with_a_chinese_path(self):
        self.place_game("d", LOL)
        self.run_job(f"[dir]\r\nd:{LOL}={LOL_LAYERS}\r\n")
        self.assertLogMessages(self.day_log(), [START, miss("C:" + LOL), *hit_sequence("D:" + LOL, LOL_LAYERS),
                                                miss("E:" + LOL), DONE])
        self.assertEqual((self.prefix.tool / "logs" / "debug.reg").read_bytes(), patch("D:" + LOL, LOL_LAYERS))
        self.assertEqual(self.prefix.layers(), {"D:" + LOL: LOL_LAYERS})

    def test_game_on_two_fixed_drives(self):
        self.place_game("d", "\\Games\\Demo\\demo.exe")
        self.place_game("e", "\\Games\\Demo\\demo.exe")
        self.run_job("[dir]\r\nx:\\Games\\Demo\\demo.exe=~ RUNASADMIN\r\n")
        self.assertLogMessages(self.day_log(), [START, miss("C:\\Games\\Demo\\demo.exe"),
                                                *hit_sequence("D:\\Games\\Demo\\demo.exe", "~ RUNASADMIN"),
                                                *hit_sequence("E:\\Games\\Demo\\demo.exe", "~ RUNASADMIN"), DONE])
        self.assertEqual((self.prefix.tool / "logs" / "debug.reg").read_bytes(),
                         patch("E:\\Games\\Demo\\demo.exe", "~ RUNASADMIN"))
        self.assertEqual(self.prefix.layers(), {"D:\\Games\\Demo\\demo.exe": "~ RUNASADMIN",
                                                "E:\\Games\\Demo\\demo.exe": "~ RUNASADMIN"})

    def test_game_on_the_cdrom_drive_only_is_never_tried(self):
        self.place_game("f", "\\Games\\cd.exe")
        self.run_job("[dir]\r\nf:\\Games\\cd.exe=~ WIN95\r\n")
        self.assertLogMessages(self.day_log(), [START] + [miss(d + "\\Games\\cd.exe") for d in ("C:", "D:", "E:")] + [DONE])
        self.assertFalse((self.prefix.tool / "logs" / "debug.reg").exists())
        self.assertEqual(self.prefix.layers(), {})

    def test_rows_that_all_miss(self):
        self.run_job("[dir]\r\nc:\\a.exe=~ A\r\nc:\\b\\b.exe=~ B\r\n")
        self.assertLogMessages(self.day_log(), [START] + [miss(d + p) for p in ("\\a.exe", "\\b\\b.exe")
                                                          for d in ("C:", "D:", "E:")] + [DONE])
        self.assertFalse((self.prefix.tool / "logs" / "debug.reg").exists())
        self.assertEqual(self.prefix.layers(), {})

    def test_tool_folder_with_blanks_and_shell_characters(self):
        # Unquoted, "&" would end the import command and "(games)" would run.
        folder = self.prefix.c / "my tools & (games)"
        self.place_game("e", "\\g.exe")
        self.run_job("[dir]\r\nc:\\g.exe=~ RUNASADMIN\r\n", folder=folder)
        self.assertLogMessages(self.day_log(folder), [START, miss("C:\\g.exe"), miss("D:\\g.exe"),
                                                      *hit_sequence("E:\\g.exe", "~ RUNASADMIN"), DONE])
        self.assertEqual(self.prefix.layers(), {"E:\\g.exe": "~ RUNASADMIN"})

    def test_layer_text_reaches_the_registry_byte_for_byte(self):
        layers = '~ A\\B "quoted" HIGHDPIAWARE'
        self.place_game("d", "\\q.exe")
        self.run_job(f"[dir]\r\nc:\\q.exe={layers}\r\n")
        self.assertEqual(self.prefix.layers(), {"D:\\q.exe": layers})
        self.assertEqual((self.prefix.tool / "logs" / "debug.reg").read_bytes(), patch("D:\\q.exe", layers))


if __name__ == "__main__":
    unittest.main()
