#!/usr/bin/env bash
# Starts the built program against two local catalogue sites and searches, for looking at the
# real thing without any outside traffic: inside the private network namespace two small HTTP
# servers on 127.0.0.1 answer in the JSON and the RSS-shaped XML form, an INI naming them is
# written beside the executable, and under Xvfb the keyword is typed and Enter pressed. The
# window title is printed and a screenshot written (default build/release/mumian-search.png),
# then the first title is double-clicked and a second screenshot shows its details.
# Build first with scripts/run.sh (or cmake --build --preset release --target mumian).
set -euo pipefail
cd "$(dirname "$0")/.."
program="$PWD/build/release/src/app/mumian"
shot="${MUMIAN_SCREENSHOT:-$PWD/build/release/mumian-search.png}"
[ -x "$program" ] || { echo "build the program first: bash scripts/run.sh" >&2; exit 1; }
scripts/netns-run bash -c '
  set -euo pipefail
  program=$1 shot=$2 fixtures=$3
  work=$(mktemp -d)
  ini="$(dirname "$program")/源站配置.ini"
  pids=()
  cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work" "$ini"; }
  trap cleanup EXIT
  python3 -m http.server 18081 --bind 127.0.0.1 --directory "$fixtures" >"$work/a.log" 2>&1 & pids+=($!)
  python3 -m http.server 18082 --bind 127.0.0.1 --directory "$fixtures" >"$work/b.log" 2>&1 & pids+=($!)
  printf "[源站配置]\r\n数量=2\r\n解析地址=\r\n[源站]\r\n1=http://127.0.0.1:18081/list.json?wd=|本地甲\r\n2=http://127.0.0.1:18082/rss.xml?wd=|本地乙\r\n" \
    | iconv -f UTF-8 -t CP936 >"$ini"
  mkfifo "$work/display"
  Xvfb -displayfd 3 -screen 0 720x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 & pids+=($!)
  read -r -t 20 number <"$work/display"
  export DISPLAY=":$number"
  sleep 1
  "$program" >"$work/program.log" 2>&1 & pids+=($!)
  sleep 3
  window=$(xdotool search --sync --name "木棉" | head -n 1)
  xdotool mousemove 300 70 click 1
  xdotool type --delay 50 "tl"
  xdotool key Return
  sleep 3
  echo "window title: $(xdotool getwindowname "$window")"
  import -window root -crop 632x512+50+50 +repage "$shot"
  # Then a double-click on the first title shows its details and episodes.
  xdotool mousemove 150 122 click --repeat 2 --delay 80 1
  sleep 2
  import -window root -crop 632x512+50+50 +repage "${shot%.png}-details.png"
' demo-search "$program" "$shot" "$PWD/tests/fixtures/demo"
echo "Screenshots: $shot ${shot%.png}-details.png"
