#!/usr/bin/env bash
# The rules the code keeps, checked: include layering, formatting, clang-tidy.
# Configures ./build if needed (clang-tidy reads build/compile_commands.json); no build needed.
#   KENVORA_TIDY=all   run clang-tidy over every source in src/ (several minutes on 2 cores)
#   KENVORA_TIDY=off   skip clang-tidy
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd -P)
failed=0

echo "== include rules (docs/include-allow-list.txt)"
python3 scripts/check_includes.py || failed=1

echo "== clang-format"
mapfile -t sources < <(git ls-files 'src/*' 'tests/*' 'tools/*' 'bench/*' | grep -E '\.(cpp|h)$')
if clang-format --dry-run -Werror "${sources[@]}"; then
  echo "formatted: ${#sources[@]} files"
else
  echo "run: clang-format -i <file> (the repository's .clang-format)"
  failed=1
fi

# The whole of src/ takes several minutes on two cores, so by default only the core libraries
# under platform/ (SQL layer, LZH, rich text, VB formatting), which parse fast.
tidy_scope=${KENVORA_TIDY:-core}
if [ "$tidy_scope" != off ]; then
  echo "== clang-tidy ($tidy_scope; checks in .clang-tidy)"
  [ -f build/compile_commands.json ] ||
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  case $tidy_scope in
    all) pattern="^$root/src/.*\.cpp$" ;;
    core) pattern="^$root/src/platform/(dao|lzh|richtext|vb)/.*\.cpp$" ;;
    *) echo "KENVORA_TIDY: want core, all or off" >&2; exit 2 ;;
  esac
  # A clean run is remembered by a hash of everything it read (sources, headers, checks), so
  # running the checks again on unchanged code takes no time; a fresh clone runs them all.
  stamp=$( (cat .clang-tidy; find src -type f -print0 | sort -z | xargs -0 cat) | sha256sum | cut -d' ' -f1)
  stampfile=build/clang-tidy-clean.$tidy_scope
  if [ "$(cat "$stampfile" 2>/dev/null)" = "$stamp" ]; then
    echo "clang-tidy: clean (unchanged since the last clean run)"
  elif run-clang-tidy -p build -j 2 -quiet "$pattern" >build/clang-tidy.log 2>&1; then
    echo "$stamp" >"$stampfile"
    echo "clang-tidy: clean"
  else
    sed "s/\x1b\[[0-9;]*m//g" build/clang-tidy.log | grep -E "warning:|error:" | sort -u
    echo "clang-tidy found problems (full output: build/clang-tidy.log)"
    failed=1
  fi
fi

if [ "$failed" = 1 ]; then
  echo "check.sh: FAILED"
  exit 1
fi
echo "check.sh: all checks passed"
