// Debian's libcups 2.4 keeps a PPD cache that it never frees each time Qt's
// CUPS plugin marks a printer's options (every QPrinterInfo it builds). That
// memory is theirs, not ours; the sanitizer build must not fail on it. The
// fast unwinder stops inside libcups (built without frame pointers), so the
// match is on the library rather than on the function.
//
// Linked into every test program that uses pelnor_test_cups: such a program
// must not define this hook itself.

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libcups.so.2\n"
         "leak:libcupsprintersupport.so\n";
}
