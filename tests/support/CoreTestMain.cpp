#include <QCoreApplication>

#include <gtest/gtest.h>

// Read by LeakSanitizer at exit. Qt's network thread reports itself finished before its
// pthread has run OpenSSL's per-thread cleanup, so a test that exits right after its last
// request may take that thread's OpenSSL error state with it. Only allocations made inside
// libcrypto are ignored: a leaked Qt or vantora object that holds OpenSSL data is still
// reported through its own allocation.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libcrypto.so\n";
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
