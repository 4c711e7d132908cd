// The shared state the host's threads meet in: the one-run-at-a-time switch,
// the serialised log append, the whole-record memory snapshot and the
// processor sampler's baseline. Built for
// ThreadSanitizer, and runs under AddressSanitizer too.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../../host/logic/appstate.h"
#include "../../host/logic/cleaner.h"
#include "../../host/logic/cpusampler.h"
#include "../../host/logic/activity_log.h"
#include "../../host/logic/memstatus.h"

namespace {

constexpr int kThreads = 16;

void InitSharedState()
{
    static const bool done = (InitMemStatus(), InitActivityLog(), true);
    (void)done;
}

// Holds every thread until all have arrived; reusable round after round.
class Barrier {
public:
    explicit Barrier(int count) : count_(count) {}
    void Wait()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const unsigned long generation = generation_;
        if (++waiting_ == count_) {
            waiting_ = 0;
            ++generation_;
            changed_.notify_all();
        } else {
            changed_.wait(lock, [&] { return generation_ != generation; });
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const int count_;
    int waiting_ = 0;
    unsigned long generation_ = 0;
};

void RunThreads(int count, const std::function<void(int)>& body)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t)
        threads.emplace_back(body, t);
    for (std::thread& thread : threads)
        thread.join();
}

class BeginCleaningRace : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        saved_ = AppState.load();
        AppState.store(uint8_t(GetParam()));
    }
    void TearDown() override { AppState.store(saved_); }

private:
    uint8_t saved_ = 0;
};

void NoteMaximum(std::atomic<int>& maximum, int value)
{
    int seen = maximum.load();
    while (value > seen && !maximum.compare_exchange_weak(seen, value)) {
    }
}

// All threads start together in every round. The winner keeps the run open
// until every thread has made its attempt, so each refusal is checked
// against a run that is certainly still under way.
TEST_P(BeginCleaningRace, ExactlyOneRunPerRoundAndRefusalsSeeCleaning)
{
    const uint8_t before = uint8_t(GetParam());
    constexpr int kRounds = 500;
    Barrier barrier(kThreads);
    std::atomic<int> inside(0), maxInside(0), winners(0), attempted(0);
    std::atomic<int> badPrevious(0), refusedNotCleaning(0), badWinnerCount(0), notRestored(0);
    std::mutex mutex;
    std::condition_variable attemptsDone;
    auto attemptDone = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        attempted.fetch_add(1);
        attemptsDone.notify_all();
    };

    RunThreads(kThreads, [&](int t) {
        for (int round = 0; round < kRounds; ++round) {
            barrier.Wait();
            uint8_t previous = 0xEE;
            if (BeginCleaning(&previous)) {
                NoteMaximum(maxInside, inside.fetch_add(1) + 1);
                winners.fetch_add(1);
                if (previous != before)
                    badPrevious.fetch_add(1);
                attemptDone();
                {
                    std::unique_lock<std::mutex> lock(mutex);
                    attemptsDone.wait(lock, [&] { return attempted.load() == kThreads; });
                }
                inside.fetch_sub(1);
                EndCleaning(previous);
            } else {
                if (AppState.load() != Cleaning)
                    refusedNotCleaning.fetch_add(1);
                attemptDone();
            }
            barrier.Wait();
            if (t == 0) {
                if (winners.load() != 1)
                    badWinnerCount.fetch_add(1);
                if (AppState.load() != before)
                    notRestored.fetch_add(1);
                winners.store(0);
                attempted.store(0);
            }
            barrier.Wait();
        }
    });

    EXPECT_EQ(1, maxInside.load());
    EXPECT_EQ(0, badWinnerCount.load());
    EXPECT_EQ(0, badPrevious.load());
    EXPECT_EQ(0, refusedNotCleaning.load());
    EXPECT_EQ(0, notRestored.load());
    EXPECT_EQ(before, AppState.load());
}

// Free running: threads take and give back the run as fast as they can.
TEST_P(BeginCleaningRace, AtMostOneInsideUnderContention)
{
    const uint8_t before = uint8_t(GetParam());
    constexpr int kAttempts = 2000;
    Barrier start(kThreads);
    std::atomic<int> inside(0), maxInside(0), runs(0), badPrevious(0), notCleaningInside(0);

    RunThreads(kThreads, [&](int) {
        start.Wait();
        for (int i = 0; i < kAttempts; ++i) {
            uint8_t previous = 0xEE;
            if (!BeginCleaning(&previous))
                continue;
            NoteMaximum(maxInside, inside.fetch_add(1) + 1);
            if (previous != before)
                badPrevious.fetch_add(1);
            if (AppState.load() != Cleaning)
                notCleaningInside.fetch_add(1);
            runs.fetch_add(1);
            inside.fetch_sub(1);
            EndCleaning(previous);
        }
    });

    EXPECT_EQ(1, maxInside.load());
    EXPECT_GT(runs.load(), 0);
    EXPECT_EQ(0, badPrevious.load());
    EXPECT_EQ(0, notCleaningInside.load());
    EXPECT_EQ(before, AppState.load());
}

