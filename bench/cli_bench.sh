#!/usr/bin/env bash
# The command line's printing, side by side with other tools in one run:
#   cli_bench.sh HUESPIN BARE_CORE WORK_FOLDER
# ANSI on 10 MB of mixed scripts against lolcat and gradient-string, the
# classic markup of 100 MB of ASCII against cat of a file of the output's
# size, the peak memory over 1 GB of 80-character lines, the peak memory
# and time of one 100 MB line (mixed scripts, then ASCII), and the start
# against a bare QCoreApplication program. gradient-string is installed
# under WORK_FOLDER with npm.
set -euo pipefail
huespin=$(realpath "$1") bare=$(realpath "$2") work=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
cd "$work"
export LC_ALL=C.UTF-8

# The wall time of a command and its processor time (user and system), in
# seconds: on a machine shared with other work the processor time is the
# steadier figure.
times() {
  /usr/bin/time -f '%e %U %S' -o times.txt "$@"
  read -r wall user system < times.txt
  echo "$wall $(echo "$user + $system" | bc -l)"
}
ratio() { printf '%.1f' "$(echo "$1 / $2" | bc -l)"; }
compare() { # name, our times, theirs
  read -r ourWall ourCpu <<< "$2"
  read -r wall cpu <<< "$3"
  printf '  %s %.2f s (processor %.2f s): huespin %sx faster (processor %sx)\n' "$1" "$wall" "$cpu" \
    "$(ratio "$wall" "$ourWall")" "$(ratio "$cpu" "$ourCpu")"
}

[[ -f mixed.txt ]] || python3 "$here/make_text.py" 10000000 > mixed.txt
[[ -f ascii.txt ]] || python3 "$here/make_text.py" 100000000 --ascii > ascii.txt

# 1. ANSI against lolcat and gradient-string.
ansi=$(times sh -c "'$huespin' --from red --to blue --format ansi - < mixed.txt > /dev/null")
read -r wall cpu <<< "$ansi"
printf 'ansi 10 MB mixed scripts: huespin %.3f s (processor %.3f s)\n' "$wall" "$cpu"
lolcat=$(command -v lolcat || echo /usr/games/lolcat)
if [[ -x "$lolcat" ]]; then
  compare lolcat "$ansi" "$(times sh -c "'$lolcat' -f < mixed.txt > /dev/null")"
else
  echo '  lolcat: not installed (Debian package lolcat)'
fi
if command -v npm > /dev/null; then
  [[ -d node_modules/gradient-string ]] || npm install --silent --no-audit --no-fund gradient-string@3 > /dev/null
  cp "$here/gradient.mjs" .
  theirs=$(times sh -c "FORCE_COLOR=3 node gradient.mjs < mixed.txt > /dev/null")
  compare gradient-string "$ansi" "$theirs"
  # The perceptual blend against the same run (goal: still 20 times faster).
  oklab=$(times sh -c "'$huespin' --from red --to blue --blend oklab --format ansi - < mixed.txt > /dev/null")
  read -r wall cpu <<< "$oklab"
  printf 'ansi 10 MB mixed scripts, --blend oklab: huespin %.3f s (processor %.3f s)\n' "$wall" "$cpu"
  compare gradient-string "$oklab" "$theirs"
else
  echo '  gradient-string: npm is not installed'
fi

# 2. The classic markup of 100 MB of ASCII lines against cat of its output.
"$huespin" --from red --to blue - < ascii.txt > font.out
read -r font fontCpu <<< "$(times sh -c "'$huespin' --from red --to blue - < ascii.txt > /dev/null")"
cat font.out > /dev/null
read -r catted cattedCpu <<< "$(times sh -c "cat font.out > /dev/null")"
printf 'font 100 MB ASCII: huespin %.3f s, cat of its %d MB output %.3f s: %sx\n' "$font" \
  "$(($(stat -c %s font.out) / 1000000))" "$catted" "$(ratio "$font" "$catted")"
rm -f font.out

# 3. Peak memory over 1 GB of 80-character lines.
# (yes ends on the closed pipe, which pipefail would count as a failure.)
peak=$( (yes "$(printf '%079d' 0)" || true) | head -c 1000000000 |
  /usr/bin/time -f '%M' "$huespin" --from red --to blue - 2>&1 > /dev/null | tail -1)
printf 'font 1 GB of 80-character lines: peak %.1f MB\n' "$(echo "$peak / 1024" | bc -l)"

# 4. One line of 100 MB, mixed scripts and ASCII: its peak memory should be
# the line's size and a little more, its time that of as many short lines.
for kind in mixed ascii; do
  # The lines joined, a character cut at the end dropped.
  [[ -f line-$kind.txt ]] || python3 "$here/make_text.py" 100000000 $([[ $kind == ascii ]] && echo --ascii) |
    python3 -c 'import sys; t = sys.stdin.buffer.read().replace(b"\n", b"").decode("utf-8", "ignore")
sys.stdout.buffer.write(t.encode() + b"\n")' > line-$kind.txt
  /usr/bin/time -f '%M %e %U %S' -o line.txt "$huespin" --from red --to blue - < line-$kind.txt > /dev/null
  read -r peak wall user system < line.txt
  printf 'font one 100 MB line, %s: peak %.1f MB, %.2f s (processor %.2f s)\n' "$kind" \
    "$(echo "$peak / 1024" | bc -l)" "$wall" "$(echo "$user + $system" | bc -l)"
done

# 5. The start, against a bare QCoreApplication program.
runs=200
start_times() {
  local start end
  start=$(date +%s%N)
  for ((i = 0; i < runs; ++i)); do "$@" > /dev/null; done
  end=$(date +%s%N)
  echo "($end - $start) / $runs / 1000000" | bc -l
}
barems=$(start_times "$bare")
ours=$(start_times "$huespin" --from red --to blue abc)
printf 'start: huespin --from red --to blue abc %.2f ms, bare QCoreApplication %.2f ms: %sx\n' "$ours" "$barems" \
  "$(ratio "$ours" "$barems")"
