#!/usr/bin/env bash
# Whole runs of a ThreadSanitizer build on eight work threads: the sample
# (analysis, a call tree, a variable) and, where the corpus is at hand, Lua.
# A race report fails the run.  whole_runs.sh BATCH SOURCE_DIR
set -euo pipefail
batch=$1
top=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANDREL_THREADS=8 TSAN_OPTIONS="halt_on_error=1 exitcode=66"

run() {  # run NAME COMMAND...
  local name=$1
  shift
  if ! "$batch" "$@" >"$work/$name.out" 2>"$work/$name.err"; then
    echo "$name: exit $? ($*)" >&2
    grep -A30 "ThreadSanitizer" "$work/$name.err" >&2 || tail -5 "$work/$name.err" >&2
    exit 1
  fi
  echo "$name: clean"
}

mkdir -p "$work/sample/out"
cp "$top/examples/sample/DefList.txt" "$work/sample/"
(cd "$work/sample" && run sample analyse "$top/examples/sample" out &&
  run sample-call-tree call-tree main out && run sample-variable variable g_motor out)

lua="$top/../shared/corpus/lua"
if [ -d "$lua" ]; then
  mkdir -p "$work/lua/out"
  (cd "$work/lua" && run lua analyse "$lua" out)
else
  echo "lua: no corpus at $lua, not run"
fi
