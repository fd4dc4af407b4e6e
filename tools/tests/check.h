// A minimal test harness: named cases that register themselves, and checks that report the
// failing expression and keep going.
#pragma once

#include <cstdio>
#include <functional>
#include <vector>

struct TestCase {
    const char* name;
    std::function<void()> body;
};

std::vector<TestCase>& TestRegistry();
void ReportFailure(const char* file, int line, const char* expression);

struct TestRegistrar {
    TestRegistrar(const char* name, std::function<void()> body) { TestRegistry().push_back({name, body}); }
};

#define TEST_CASE(name)                                                                                      \
    static void name();                                                                                      \
    static const TestRegistrar name##_registrar(#name, name);                                                \
    static void name()

#define CHECK(expr)                                                                                          \
    do {                                                                                                     \
        if (!(expr)) {                                                                                       \
            ReportFailure(__FILE__, __LINE__, #expr);                                                        \
        }                                                                                                    \
    } while (0)

#define CHECK_NEAR(a, b, tolerance) CHECK(((a) - (b)) <= (tolerance) && ((b) - (a)) <= (tolerance))
