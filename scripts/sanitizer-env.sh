# Sourced (from the repository's top folder) before running programs of the sanitizer build: the
# sanitizers' options and our suppressions of what system libraries leak.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$PWD/tests/sanitizers/ubsan.supp
export QT_QPA_PLATFORM=offscreen
