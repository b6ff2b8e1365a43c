#!/usr/bin/env bash
# Fuzzes one target for a while and keeps what it found, so that fuzzing
# adds up over many runs:
#   tools/fuzz.sh TARGET SECONDS
# TARGET is one of: extract gif pcx tga png jpg script scene scene_draw.
#
# - Builds the fuzz tree, build-fuzz/ (clang, libFuzzer, AddressSanitizer
#   and UBSan, undefined behaviour fatal), when it is missing or stale; the
#   seeds come from the show of the ordinary build, made first if missing.
# - Runs fuzz_TARGET at the lowest priority with its dictionary, the kept
#   corpus fuzz/corpus/TARGET/ and the seeds; new inputs gather in
#   build-fuzz/work/TARGET/, crashes in build-fuzz/findings/TARGET/.
# - Minimises the new inputs into fuzz/corpus/TARGET/ (only those adding
#   coverage to what the corpus has; kept in the repository).
# - Appends a line to fuzz/LEDGER.tsv: date, commit, target, seconds,
#   executions, coverage (edges), findings; then prints each target's totals.
# A finding makes the status 1 and is named; it joins the corpus, with a
# test, once it is fixed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
targets=(extract gif pcx tga png jpg script scene scene_draw)
usage() { echo "usage: tools/fuzz.sh TARGET SECONDS (TARGET: ${targets[*]})" >&2; exit 2; }
[ $# -eq 2 ] || usage
target=$1 seconds=$2
[[ " ${targets[*]} " == *" $target "* ]] || usage
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || usage

fuzz_dir=$top/build-fuzz
show=$top/build/show
jobs=$(nproc 2>/dev/null || echo 2)
ledger=$top/fuzz/LEDGER.tsv
corpus=$top/fuzz/corpus/$target
work=$fuzz_dir/work/$target
findings=$fuzz_dir/findings/$target
seeds=$fuzz_dir/seeds/$target

[ -d "$show/data" ] || "$top/tools/build.sh"
"$top/tools/install-deps.sh" "$top/tools/fuzz-packages.txt"
if [ ! -f "$fuzz_dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$fuzz_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSTILLWATER_FUZZ=ON \
    -DSTILLWATER_BUILD_TESTS=OFF -DSTILLWATER_BUILD_SHOW=OFF -DSTILLWATER_VIDEO=OFF \
    -DSTILLWATER_FUZZ_SHOW_DIR="$show" > /dev/null
fi
nice -n 19 cmake --build "$fuzz_dir" -j "$jobs" --target "fuzz_$target" -- --no-print-directory > /dev/null
program=$fuzz_dir/fuzz/fuzz_$target

# The seeds, gathered in one folder (libFuzzer reads folders).
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$work" "$findings"
seed_files() {
  case $target in
    gif | pcx | tga | png | jpg)
      find "$top/tests/images/fixtures" "$show/data/images" "$show/data/textures" -type f ! -name '*.py' ;;
    extract) find "${STILLWATER_TESTDATA:-/work/shared/testdata}/rar" -type f -name '*.rar' 2>/dev/null || true ;;
    script) echo "$show/data/script.scr" ;;
    scene | scene_draw) find "$show/data" -maxdepth 1 -name '*.scn' ;;
  esac
}
n=0
while read -r file; do
  [ -n "$file" ] || continue
  n=$((n + 1))
  cp "$file" "$seeds/$n-$(basename "$file")"
done < <(seed_files)
# Inputs stay small: the formats' logic lies in their headers and records,
# and the corpus is kept in the repository.
max_len=2048
case $target in
  gif | pcx | tga | png | jpg | extract) max_len=8192 ;;
esac
dictionary=()
case $target in
  scene | scene_draw) dictionary=(-dict="$top/fuzz/scene.dict") ;;
  script) dictionary=(-dict="$top/fuzz/script.dict") ;;
esac

# The sanitizers as in the sanitized suite (leaks of the GL driver's own
# libraries suppressed); the GL target on the headless driver.
. "$top/tools/sanitize/options.sh"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
log=$fuzz_dir/fuzz-$target.log
before=$(find "$findings" -type f | wc -l)
start=$(date +%s)
status=0
nice -n 19 "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
  -print_final_stats=1 -artifact_prefix="$findings/" "${dictionary[@]}" "$work" "$corpus" "$seeds" \
  > "$log" 2>&1 || status=$?
elapsed=$(( $(date +%s) - start ))
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
if [ -z "$executions" ]; then
  # A crash ends the run before the final statistics: the last status line.
  executions=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
fi
coverage=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
found=$(( $(find "$findings" -type f | wc -l) - before ))

# Minimise: the smallest set of the kept and the new inputs that covers all
# they cover replaces the kept corpus.
merged=$fuzz_dir/merged/$target
rm -rf "$merged"
mkdir -p "$merged"
if nice -n 19 "$program" -merge=1 -max_len="$max_len" -timeout=10 "$merged" "$corpus" "$work" \
  > "$fuzz_dir/merge-$target.log" 2>&1; then
  rm -rf "$corpus" "$work"
  mv "$merged" "$corpus"
else
  echo "fuzz: minimising into $corpus failed (see $fuzz_dir/merge-$target.log); new inputs stay in $work" >&2
fi

commit=$(git -C "$top" rev-parse --short HEAD 2>/dev/null || echo unknown)
git -C "$top" diff --quiet HEAD -- . ':!fuzz/corpus' ':!fuzz/LEDGER.tsv' 2>/dev/null || commit="$commit+changes"
[ -f "$ledger" ] || printf 'date\tcommit\ttarget\tseconds\texecutions\tcoverage\tfindings\n' > "$ledger"
printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$commit" "$target" "$elapsed" \
  "${executions:-0}" "${coverage:-0}" "$found" >> "$ledger"

echo "fuzz $target: $elapsed s, ${executions:-0} executions, coverage ${coverage:-0}, $found findings;" \
  "corpus $(find "$corpus" -type f | wc -l) files, $(du -sk "$corpus" | cut -f1) KB"
awk -F'\t' 'NR > 1 { s[$3] += $4; e[$3] += $5; f[$3] += $7 }
  END { for (t in s) printf "  total %-10s %8d s %12d executions %4d findings\n", t, s[t], e[t], f[t] }' "$ledger" | sort
if [ "$found" -gt 0 ] || [ "$status" -ne 0 ]; then
  echo "fuzz $target: finding(s) in $findings (log: $log):" >&2
  ls -t "$findings" | head -n "$found" | sed "s|^|  $findings/|" >&2
  grep -E -m3 'ERROR|runtime error|SUMMARY' "$log" >&2 || true
  exit 1
fi
