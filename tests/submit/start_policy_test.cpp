// When one start of the library may serve another job, and when it is ended.
#include <gtest/gtest.h>

#include "submit/portable/start_policy.h"

namespace orvox::submit {
namespace {

using namespace std::chrono_literals;

TEST(SubmitStartPolicy, TheLibrarySurvivesTheJobsOwnRefusalsButNotItsOwnTrouble)
{
    for (int result : {0, 4, 17, 19, 20, 23, 24, 25, 28, 29, 31, 32, 34, 37, 38, 41, 43})
        EXPECT_TRUE(startSurvives(result)) << result;
    // An exception, a failed creation, no document, the printing flag still
    // set, substitutions being edited, and codes this host does not know.
    for (int result : {1, 2, 3, 5, 8, 12, 14, 18, 21, 22, 26, 44, -1})
        EXPECT_FALSE(startSurvives(result)) << result;
}

TEST(SubmitStartPolicy, AStartServesJobsUntilItIsOldOrInTrouble)
{
    const Clock::time_point t0{};
    StartPolicy policy(60s);
    EXPECT_FALSE(policy.canServe(true, t0)) << "nothing started";
    policy.cleaned();
    EXPECT_FALSE(policy.clean()) << "nothing to clean before a start";
    policy.started(t0);
    EXPECT_TRUE(policy.clean());
    EXPECT_TRUE(policy.canServe(false, t0 + 1s));

    policy.served(0, true);
    EXPECT_FALSE(policy.clean()) << "the next job needs a reset";
    policy.cleaned();
    EXPECT_TRUE(policy.clean()) << "reset while the watcher waited";
    policy.served(19, true);
    EXPECT_FALSE(policy.clean());
    policy.served(39, true);
    EXPECT_TRUE(policy.canServe(true, t0 + 59s));
    EXPECT_FALSE(policy.needsRenewal(t0 + 59s));
    // Too old: neither a job nor the waiting watcher keeps it.
    EXPECT_FALSE(policy.canServe(true, t0 + 61s));
    EXPECT_TRUE(policy.needsRenewal(t0 + 61s));

    policy.started(t0 + 61s);
    policy.served(22, true);
    EXPECT_FALSE(policy.canServe(true, t0 + 62s)) << "the printing flag may still be set";
    EXPECT_TRUE(policy.needsRenewal(t0 + 62s));
    policy.ended();
    EXPECT_FALSE(policy.running());
    EXPECT_FALSE(policy.clean());
    EXPECT_FALSE(policy.needsRenewal(t0 + 62s));
    policy.started(t0 + 63s);
    EXPECT_TRUE(policy.canServe(true, t0 + 63s)) << "a new start forgets the trouble of the old one";
}

TEST(SubmitStartPolicy, AJobWithoutAPrinterOfItsOwnNeedsAStartNoJobGaveOne)
{
    const Clock::time_point t0{};
    StartPolicy policy(60s);
    policy.started(t0);
    // Jobs that leave the printer page alone: the first queue is still selected.
    policy.served(0, false);
    policy.served(0, false);
    EXPECT_TRUE(policy.canServe(false, t0));
    // A job selected a queue (or failed to, leaving none selected).
    policy.served(19, true);
    EXPECT_FALSE(policy.canServe(false, t0));
    EXPECT_TRUE(policy.canServe(true, t0)) << "a job that names its printer selects it again";
    EXPECT_FALSE(policy.needsRenewal(t0)) << "whether it must go depends on the next job";
}

TEST(SubmitStartPolicy, ALibraryThatCannotBeResetIsStartedForEveryJob)
{
    const Clock::time_point t0{};
    StartPolicy policy(60s);
    policy.started(t0);
    policy.served(0, true);
    policy.reuseRefused();
    EXPECT_FALSE(policy.canServe(true, t0));
    EXPECT_TRUE(policy.needsRenewal(t0));
    policy.started(t0 + 1s);
    EXPECT_TRUE(policy.canServe(true, t0 + 1s)) << "a new start serves its first job";
    policy.served(0, true);
    EXPECT_FALSE(policy.canServe(true, t0 + 1s));
    EXPECT_FALSE(policy.reuses());
}

} // namespace
} // namespace orvox::submit
