#!/usr/bin/env bash
# swtool's failures: a usage error, an unknown command, a missing input or a
# member the archive does not hold ends with status 1 and a message on
# standard error, and writes nothing where the output would have gone.
set -u
swtool=$1
. "$(dirname "$0")/test_lib.sh"
cd "$work" || exit 1

# expect_status STATUS MESSAGE ARGUMENTS...: STATUS, MESSAGE on standard
# error, nothing on standard output.
expect_status() {
  local wanted=$1 message=$2
  shift 2
  "$swtool" "$@" >out.bin 2>err.txt
  local status=$?
  [ "$status" -eq "$wanted" ] || fail "swtool $*: expected status $wanted, got $status"
  grep -qF -- "$message" err.txt || { cat err.txt; fail "swtool $*: no '$message' on standard error"; }
  [ ! -s out.bin ] || fail "swtool $*: wrote to standard output"
}
expect_failure() { expect_status 1 "$@"; }

expect_failure 'unknown command "nonsense"' nonsense
expect_failure 'usage: swtool list ARCHIVE' list
expect_failure 'usage: swtool list ARCHIVE' list a.dpk b.dpk
expect_failure 'usage: swtool extract ARCHIVE MEMBER' extract
expect_failure 'usage: swtool extract ARCHIVE MEMBER' extract a.dpk
expect_failure 'usage: swtool pack DIR ARCHIVE' pack
expect_failure 'usage: swtool pack DIR ARCHIVE' pack tree
expect_failure 'usage: swtool image FILE' image
# The long commands end a usage error with status 2, as the player does.
expect_usage_error() { expect_status 2 "$@"; }
expect_usage_error 'usage: swtool render' render
expect_usage_error 'usage: swtool render' render --data tree
for bad in abc -1000 12x "" 99999999999; do
  expect_usage_error '--from needs milliseconds' render --data tree --from "$bad" --to 2000 --out frames
  expect_usage_error 'usage: swtool profile' profile --data tree --from "$bad" --to 2000
done
expect_usage_error '--to must not lie before --from' render --data tree --from 3000 --to 1000 --out frames
expect_usage_error '--to must not lie before --from' profile --data tree --from 3000 --to 1000
expect_usage_error '--fps needs frames a second' render --data tree --from 0 --to 1000 --fps 0 --out frames
[ ! -e frames ] || fail "a refused render made its output folder"
expect_failure 'usage: swtool script FILE' script

# --help after any command: its usage on standard output, status 0.
for command in help script render profile list extract pack image scene; do
  "$swtool" "$command" --help >out.txt 2>err.txt || fail "swtool $command --help: status $?: $(cat err.txt)"
  grep -q "^usage: swtool $command" out.txt || fail "swtool $command --help: no usage: $(cat out.txt)"
done
"$swtool" --help >out.txt 2>&1 || fail "swtool --help: status $?"
grep -q "^usage: swtool <command>" out.txt || fail "swtool --help: no usage"

# Inputs that are not there.
expect_failure 'missing.dpk is not a readable RAR archive' list missing.dpk
expect_failure 'cannot extract' extract missing.dpk data/script.scr
expect_failure 'is not a directory' pack "$work/no-such-tree" out.dpk
[ ! -e out.dpk ] || fail "pack of a missing tree left an archive"
expect_failure 'cannot load' image missing.png

# A member the archive does not hold, with the right password and without.
mkdir -p tree/data
printf 'DEMOSTART 0\n' > tree/data/script.scr
"$swtool" pack tree a.dpk --password quill >/dev/null || fail "pack exited $?"
expect_failure 'cannot extract data/missing.scr' extract a.dpk data/missing.scr --password quill
expect_failure 'cannot extract' extract a.dpk data/missing.scr --password quill -o member.out
[ ! -e member.out ] || fail "a missing member left an output file"
# The archive's fault follows: a password missing or wrong is said so.
expect_failure 'data/script.scr is enciphered and no password was given' extract a.dpk data/script.scr
expect_failure 'a wrong password' extract a.dpk data/script.scr --password quilt
expect_failure 'data archive a.dpk: data/script.scr is enciphered and no password was given' \
  render --archive a.dpk --at 0 --out frames
expect_failure 'a wrong password' render --archive a.dpk --password quilt --at 0 --out frames
"$swtool" extract a.dpk data/script.scr --password quill >member.out || fail "the member that is there: status $?"
cmp -s member.out tree/data/script.scr || fail "the member that is there differs"

# Without a command the command list is shown, and that is a failure too.
"$swtool" >out.txt 2>&1
status=$?
[ "$status" -eq 1 ] || fail "swtool without a command: expected status 1, got $status"
grep -q 'usage: swtool <command>' out.txt || fail "swtool without a command: no command list"
echo ok
