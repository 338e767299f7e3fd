# tests/sanitizer/lib.sh -- the sanitizer options of the test runs: scripts/test exports them for
# the sanitizer build, and the robustness scripts take them as defaults when run by hand. Every
# report ends the process with a non-zero status (134 through abort for ASan and UBSan, also
# after LeakSanitizer's report at exit), which the tests check. The one suppression file lists
# leaks inside system libraries; stack traces are taken in full at every allocation, so that a
# suppression can name the library function that leaks and nothing of ours matches it.
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
