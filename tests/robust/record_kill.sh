# tests/robust/record_kill.sh -- a process killed while it stores a new best score never leaves
# "highscore.dat" damaged: it always holds one whole number and a line end, the old record or the
# new one, and the next start reads it. First real SIGKILLs at random moments of a program that
# stores ever higher records through the game's reset; then kills placed exactly between the
# written temporary file and its rename, by the test seam of platform/files.h.
source "$(dirname "$0")/lib.sh"
WRITER="$BUILD_DIR/tests/robust/zaraz-record-writer"
KILL_ROUNDS=30
SEAM_ROUNDS=5
RANDOM=20240601  # the kill moments repeat from run to run

dir="$WORK/records"
mkdir -p "$dir"
FILE="$dir/highscore.dat"

# The number in the best-score file, or "none" when there is no file; fails unless the file is
# exactly decimal digits (with an optional minus) and a CR LF.
stored() {
  [ -e "$FILE" ] || { echo none; return; }
  local content
  content=$(od -An -c "$FILE" | tr -d ' \n')
  [[ "$content" =~ ^-?[0-9]+\\r\\n$ ]] || fail "highscore.dat holds '$content'"
  echo "${content%\\r\\n}"
}

# Checks what a killed writer left: the file holds what the writer's last words allow, and a
# writer that read the file read what it held.
check_round() {
  local round=$1 before=$2 after=$3 said=$4 last
  last=$(tail -1 "$said")
  ! grep -q "^read " "$said" || grep -qx "read ${before/none/0}" "$said" ||
    fail "round $round: $(head -1 "$said"), the file held $before"
  case "${last% *}" in
    "" | read) [ "$after" = "$before" ] || fail "round $round: unstored, $before -> $after" ;;
    stored) [ "$after" = "${last#* }" ] || fail "round $round: $last, the file holds $after" ;;
    storing)
      [ "$after" = "${last#* }" ] || [ "$after" = $((${last#* } - 1)) ] ||
        [ "$after-$last" = "none-storing 1" ] ||
        fail "round $round: killed $last, the file holds $after (neither old nor new)"
      ;;
    *) fail "round $round: the writer said '$last'" ;;
  esac
}

mid_store=0
previous=$(stored)
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
[ "$previous" != none ] && [ "$previous" -gt 0 ] || fail "no record was ever stored"

# Killed exactly between the synced temporary file and the rename: the old record stays.
for round in $(seq "$SEAM_ROUNDS"); do
  status=0
  "$WRITER" "$dir" kill-before-rename >"$WORK/said" 2>"$WORK/writer.err" &
  wait $! 2>/dev/null || status=$?
  [ "$status" = 137 ] || fail "seam round $round: the writer ended with $status"
  now=$(stored)
  [ "$now" = "$previous" ] || fail "seam round $round: the file went $previous -> $now"
  [ "$(od -An -c "$FILE.tmp" | tr -d ' \n')" = "$((previous + 1))\\r\\n" ] ||
    fail "seam round $round: the temporary file holds $(od -An -c "$FILE.tmp")"
done

# A writer after all that reads the record, replaces the stale temporary file and stores on.
"$WRITER" "$dir" >"$WORK/said" 2>"$WORK/writer.err" &
pid=$!
for _ in $(seq 100); do
  grep -q "^stored " "$WORK/said" && break
  sleep 0.1
done
kill -9 "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
grep -q "^read $previous\$" "$WORK/said" || fail "the last writer did not read $previous"
grep -q "^stored $((previous + 1))\$" "$WORK/said" || fail "the last writer stored nothing"
[ "$(stored)" -gt "$previous" ] || fail "the record did not rise after the seam rounds"
[[ "$(listing "$dir")" =~ ^highscore.dat\ (highscore.dat.tmp\ )?$ ]] ||
  fail "files other than highscore.dat were left: $(listing "$dir")"
echo "record_kill: $KILL_ROUNDS random kills ($mid_store while a record was being stored) and" \
  "$SEAM_ROUNDS kills before the rename; the file always held a whole record, last $(stored)"
