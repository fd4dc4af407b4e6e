// Runs every registered case; the exit code is the number of failed checks (capped).
#include "check.h"

namespace {
int g_failures = 0;
}

std::vector<TestCase>& TestRegistry() {
    static std::vector<TestCase> registry;
    return registry;
}

void ReportFailure(const char* file, int line, const char* expression) {
    ++g_failures;
    fprintf(stderr, "%s:%d: check failed: %s\n", file, line, expression);
}

int main() {
    for (const TestCase& test : TestRegistry()) {
        const int before = g_failures;
        test.body();
        printf("%s %s\n", g_failures == before ? "[ ok ]" : "[FAIL]", test.name);
    }
    printf("%zu cases, %d failed checks\n", TestRegistry().size(), g_failures);
    return g_failures > 100 ? 100 : g_failures;
}
