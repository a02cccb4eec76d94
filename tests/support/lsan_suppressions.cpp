// Debian's libcups 2.4 keeps a PPD cache that it never frees each time Qt's
// CUPS plugin marks a printer's options (every QPrinterInfo it builds). That
// memory is theirs, not ours; the sanitizer build must not fail on it. The
// fast unwinder stops inside libcups (built without frame pointers), so the
// match is on the library rather than on the function.
//
// Qt's xcb platform opens the D-Bus system connection (accessibility, the
// tray's own look-up) and libdbus keeps a buffer of it until exit.
//
// Linked into every test program that uses pelnor_test_support: such a
// program must not define this hook itself.

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libcups.so.2\n"
         "leak:libcupsprintersupport.so\n"
         "leak:libdbus-1.so\n";
}
