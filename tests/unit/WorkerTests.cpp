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

// Work reaches its window's thread by a number, never a pointer: a work-done message that no post sent runs nothing,
// even one carrying the address of work; work posted to a window that went before running it is let go by later posts;
// a post to a window gone fails.
TEST(PostedWork, RunsOnlyWhatWasPostedAndLetsGoOfWorkForWindowsGone)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == platform::WorkDoneMessage())
            return platform::RunPostedWork(lParam), 0;
        return DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = L"TabulaPostedWork";
    RegisterClassW(&windowClass);
    const auto make = [] { return CreateWindowExW(0, L"TabulaPostedWork", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); };
    const HWND live = make(), gone = make();
    bool forgedRan = false;
    std::function<void()> forged = [&] { forgedRan = true; };
    PostMessageW(live, platform::WorkDoneMessage(), 0, reinterpret_cast<LPARAM>(&forged));
    auto token = std::make_shared<int>(0);
    const std::weak_ptr<int> held = token;
    ASSERT_TRUE(platform::PostToWindow(gone, [token] {}));
    token.reset(), DestroyWindow(gone);
    int posts = 0, ran = 0;
    while (!held.expired() && posts < 10000)
        ++posts, platform::PostToWindow(live, [&ran] { ++ran; });
    EXPECT_TRUE(held.expired()) << posts;
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageW(&msg);
    EXPECT_EQ(ran, posts);
    EXPECT_FALSE(forgedRan);
    EXPECT_FALSE(platform::PostToWindow(gone, [] {}));
    DestroyWindow(live);
}
