#!/usr/bin/env bash
# Times a run over a config.ini of 300 rows that all miss, on 4 fixed drives,
# for the host build and for the Windows build under Wine, and prints the time
# per row and per candidate path. A run of an empty config.ini is timed too
# and taken off, so that the figures are those of the rows alone.
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${1:-300}
bash scripts/setup.sh >/dev/null
for preset in host win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target layerfix >/dev/null
done

bench=$PWD/build/bench
rm -rf "$bench"
mkdir -p "$bench"
config() {
  printf '[dir]\r\n'
  for ((i = 0; i < rows; i++)); do printf 'c:\\Games\\Missing%d\\game.exe=~ RUNASADMIN\r\n' "$i"; done
}
now() { date +%s.%N; }
report() {  # name, seconds with rows, seconds without
  awk -v n="$1" -v full="$2" -v empty="$3" -v rows="$rows" 'BEGIN {
    d = full - empty
    printf "bench: %-5s %d rows x 4 drives: %.3f s (empty config %.3f s): %.2f ms per row, %.3f ms per candidate\n",
           n, rows, full, empty, 1000 * d / rows, 1000 * d / (rows * 4) }'
}

# Host: four fixed drives in a devices folder.
mkdir -p "$bench/host/dev"
for d in c d e f; do mkdir -p "$bench/host/$d"; ln -s "$bench/host/$d" "$bench/host/dev/$d:"; done
tool=$bench/host/c/tool
mkdir -p "$tool"
cp build/host/layerfix "$tool/"
export LAYERFIX_DOSDEVICES=$bench/host/dev
t0=$(now); "$tool/layerfix"; t1=$(now)
config > "$tool/config.ini"
rm -rf "$tool/logs"
t2=$(now); "$tool/layerfix"; t3=$(now)
report host "$(echo "$t3 - $t2" | bc)" "$(echo "$t1 - $t0" | bc)"

# Wine: C: and three more fixed drives.
export WINEPREFIX=$bench/wine/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$bench/wine"
wineboot -i >/dev/null 2>&1
wineserver -w
rm -f "$WINEPREFIX/dosdevices/z:"
for d in d e f; do
  mkdir -p "$bench/wine/$d"
  ln -s "$bench/wine/$d" "$WINEPREFIX/dosdevices/$d:"
  wine reg add 'HKLM\Software\Wine\Drives' /v "$d:" /d hd /f >/dev/null 2>&1
done
wineserver -w
tool=$WINEPREFIX/drive_c/tool
mkdir -p "$tool"
cp build/win64/layerfix.exe "$tool/"
# Keep one Wine session up, so that neither run pays for starting it.
wine cmd /c "ping -n 600 127.0.0.1 >nul" >/dev/null 2>&1 &
keeper=$!
sleep 3
t0=$(now); wine 'C:\tool\layerfix.exe'; t1=$(now)
config > "$tool/config.ini"
rm -rf "$tool/logs"
t2=$(now); wine 'C:\tool\layerfix.exe'; t3=$(now)
report wine "$(echo "$t3 - $t2" | bc)" "$(echo "$t1 - $t0" | bc)"
kill "$keeper" 2>/dev/null || true
wineserver -k
