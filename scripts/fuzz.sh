#!/usr/bin/env bash
# Builds the XML reader's libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for a bounded time
# from the seed corpus in fuzz/corpus. Exits non-zero on a crash, a sanitizer
# report or an input that takes too long (super-linear indexing shows as one).
# FUZZ_SECONDS sets the time per target (default 30).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz
seconds=${FUZZ_SECONDS:-30}
mkdir -p "$out"

flags=(-std=c++20 -g -O1 -I"$root" -Wall -Wextra
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
sources=("$root"/xml/xml_reader.cpp "$root"/xml/xml_scan.cpp "$root"/xml/xml_entities.cpp
         "$root"/xml/xml_file.cpp "$root"/xml/code_page.cpp "$root"/xml/code_page_table.cpp
         "$root"/xml/xml_platform_posix.cpp)

build() {  # build NAME: one target from fuzz/NAME.cpp, rebuilt when a source is newer
  local name=$1 bin=$out/$1
  local newest
  newest=$(ls -t "$root/fuzz/$name.cpp" "$root"/fuzz/*.h "${sources[@]}" "$root"/xml/*.h | head -1)
  if [[ ! -x $bin || $newest -nt $bin ]]; then
    echo "building $name"
    clang++ "${flags[@]}" -o "$bin" "$root/fuzz/$name.cpp" "${sources[@]}"
  fi
}

run() {  # run NAME CORPUS: fuzz with a copy of the seeds, so findings stay in build/
  local name=$1 corpus=$out/corpus_$2
  mkdir -p "$corpus"
  cp -n "$root/fuzz/corpus/$2"/* "$corpus"/ 2>/dev/null || true
  echo "fuzzing $name for ${seconds}s"
  (cd "$out" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "./$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 "$corpus" 2>&1 | tail -n 25)
}

build xml_settext_fuzz
build xml_loadfile_fuzz
run xml_settext_fuzz settext
run xml_loadfile_fuzz loadfile
echo "fuzz targets ran clean"
