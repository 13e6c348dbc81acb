// Leak checking under AddressSanitizer: fontconfig, which Qt asks for fonts,
// keeps its configuration allocated until the process ends and never frees
// it. Those blocks are fontconfig's own; every other leak is still reported.
// LeakSanitizer looks this function up by name when the program starts.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
