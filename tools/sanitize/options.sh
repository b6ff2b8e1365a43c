# Sourced by test.sh --sanitize: how the AddressSanitizer and UBSan runtimes
# behave in the sanitized tree (build-sanitize/) for the build's own
# generators and for every test.
#  - Any report ends the program with a failure (UB included: the tree is built
#    with -fno-sanitize-recover=undefined, and halt_on_error says it again for
#    the runtime).
#  - Leaks are checked; lsan.supp lists the uninstrumented system libraries
#    whose lifetime allocations are not ours to free.
#  - verify_asan_link_order=0: some player tests preload a small library
#    (tests/scripts/frame_counter.cpp) that then comes before the sanitizer's
#    runtime in the load order; the runtime still intercepts everything.
sanitize_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:verify_asan_link_order=0:detect_stack_use_after_return=0:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$sanitize_dir/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
