// The sanitizers' settings for the test programs of the sanitizer build.
// Settings in ASAN_OPTIONS, LSAN_OPTIONS and UBSAN_OPTIONS override these one
// by one (the end-to-end tests switch the leak check off that way).

extern "C" {

const char* __asan_default_options();
const char* __lsan_default_options();
const char* __ubsan_default_options();

const char* __asan_default_options()
{
    return "detect_leaks=1:abort_on_error=1:check_initialization_order=1:strict_init_order=1:"
           "detect_stack_use_after_return=1";
}

// Leaks in third-party libraries only; each line of the file says why.
const char* __lsan_default_options()
{
    return "suppressions=" QUILLAN_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
}
