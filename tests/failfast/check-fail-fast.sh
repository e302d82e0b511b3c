#!/usr/bin/env bash
# A failing test fails fast and quietly. Runs the test programs that are
# meant to fail and checks that
# - an exception escaping a test function is reported as that function's
#   failure with the exception's message, the next functions run, and the
#   program exits with status 1;
# - an abort ends the program at once with SIGABRT, without a crash
#   handler's stack trace;
# - a test that waits is ended by SIGTERM at once.
# Each run is bounded: a program that does not end in 10 seconds is killed
# and the check fails.
# Usage: check-fail-fast.sh FAILING_QT_TEST FAILING_GTEST
set -uo pipefail
qt=$1
gtest=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() {
    echo "fail-fast check: $*" >&2
    failed=1
}

# Runs PROGRAM with KETRAL_FAILING=MODE into $tmp/out; sets `status`. (The
# subshell keeps the shell's own notice of an abort out of the output.)
run() {
    status=$( (KETRAL_FAILING=$1 timeout -s KILL 10 "$2" >"$tmp/out" 2>&1; echo $?) 2>/dev/null)
}
expect_line() {
    grep -qF -- "$1" "$tmp/out" || fail "$2 printed no line '$1':$(echo; head -c 4000 "$tmp/out")"
}
no_crash_handler() {
    ! grep -q "Received signal\|Stack trace" "$tmp/out" || fail "$1 ran a crash handler:$(echo; head -c 4000 "$tmp/out")"
}

run exception "$qt"
[ $status -eq 1 ] || fail "the Qt test with an exception exited with $status, not 1"
expect_line "FAIL!  : FailingTest::throwsAnError() unexpected exception: cannot read /nowhere/one.png" "the Qt test"
expect_line "PASS   : FailingTest::runsAfterTheException()" "the Qt test"
no_crash_handler "the Qt test"

run abort "$qt"
[ $status -eq 134 ] || fail "the Qt test that aborts exited with $status, not 134 (SIGABRT)"
no_crash_handler "the Qt test that aborts"

# The waiting test, ended by SIGTERM once it says it waits: its output
# comes through a pipe, read line by line.
mkfifo "$tmp/pipe"
KETRAL_FAILING=wait "$qt" >"$tmp/pipe" 2>&1 &
pid=$!
exec 3<"$tmp/pipe"
# Reads the program's output into $tmp/out until it ends (the pipe's end),
# a line is $1 (if given), or 10 seconds have passed; true when it met $1.
read_output() {
    local deadline=$((SECONDS + 10)) line
    while [ $SECONDS -lt $deadline ]; do
        if IFS= read -r -t 1 line <&3; then
            echo "$line" >>"$tmp/out"
            [ -z "${1:-}" ] || [ "$line" != "$1" ] || return 0
        elif [ $? -le 128 ]; then
            return 1  # the end of its output
        fi
    done
    return 1
}
: >"$tmp/out"
if read_output waiting; then
    kill -TERM $pid
    read_output
    # Still there (and not only waiting to be reaped)?
    case $(ps -o stat= -p $pid) in
    "" | Z*) ;;
    *) kill -KILL $pid; fail "the Qt test did not end within 10 seconds of SIGTERM" ;;
    esac
else
    kill -KILL $pid
    fail "the Qt test never said it waits:$(echo; head -c 4000 "$tmp/out")"
fi
exec 3<&-
wait $pid
status=$?
[ $status -eq 143 ] || fail "the Qt test ended by SIGTERM exited with $status, not 143"
no_crash_handler "the Qt test ended by SIGTERM"

run exception "$gtest"
[ $status -eq 1 ] || fail "the GoogleTest test with an exception exited with $status, not 1"
expect_line 'C++ exception with description "cannot read /nowhere/two.png" thrown in the test body' "the GoogleTest test"
expect_line "[       OK ] Failing.RunsAfterTheException" "the GoogleTest test"

run abort "$gtest"
[ $status -eq 134 ] || fail "the GoogleTest test that aborts exited with $status, not 134 (SIGABRT)"

[ $failed -eq 0 ] && echo "fail-fast check passed"
exit $failed