INSTANTIATE_TEST_SUITE_P(FromEachState, BeginCleaningRace,
                         ::testing::Values(int(Resident), int(OneShot)),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == Resident ? "Resident" : "OneShot");
                         });

TEST(BeginCleaning, RefusedWhileARunIsUnderWay)
{
    const uint8_t saved = AppState.load();
    AppState.store(Resident);
    uint8_t first = 0xEE, second = 0xEE;
    ASSERT_TRUE(BeginCleaning(&first));
    EXPECT_EQ(Resident, first);
    EXPECT_EQ(Cleaning, AppState.load());
    EXPECT_FALSE(BeginCleaning(&second));
    EXPECT_EQ(0xEE, second); // untouched
    EXPECT_EQ(Cleaning, AppState.load());
    EndCleaning(first);
    EXPECT_EQ(Resident, AppState.load());
    AppState.store(saved);
}

// The program's end meets a run on another thread: once CloseCleaning is
// back, the run has released every chunk (a plain counter, which the
// sanitizer flags if the run still writes it) and no run starts again.
TEST(CloseCleaning, WaitsForTheRunUnderWayThenRefusesEveryRun)
{
    const uint8_t saved = AppState.load();
    AppState.store(Resident);
    static uint32_t chunk[kChunkBytes / 4];
    static int held = 0;
    std::atomic<bool> started(false);
    std::thread runner([&] {
        TCleanOps ops = {nullptr,
                         [](void*) -> void* { return ++held, chunk; },
                         [](void*, void*) { --held; },
                         nullptr,
                         nullptr,
                         &CleaningClosed};
        for (uint8_t previous; BeginCleaning(&previous); EndCleaning(previous)) {
            started.store(true);
            RunCleaning(kMaxChunks, ops);
        }
    });
    while (!started.load())
        std::this_thread::yield();
    CloseCleaning([] { std::this_thread::yield(); });
    EXPECT_EQ(0, held);
    uint8_t previous;
    EXPECT_FALSE(BeginCleaning(&previous));
    EXPECT_EQ(Resident, AppState.load());
    runner.join();
    CleaningClosed.store(false);
    AppState.store(saved);
}

// The platform's append as plainly as it can be done: open, seek to the end,
// write, close. Without O_APPEND two unserialised callers seek to the same
// end and one line overwrites the other.
bool AppendToFile(const char* path, const void* data, uint32_t length)
{
    int fd = open(path, O_WRONLY | O_CREAT, 0600);
    if (fd < 0)
        return false;
    bool ok = lseek(fd, 0, SEEK_END) >= 0;
    const char* p = static_cast<const char*>(data);
    uint32_t left = length;
    // Write in small pieces, giving other callers every chance to come in
    // between, as a slow disk would.
    while (ok && left > 0) {
        uint32_t piece = left < 7 ? left : 7;
        ssize_t n = write(fd, p, piece);
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= uint32_t(n);
    }
    close(fd);
    return ok;
}

