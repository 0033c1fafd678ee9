// Leaks that are not ours, for LeakSanitizer in the sanitizer build: the
// D-Bus library, which SDL loads, keeps a buffer when it fails to start a
// session bus from $DISPLAY (a terminal on a desktop without one running).
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
