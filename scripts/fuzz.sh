#!/usr/bin/env bash
# Runs every fuzz target for SECONDS seconds (default 20) with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, starting from the seed
# corpus in tests/fuzz/corpus. Exits non-zero on any finding; a finding's
# input is kept in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
out=build/fuzz
mkdir -p "$out/src" "$out/findings"

# clang stores string literals as they are written, and the program's texts
# must be GBK bytes: compile GBK copies of the sources. No GBK character used
# in them may have a quote or a backslash as its second byte.
python3 - "$out/src" <<'PY'
import pathlib, sys
dest = pathlib.Path(sys.argv[1])
for top in ("src", "tests/fuzz"):
    for p in pathlib.Path(top).rglob("*"):
        if p.suffix not in (".cpp", ".h"):
            continue
        data = p.read_text("utf-8").encode("gbk")
        text = p.read_text("utf-8")
        for ch in set(text):
            b = ch.encode("gbk")
            if len(b) == 2 and b[1] in (0x22, 0x27, 0x5C):
                sys.exit(f"{p}: {ch} cannot be compiled as GBK by clang")
        target = dest / p
        target.parent.mkdir(parents=True, exist_ok=True)
        if not target.exists() or target.read_bytes() != data:
            target.write_bytes(data)
PY

flags=(-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -Wno-invalid-source-encoding -I"$out/src/src")
core=(common/text.cpp config/config.cpp config/table.cpp log/log.cpp fix/scan.cpp fix/patch.cpp
      fix/command.cpp fault/fault.cpp fault/memory.cpp fault/system_id.cpp platform/platform_common.cpp
      platform/fake/platform_fake.cpp platform/ini_reader.cpp platform/host_charset.cpp)
declare -A sources=(
  [fuzz_text]="common/text.cpp"
  [fuzz_ini]="platform/ini_reader.cpp platform/host_charset.cpp common/text.cpp"
  [fuzz_patch]="${core[*]}"
  [fuzz_rows]="${core[*]}"
)

status=0
for target in fuzz_text fuzz_ini fuzz_patch fuzz_rows; do
  files=("$out/src/tests/fuzz/$target.cpp")
  for s in ${sources[$target]}; do files+=("$out/src/src/$s"); done
  if [ ! -x "$out/$target" ] || [ -n "$(find "${files[@]}" -newer "$out/$target" 2>/dev/null)" ]; then
    clang++ "${flags[@]}" "${files[@]}" -o "$out/$target"
  fi
  work="$out/corpus/$target"
  rm -rf "$work"
  mkdir -p "$work"
  cp tests/fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
  log="$out/$target.log"
  if ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1 "$out/$target" -max_total_time="$seconds" \
       -max_len=40000 -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
       -artifact_prefix="$out/findings/$target-" "$work" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    inputs=$(find "$work" -type f | wc -l)
    echo "fuzz: $target: $runs executions, corpus of $inputs inputs, no finding"
  else
    echo "fuzz: $target: FINDING (see $log and $out/findings)"
    tail -40 "$log"
    status=1
  fi
done
exit $status
