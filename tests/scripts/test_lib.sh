# Sourced by the test scripts: a work folder that is removed at exit, and
# fail, which ends the test with its message.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
