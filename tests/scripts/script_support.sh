# Sourced by the test scripts: a work folder of the script's own, removed at
# exit, which also takes the temporary files of the programs it runs (the
# archive reader's log), and fail.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"
fail() { echo "FAIL: $*"; exit 1; }
