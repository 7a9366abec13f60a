// Leaks inside system libraries that Qt loads (fonts, D-Bus, X); not ours to fix. LeakSanitizer
// reads these from every test program, however the tests are started.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus\nleak:libfontconfig\nleak:libglib\nleak:libxcb\nleak:libX11\n";
}