TEST(AppendLogLine, ManyThreadsEveryLineWhole)
{
    InitSharedState();
    std::string path = ::testing::TempDir() + "brindlecap_log_XXXXXX";
    int fd = mkstemp(&path[0]);
    ASSERT_GE(fd, 0);
    close(fd);

    constexpr int kLines = 100;
    const char requestWord[] = " \xC7\xE0\xEF\xF0\xEE\xF1 "; // " Запрос "
    const char mbWord[] = " \xCC\xE1";                       // " Мб"
    std::atomic<int> failed(0);
    Barrier start(kThreads);

    RunThreads(kThreads, [&](int t) {
        start.Wait();
        for (int i = 0; i < kLines; ++i) {
            char line[kMaxLogLine];
            const TLogTime time = {2026, 12, uint16_t(1 + t), uint16_t(i % 24), uint16_t(i % 60)};
            int n = FormatLogLine(time, requestWord, mbWord, t * 1000 + i, "MANUAL", line);
            if (!AppendLogLine(AppendToFile, path.c_str(), line, uint32_t(n)))
                failed.fetch_add(1);
        }
    });
    EXPECT_EQ(0, failed.load());

    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    file.close();
    std::remove(path.c_str());
    const std::string text = content.str();

    // Split at CR LF; every piece must be exactly the line its writer made,
    // found from the amount it carries.
    const std::string head = std::string(requestWord) + " ";
    std::set<int> seen;
    size_t lines = 0, malformed = 0, duplicates = 0;
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find("\r\n", from);
        if (end == std::string::npos) {
            ++malformed; // a tail without its line end
            break;
        }
        const std::string line = text.substr(from, end - from + 2);
        from = end + 2;
        ++lines;
        const size_t at = line.find(head);
        if (at == std::string::npos) {
            ++malformed;
            continue;
        }
        const int amount = std::atoi(line.c_str() + at + head.size());
        const int t = amount / 1000, i = amount % 1000;
        char expected[kMaxLogLine];
        const TLogTime time = {2026, 12, uint16_t(1 + t), uint16_t(i % 24), uint16_t(i % 60)};
        FormatLogLine(time, requestWord, mbWord, amount, "MANUAL", expected);
        if (t < 0 || t >= kThreads || i >= kLines || line != expected) {
            ++malformed;
            continue;
        }
        if (!seen.insert(amount).second)
            ++duplicates;
    }
    EXPECT_EQ(size_t(kThreads * kLines), lines);
    EXPECT_EQ(0u, malformed);
    EXPECT_EQ(0u, duplicates);
    EXPECT_EQ(size_t(kThreads * kLines), seen.size());
}

TEST(MemStatus, ReadersNeverSeeAMixOfTwoRecords)
{
    InitSharedState();
    constexpr int kWriters = 4, kReaders = 12, kPublishes = 5000;
    std::atomic<int> writersLeft(kWriters), mixed(0), reads(0);
    Barrier start(kWriters + kReaders);
    PublishMemStatus(TMemFigures{});

    RunThreads(kWriters + kReaders, [&](int t) {
        start.Wait();
        if (t < kWriters) {
            for (int i = 1; i <= kPublishes; ++i) {
                // Both halves of every field differ between records.
                const uint64_t k = uint64_t(t * kPublishes + i) * 0x0000000100000001ull;
                PublishMemStatus(TMemFigures{k, k, k, k, k, k});
            }
            writersLeft.fetch_sub(1);
            return;
        }
        // Read until every writer is done, and at least a few times.
        for (int n = 0; writersLeft.load() > 0 || n < 100; ++n) {
            const TMemFigures f = ReadMemStatus();
            if (f.AvailPhys != f.TotalPhys || f.TotalPageFile != f.TotalPhys ||
                f.AvailPageFile != f.TotalPhys || f.TotalVirtual != f.TotalPhys ||
                f.AvailVirtual != f.TotalPhys)
                mixed.fetch_add(1);
            reads.fetch_add(1);
        }
    });

    EXPECT_EQ(0, mixed.load());
    EXPECT_GE(reads.load(), kReaders * 100);
}

// A clock where every reading is 10 ms and 50,000 idle units (half of the
// interval) after the one before: a sample that reads and moves the whole
// baseline alone gets exactly 50, whichever thread takes it.
struct TSteadyClock {
    uint32_t tick = 1000;
    int64_t idle = 0;
};

bool ReadSteadyClock(void* context, TCpuReading* reading)
{
    auto* clock = static_cast<TSteadyClock*>(context);
    clock->tick += 10;
    clock->idle += 50000;
    reading->Tick = clock->tick;
    reading->Idle = clock->idle;
    return true;
}

TEST(CpuSampler, ThreeSamplersNeverSeeATornBaseline)
{
    TCpuSampler sampler = {};
    InitLock(&sampler.Guard);
    TSteadyClock clock;
    sampler.Baseline.LastTick = clock.tick;
    constexpr int kSamplers = 3, kSamples = 20000;
    std::atomic<int> other(0);
    Barrier start(kSamplers);
    RunThreads(kSamplers, [&](int) {
        start.Wait();
        for (int i = 0; i < kSamples; ++i)
            if (TakeCpuSample(&sampler, ReadSteadyClock, &clock, -1000) != 50)
                other.fetch_add(1);
    });
    EXPECT_EQ(0, other.load());
    EXPECT_EQ(1000u + 10u * kSamplers * kSamples, sampler.Baseline.LastTick);
    EXPECT_EQ(int64_t(50000) * (kSamplers * kSamples - 1), sampler.Baseline.PreviousIdle);
}

} // namespace
