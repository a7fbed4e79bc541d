# Sourced by the end-to-end scripts: named checks counted, and a command's exit code.
passes=0
failures=0
check() {  # check DESCRIPTION COMMAND...
    local description=$1; shift
    if "$@"; then
        echo "ok: $description"; passes=$((passes + 1))
    else
        echo "FAILED: $description"; failures=$((failures + 1))
    fi
}
exit_code() { set +e; "$@" > /dev/null 2>&1; local rc=$?; set -e; echo "$rc"; }
# The count of checks; fails when one failed.
summary() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
