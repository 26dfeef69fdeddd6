#!/usr/bin/env bash
# The hostile-site table: korvane-search against the sample site misbehaving on its first page or
# on numbered page 1, for every mode. Each page of the keywords holds 5 rows, so a search that
# keeps every good page's rows lists 10 (or 5 when page 1 gave nothing).
# Usage: bench/hostile_site.sh [TIMEOUT_SECONDS]   (korvane-search's --timeout; default 1)
# Needs the default build (cmake --build --preset default).
set -euo pipefail
cd "$(dirname "$0")/.."
timeout=${1:-1}
build=build/default
search=$build/src/cli/korvane-search
site=$build/tools/sample-site/korvane-sample-site
[ -x "$search" ] && [ -x "$site" ] || { echo "build the default preset first" >&2; exit 2; }

work=$(mktemp -d)
"$site" --port 0 > "$work/site" 2>&1 &
site_pid=$!
trap 'kill "$site_pid" 2>/dev/null; wait "$site_pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/site" ] && break; sleep 0.05; done
base=$(head -1 "$work/site")

delay=$(( (timeout + 9) * 1000 )); [ "$delay" -gt 60000 ] && delay=60000
modes=(
  "slow|#delay=$delay"
  "trickle|#fault=trickle:3000"
  "cut|#fault=cut"
  "reset|#fault=reset"
  "404|#fault=404"
  "500|#fault=500"
  "badutf8|#fault=badutf8"
  "huge 100 MiB|#fault=huge:100"
  "large 48 MiB|#fault=huge:48"
  "redirect loop|#fault=redirect"
  "backtrack|#fault=backtrack:20000"
)

echo "korvane-search --timeout $timeout against $base"
echo
echo "| mode | page | exit | time to end | rows kept (of 10) | what korvane-search says |"
echo "|---|---|---|---|---|---|"
for entry in "${modes[@]}"; do
  name=${entry%%|*}
  directive=${entry#*|}
  for where in first 1; do
    keyword="kw#pages=2#rows=5${directive}@${where}"
    start=$(date +%s%N)
    status=0
    "$search" --timeout "$timeout" --site "$base" "$keyword" > "$work/out" 2> "$work/err" || status=$?
    end=$(date +%s%N)
    rows=$(wc -l < "$work/out")
    # The line that tells what happened: a failure, an error status or a page read short;
    # otherwise the closing count.
    said=$(grep -v -e 'asking for' -e 'announces' -e ': [0-9]* result(s)$' "$work/err" | tail -1 | sed 's/^korvane-search: //; s/http:[^ ]*: //; s/|/\\|/g' || true)
    [ -n "$said" ] || said=$(tail -1 "$work/err" | sed 's/^korvane-search: //')
    printf '| %s | %s | %d | %d ms | %d | %s |\n' "$name" "$where" "$status" $(( (end - start) / 1000000 )) "$rows" "$said"
  done
done
