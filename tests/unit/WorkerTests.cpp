// Worker pools: a medium that never answers uses up neither a pool nor the process.
#include <gtest/gtest.h>

#include <atomic>

#include "AppTesting.h"
#include "platform/Handles.h"
#include "platform/Worker.h"

// Two workers, one at a time per medium, a budget of a second and at most two abandoned threads: a job of another
// medium runs beside a hung one; a job not started is withdrawn; hung jobs give their threads up one budget after
// another, and past the cap a new job of their medium answers "not available" at once while other media go on; the
// abandoned threads end when their calls return; the pool's end leaves no thread of it behind.
TEST(WorkerPool, GivesHungCallsUpWithinItsCaps)
{
    const handles::unique_kernel_object release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int> ran{0}, unavailable{0};
    const auto job = [&](const wchar_t* medium, bool hangs) {
        return platform::Job{medium, [&, hangs] { hangs ? WaitForSingleObject(release.get(), INFINITE) : 0, ++ran; }, [&] { ++unavailable; }};
    };
    const int threads = apptest::Threads();
    {
        platform::CWorkerPool pool({2, 1000, 2});
        pool.Run(job(L"X:", true));
        const platform::CWorkerPool::Ticket second = pool.Run(job(L"X:", true));
        pool.Run(job(L"Y:", false));
        EXPECT_TRUE(apptest::WaitFor(10000, [&] { return ran == 1; }));
        EXPECT_EQ(pool.Abandoned(), 0);
        EXPECT_TRUE(pool.Withdraw(second));
        pool.Run(job(L"X:", true));
        EXPECT_TRUE(apptest::WaitFor(10000, [&] { return pool.Abandoned() == 2; }));
        EXPECT_EQ(pool.Run(job(L"X:", false)), 0u);
        EXPECT_EQ(unavailable, 1);
        pool.Run(job(L"Y:", false));
        EXPECT_TRUE(apptest::WaitFor(10000, [&] { return ran == 2; }));
        SetEvent(release.get());
        EXPECT_TRUE(apptest::WaitFor(10000, [&] { return pool.Abandoned() == 0 && ran == 4; }));
    }
    EXPECT_EQ(apptest::Threads(), threads);
}
