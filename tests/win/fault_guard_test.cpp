// The boundary every export runs behind: exceptions of any kind and processor
// faults become a result code, nested boundaries unwind to the innermost one,
// and faults of other code are left to their own handlers.
#include <stdexcept>

#include <gtest/gtest.h>

#include "interface/fault_guard.h"

namespace orvox {
namespace {

class FaultGuardTest : public ::testing::Test {
protected:
    void SetUp() override { installFaultHandler(GetModuleHandleA(nullptr)); }
    void TearDown() override { removeFaultHandler(); }
};

__attribute__((noinline)) int writeThrough(volatile int* p)
{
    *p = 1;
    return 0;
}

__attribute__((noinline)) int divide(int a, int b)
{
    // Both volatile, so the division cannot be turned into a comparison.
    volatile int dividend = a;
    volatile int divisor = b;
    return dividend / divisor;
}

TEST_F(FaultGuardTest, ExceptionsAndFaultsBecomeTheFailureCode)
{
    EXPECT_EQ(guardedCall([] { return 7; }), 7);
    EXPECT_EQ(guardedCall([]() -> int { throw std::runtime_error("x"); }), 2);
    EXPECT_EQ(guardedCall([]() -> int { throw 5; }), 2);
    EXPECT_EQ(guardedCall([] { return writeThrough(nullptr); }), 2);
    EXPECT_EQ(guardedCall([] { return divide(7, 0); }, 12), 12);
    // The guard is usable again after a fault.
    EXPECT_EQ(guardedCall([] { return 3; }), 3);
}

TEST_F(FaultGuardTest, TheInnermostBoundaryCatches)
{
    int inner = -1;
    const int outer = guardedCall([&] {
        inner = guardedCall([] { return writeThrough(nullptr); }, 3);
        return 0;
    });
    EXPECT_EQ(inner, 3);
    EXPECT_EQ(outer, 0);
}

TEST_F(FaultGuardTest, FaultsHandledByTheSystemItselfAreNotTaken)
{
    // IsBadReadPtr probes with a fault that the system handles; the guard must
    // not take it over.
    const int result = guardedCall([] { return IsBadReadPtr(nullptr, 4) ? 1 : 0; });
    EXPECT_EQ(result, 1);
}

} // namespace
} // namespace orvox
