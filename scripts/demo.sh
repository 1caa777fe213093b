#!/usr/bin/env bash
# The main job as a demo: builds the Windows program and runs it under Wine on
# a machine with two fixed drives (C:, D:) and a CD-ROM drive (E:), against a
# config.ini that lists three games; then shows the day log (as UTF-8), the
# registry patch of the last hit and the values set in the registry.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target layerfix >/dev/null

demo=$PWD/build/demo
rm -rf "$demo"
mkdir -p "$demo/drive_d" "$demo/drive_e"
export WINEPREFIX=$demo/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset DISPLAY WAYLAND_DISPLAY
echo "demo: making a Wine prefix with code page 936"
wineboot -i >/dev/null 2>&1
wineserver -w
ln -s "$demo/drive_d" "$WINEPREFIX/dosdevices/d:"
ln -s "$demo/drive_e" "$WINEPREFIX/dosdevices/e:"
rm -f "$WINEPREFIX/dosdevices/z:"
wine reg add 'HKLM\Software\Wine\Drives' /v d: /d hd /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Wine\Drives' /v e: /d cdrom /f >/dev/null 2>&1
wineserver -w

# The games: League of Legends on D:, Demo on C: and D:, and a game on the
# CD-ROM drive only, which a scan never tries.
mkdir -p "$demo/drive_d/网络游戏/英雄联盟/Game" "$WINEPREFIX/drive_c/Games/Demo" "$demo/drive_d/Games/Demo" "$demo/drive_e/Old"
touch "$demo/drive_d/网络游戏/英雄联盟/Game/League of Legends.exe" "$WINEPREFIX/drive_c/Games/Demo/demo.exe" \
      "$demo/drive_d/Games/Demo/demo.exe" "$demo/drive_e/Old/old.exe"

tool=$WINEPREFIX/drive_c/layerfix
mkdir -p "$tool"
cp build/win64/layerfix.exe "$tool/"
printf '[dir]\r\nd:\\网络游戏\\英雄联盟\\Game\\League of Legends.exe=~ DISABLEDXMAXIMIZEDWINDOWEDMODE\r\nc:\\Games\\Demo\\demo.exe=~ RUNASADMIN\r\ne:\\Old\\old.exe=~ WIN95\r\n' \
  | iconv -f UTF-8 -t GBK > "$tool/config.ini"

echo "demo: config.ini"
iconv -f GBK -t UTF-8 "$tool/config.ini" | sed 's/^/    /'
echo "demo: running C:\\layerfix\\layerfix.exe"
set +e
wine 'C:\layerfix\layerfix.exe'
code=$?
set -e
wineserver -w
echo "demo: exit code $code"
echo "demo: day log"
iconv -f GBK -t UTF-8 "$tool"/logs/layerfix_*.log | sed 's/^/    /'
echo "demo: logs\\debug.reg"
iconv -f GBK -t UTF-8 "$tool/logs/debug.reg" | sed 's/^/    /'
echo "demo: registry values"
wine reg query 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\AppCompatFlags\Layers' 2>/dev/null \
  | iconv -f GBK -t UTF-8 | sed 's/^/    /'
wineserver -w
exit "$code"
