// The code under test allocates with new (std::nothrow) and handles a null result; the test
// executable replaces those allocations so that a test can make them fail on demand.
#pragma once

// While it lives, the first `allowed` nothrow allocations succeed and every later one fails.
class FailingAllocations {
public:
    explicit FailingAllocations(int allowed);
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};
