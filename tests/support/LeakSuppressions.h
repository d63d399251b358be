#pragma once

// Included by each test program's main() file alone: it defines the function LeakSanitizer
// looks up at exit, once per program.
//
// Qt's network thread reports itself finished before its pthread has run OpenSSL's
// per-thread cleanup, so a test that exits right after its last request may take that
// thread's OpenSSL error state with it. Only allocations made inside libcrypto are ignored:
// a leaked Qt or vantora object that holds OpenSSL data is still reported through its own
// allocation.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libcrypto.so\n";
}
