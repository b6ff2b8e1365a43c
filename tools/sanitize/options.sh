# Sourced by test.sh --sanitize: how the AddressSanitizer and UBSan runtimes
# behave in the sanitized tree (build-sanitize/) for the build's own
# generators and for every test.
#  - Any report ends the program with a failure (UB included: the tree is built
#    with -fno-sanitize-recover=undefined, and halt_on_error says it again for
#    the runtime).
#  - Leaks are checked; lsan.supp lists the uninstrumented system libraries
#    whose lifetime allocations are not ours to free.
#  - keep_modules.c, preloaded, keeps every library loaded to the end, so
#    that the leaks of the GL driver are still named by their library when
#    they are reported at exit; use_sanitizer_keep_modules BUILD_DIR builds
#    it (without the sanitizers, as it is loaded into every process).
#  - verify_asan_link_order=0: preloaded libraries (that one, and the frame
#    counter some player tests preload) come before the sanitizer's runtime
#    in the load order; the runtime still intercepts everything.
#  - LP_NUM_THREADS=0: llvmpipe rasterises on the calling thread. At exit
#    LeakSanitizer stops every thread to scan memory; the driver's rasteriser
#    threads winding down at that moment once made its tracer fault ("Tracer
#    caught signal 11") after a GL test had passed. The pixels are the same
#    with one thread or several.
sanitize_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
use_sanitizer_keep_modules() {
  mkdir -p "$1"
  cc -shared -fPIC -O2 -o "$1/keep_modules.so" "$sanitize_dir/keep_modules.c"
  export LD_PRELOAD="$1/keep_modules.so${LD_PRELOAD:+:$LD_PRELOAD}"
}
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:verify_asan_link_order=0:detect_stack_use_after_return=0:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$sanitize_dir/lsan.supp:print_suppressions=0"
export LP_NUM_THREADS=0
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
