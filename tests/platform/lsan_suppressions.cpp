// Debian's libcups 2.4 keeps a PPD cache that it never frees each time Qt's
// CUPS plugin marks a printer's options (every QPrinterInfo it builds). That
// memory is theirs, not ours; the sanitizer build must not fail on it.

extern "C" const char* __lsan_default_suppressions() {
  return "leak:_ppdCacheCreateWithPPD\n"
         "leak:libcupsprintersupport.so\n";
}
