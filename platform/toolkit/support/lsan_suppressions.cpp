// Leak-checker suppressions for programs and tests that show Qt windows:
// fontconfig keeps its caches until the process ends, and the sanitizer's
// leak check reports them. Linked into executables (an object library), since
// the sanitizer only looks for this function in the main program.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
