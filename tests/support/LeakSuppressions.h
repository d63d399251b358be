#pragma once

// Included by each test program's main() file alone: it defines the function LeakSanitizer
// looks up at exit, once per program.
//
// Qt's network thread reports itself finished before its pthread has run OpenSSL's
// per-thread cleanup, so a test that exits right after its last request may take that
// thread's OpenSSL error state with it. Only allocations made inside libcrypto are ignored:
// a leaked Qt or vantora object that holds OpenSSL data is still reported through its own
// allocation.
//
// Two libraries keep objects of their own past a short program's exit: Qt's desktop services
// keep the watcher of their portal query when the portal has not answered by then, and
// libsecret keeps the prompt of a locked collection for the program's lifetime. GLib is built
// without frame pointers, so the prompt's allocation is found by name only where the test
// unwinds fully on malloc (its test sets fast_unwind_on_malloc=0).
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libcrypto.so\n"
           "leak:QGenericUnixServices\n"
           "leak:_secret_prompt_instance\n";
}
