#pragma once

// Included by each test program's main() file alone: it defines the function LeakSanitizer
// looks up at exit, once per program. The list itself is leak-suppressions.txt, which says
// why each entry is there.
#include "LeakSuppressionList.h"

extern "C" const char *__lsan_default_suppressions()
{
    return leakSuppressionList;
}
