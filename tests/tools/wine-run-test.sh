#!/bin/sh
# Checks the runner every test executable goes through: a loader that fails
# before the program writes anything is tried once more, any other result
# stands, and a runner killed by a time-out takes its program with it.
set -u
runner="$(cd "$(dirname "$0")/../.." && pwd)/tools/wine-run"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {
  if [ "$2" = "$3" ]; then echo "PASS  $1"; else echo "FAIL  $1: got '$2', expected '$3'"; failures=$((failures + 1)); fi
}

# A stand-in loader: counts its runs, then does what its arguments say.
cat >"$work/loader" <<'LOADER'
#!/bin/sh
echo x >>"$COUNT"
case $1 in
  silent-once) [ "$(wc -l <"$COUNT")" -ge 2 ] && { echo ran; exit 0; }; exit 3 ;;
  silent) exit 3 ;;
  writes) echo "[==========] Running 1 test"; exit 1 ;;
  complains) echo "wine: something" >&2; exit 1 ;;
  hangs) echo $$ >"$PIDFILE"; exec sleep 60 ;;
esac
LOADER
chmod +x "$work/loader"
export PIDFILE="$work/pid"

run() {
  export COUNT="$work/count.$1"
  : >"$COUNT"
  output=$("$runner" "$work/loader" "$1" 2>/dev/null)
  status=$?
  runs=$(wc -l <"$COUNT")
}

run silent-once
check "a silent failure is run once more" "$status $runs $output" "0 2 ran"
run silent
check "a silent failure twice stands" "$status $runs" "3 2"
run writes
check "a failure after output stands at once" "$status $runs" "1 1"
run complains
check "a failure that says why stands at once" "$status $runs" "1 1"

export COUNT="$work/count.hangs"
"$runner" "$work/loader" hangs &
runner_pid=$!
for _ in $(seq 50); do [ -s "$PIDFILE" ] && break; sleep 0.1; done
kill -KILL "$runner_pid"
sleep 0.5
state=$(sed -E "s/^[0-9]+ \(.*\) (.).*/\1/" "/proc/$(cat "$PIDFILE")/stat" 2>/dev/null)
[ -n "$state" ] && [ "$state" != Z ] && alive=yes || alive=no  # a zombie has ended
check "killing the runner kills the program" "$alive" "no"

exit $((failures > 0))
