#!/usr/bin/env bash
# Builds the fuzz programs of the file readers with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each: first once over every input kept under
# fuzz/regressions/<reader>/ and over the files other programs wrote, under
# fuzz/corpus/<reader>/ (each must pass), then for a fixed time from a seed corpus
# taken from the generated content set and those files. Non-zero on any crash, hang, leak, huge
# allocation or broken reader promise; what was found is left in build-fuzz/findings/.
#
#   bash scripts/fuzz.sh [seconds per program, 20] [programs at once, 2] [reader ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
jobs=${2:-2}
shift $(($# < 2 ? $# : 2))
known=(picture 3ds md2 par settings_ini vlx save_slot text_file game_texts wav midi)
readers=("$@")
[ ${#readers[@]} -eq 0 ] && readers=("${known[@]}")
usage() {
  echo "fuzz.sh: $1" >&2
  echo "usage: bash scripts/fuzz.sh [seconds per program, 20] [programs at once, 2] [reader ...]" >&2
  echo "readers: ${known[*]}" >&2
  exit 2
}
# Checked before the build: a mistyped name would otherwise fail as if the fuzzer had found something.
[[ $seconds =~ ^[1-9][0-9]*$ ]] || usage "seconds must be a positive whole number, not '$seconds'"
[[ $jobs =~ ^[1-9][0-9]*$ ]] || usage "programs at once must be a positive whole number, not '$jobs'"
for reader in "${readers[@]}"; do
  found=0
  for name in "${known[@]}"; do [ "$reader" = "$name" ] && found=1; done
  [ $found -eq 1 ] || usage "no reader named '$reader'"
done
build=build-fuzz

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_FUZZ=ON -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF \
  -DQUORVEL_WERROR=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" --target fuzzers

# Seeds come from a content set the other builds generated; without one, this build makes it.
content=""
for dir in build-test/game build-dev/game build/game; do
  if [ -d "$dir/tex" ] && [ -d "$dir/mesh" ]; then content=$dir; break; fi
done
if [ -z "$content" ]; then
  ASAN_OPTIONS=detect_leaks=0 cmake --build "$build" --target content
  content=$build/game
fi

# The `count` smallest files of `pattern` (a glob under the content folder).
smallest() {
  local count=$1 pattern=$2
  # shellcheck disable=SC2086
  ls -1S $content/$pattern 2>/dev/null | tail -n "$count"
}

seed() {
  local reader=$1 corpus=$build/corpus/$1
  rm -rf "$corpus" && mkdir -p "$corpus"
  case $reader in
    picture) cp $(smallest 3 'tex/*.jpg') $(smallest 3 'tex/*.png') $(smallest 1 'par/*.bmp') "$corpus" ;;
    3ds) cp $(smallest 4 'mesh/*.3ds') "$corpus" ;;
    md2) cp $(smallest 2 'mesh/*.md2') "$corpus" ;;
    par) cp $(smallest 12 'par/*.par') "$corpus" ;;
    settings_ini) cp fuzz/seeds/settings_ini/* "$corpus" ;;
    vlx) cp fuzz/seeds/vlx/* "$corpus" ;;
    save_slot) cp fuzz/seeds/save_slot/* "$corpus" ;;
    text_file) cp $(smallest 4 'txt/*.txt') "$corpus" ;;
    game_texts)
      for f in "$content"/txt/*.txt; do cat "$f"; printf '\0'; done >"$corpus/all_texts" ;;
    wav) cp $(smallest 3 'sound/*.wav') "$corpus" ;;
    midi) cp $(smallest 1 'music/*.mid') "$corpus" ;;
  esac
  if [ -d "fuzz/corpus/$reader" ]; then cp fuzz/corpus/"$reader"/* "$corpus"; fi
}

# Runs one reader's program; prints one line, and the end of its log on a finding.
run() {
  local reader=$1 program=$build/fuzz/fuzz_$1 regressions=fuzz/regressions/$1
  local findings=$build/findings/$1 log=$build/logs/$1.log
  mkdir -p "$findings" "$build/logs"
  local limits=(-rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10)
  : >"$log"
  local kept=()
  for dir in "$regressions" "fuzz/corpus/$reader"; do
    if [ -d "$dir" ]; then kept+=("$dir"/*); fi
  done
  if [ ${#kept[@]} -gt 0 ]; then
    if ! "$program" "${limits[@]}" "${kept[@]}" >>"$log" 2>&1; then
      echo "FAIL $reader: a kept regression or corpus input fails"; tail -n 40 "$log"; return 1
    fi
  fi
  if ! "$program" "${limits[@]}" -max_len=65536 -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$findings/" "$build/corpus/$reader" >>"$log" 2>&1; then
    echo "FAIL $reader: a new finding in $findings (keep it under $regressions once mended)"
    tail -n 40 "$log"; return 1
  fi
  echo "ok   $reader: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds}s"
}

for reader in "${readers[@]}"; do seed "$reader"; done
# Known leaks of a system library, listed there, do not count as findings.
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp
export -f run
export build seconds
printf '%s\n' "${readers[@]}" | xargs -P "$jobs" -I{} bash -c 'run {}'
