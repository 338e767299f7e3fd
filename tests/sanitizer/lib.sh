# tests/sanitizer/lib.sh -- the sanitizer options of the test runs (scripts/test exports them;
# robustness scripts run by hand take them as defaults): every report ends the process non-zero,
# and full stack traces let the suppressions name the system library function that leaks.
SANITIZER_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${ASAN_OPTIONS:=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1}"
: "${UBSAN_OPTIONS:=print_stacktrace=1:halt_on_error=1:abort_on_error=1}"
: "${LSAN_OPTIONS:=suppressions=$SANITIZER_DIR/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0}"
export ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

# Fails (through the caller's `fail`) when file $1 holds a sanitizer's report.
sanitizer_clean() {
  if grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: (Address|Undefined|Leak)" "$1"; then
    fail "a sanitizer reported in $1: $(grep -m3 -E "Sanitizer|runtime error" "$1")"
  fi
}
