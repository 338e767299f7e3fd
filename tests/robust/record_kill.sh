# tests/robust/record_kill.sh -- a process killed while it stores a new best score leaves
# "highscore.dat" holding the old record or the new one, whole: killed just before the rename,
# then by SIGKILLs at random moments of zaraz-record-writer storing ever higher records.
source "$(dirname "$0")/lib.sh"
WRITER="$BUILD_DIR/tests/robust/zaraz-record-writer"
KILL_ROUNDS=30
OLD_RECORD=5
RANDOM=20240601  # the kill moments repeat from run to run

dir="$WORK/records"
mkdir -p "$dir"
FILE="$dir/highscore.dat"
bytes() { od -An -c "$1" | tr -d ' \n'; }

# The number in the best-score file; fails unless it is exactly [-]digits and a CR LF.
stored() {
  [[ "$(bytes "$FILE")" =~ ^(-?[0-9]+)\\r\\n$ ]] || fail "highscore.dat holds '$(bytes "$FILE")'"
  echo "${BASH_REMATCH[1]}"
}

printf '%s\r\n' "$OLD_RECORD" >"$FILE"
status=0
"$WRITER" "$dir" kill-before-rename >"$WORK/said" 2>"$WORK/writer.err" &
wait $! 2>/dev/null || status=$?
[ "$status" = 137 ] && [ "$(stored)" = "$OLD_RECORD" ] &&
  [ "$(bytes "$FILE.tmp")" = "$((OLD_RECORD + 1))\\r\\n" ] ||
  fail "killed before the rename: status $status, file $(stored), temporary $(bytes "$FILE.tmp")"

# Checks that a killed writer left what its last words allow, and read what the file held.
check_round() {
  local round=$1 before=$2 after=$3 said=$4 last
  last=$(tail -1 "$said")
  ! grep -q "^read " "$said" || grep -qx "read $before" "$said" ||
    fail "round $round: $(head -1 "$said"), the file held $before"
  case "${last% *}" in
    "" | read) [ "$after" = "$before" ] || fail "round $round: unstored, $before -> $after" ;;
    stored) [ "$after" = "${last#* }" ] || fail "round $round: $last, the file holds $after" ;;
    storing) [ "$after" = "${last#* }" ] || [ "$after" = $((${last#* } - 1)) ] ||
      fail "round $round: killed $last, the file holds $after (neither old nor new)" ;;
    *) fail "round $round: the writer said '$last'" ;;
  esac
}

mid_store=0
previous=$OLD_RECORD
for round in $(seq "$KILL_ROUNDS"); do
  "$WRITER" "$dir" >"$WORK/said" 2>"$WORK/writer.err" &
  pid=$!
  sleep "0.$(printf %03d $((RANDOM % 150)))"
  kill -9 "$pid" 2>/dev/null || true
  status=0
  wait "$pid" 2>/dev/null || status=$?
  [ "$status" = 137 ] || fail "round $round: the writer gave $status: $(cat "$WORK/writer.err")"
  now=$(stored)
  check_round "$round" "$previous" "$now" "$WORK/said"
  grep -q "^storing" <(tail -1 "$WORK/said") && mid_store=$((mid_store + 1))
  previous=$now
done
[ "$previous" -gt "$OLD_RECORD" ] || fail "no record was stored after the kill before the rename"
[[ "$(listing "$dir")" =~ ^highscore.dat\ (highscore.dat.tmp\ )?$ ]] ||
  fail "files other than highscore.dat were left: $(listing "$dir")"
echo "record_kill: a kill before the rename kept the old record; $KILL_ROUNDS random kills" \
  "($mid_store while a record was being stored); the file always held a whole record," \
  "last $previous"
