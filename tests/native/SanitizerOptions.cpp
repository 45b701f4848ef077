// Sanitizer options built into every native test binary, so that they hold
// however it is started (ctest, or by hand); ASAN_OPTIONS and UBSAN_OPTIONS
// in the environment add to them. The first report ends the process with a
// non-zero exit code, leaks included.

extern "C" const char* __asan_default_options() {
  return "halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:"
         "strict_string_checks=1:check_initialization_order=1:strict_init_order=1";
}

extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }
