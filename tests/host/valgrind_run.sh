#!/usr/bin/env bash
# The host program under valgrind's memcheck, on a machine with a game to
# patch and rows that miss: no memory error, and no block of the program's
# own left unreachable when it ends.
set -euo pipefail
exe=$1
work=$(mktemp -d /tmp/layerfix-valgrind-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/dev" "$work/c/tool" "$work/d/Games/网络游戏"
ln -s "$work/c" "$work/dev/c:"
ln -s "$work/d" "$work/dev/d:"
touch "$work/d/Games/网络游戏/demo.exe"
cp "$exe" "$work/c/tool/layerfix"
printf '[dir]\r\nc:\\Games\\网络游戏\\demo.exe=~ RUNASADMIN\r\nc:\\missing.exe=~ A\r\nbare line\r\n' \
  | iconv -f UTF-8 -t GBK > "$work/c/tool/config.ini"
LAYERFIX_DOSDEVICES=$work/dev valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --show-leak-kinds=definite,indirect --error-exitcode=99 "$work/c/tool/layerfix"
log=$(ls "$work"/c/tool/logs/layerfix_*.log)
lines=$(grep -c 'PID' "$log")
if [ "$lines" -ne 10 ]; then
  echo "expected 10 entries in the day log, found $lines"
  exit 1
fi
echo "valgrind: no error, no leak, $lines entries logged"
