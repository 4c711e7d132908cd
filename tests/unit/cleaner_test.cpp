#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "../../host/logic/cleaner.h"

namespace {

bool AllZero(const void* chunk)
{
    static const std::vector<uint8_t> zeros(kChunkBytes, 0);
    return std::memcmp(chunk, zeros.data(), kChunkBytes) == 0;
}

// Platform stand-in: real 1 MiB blocks (filled with a pattern, so that the
// run's writes show), and a record of every call in order.
struct FakePlatform {
    enum Kind { Commit, Release, Status, Progress };
    struct Event {
        Kind kind;
        int32_t value; // chunk number, phase or percent
        bool operator==(const Event& o) const { return kind == o.kind && value == o.value; }
    };

    int32_t failAt = -1; // Commit number that returns null
    int32_t stopAt = -1; // Commit number after which the stop is asked for
    std::atomic<bool> stop{false};
    std::vector<Event> events;
    std::vector<void*> committed;
    std::vector<void*> released;
    std::set<void*> held;
    int nullReleases = 0, strangerReleases = 0, unwrittenReleases = 0, unwrittenProgress = 0;

    ~FakePlatform()
    {
        for (void* chunk : held)
            std::free(chunk);
    }

    TCleanOps Ops(bool reporting)
    {
        TCleanOps ops = {};
        ops.Context = this;
        ops.Commit = &FakePlatform::OnCommit;
        ops.Release = &FakePlatform::OnRelease;
        ops.Stop = &stop;
        if (reporting) {
            ops.Status = &FakePlatform::OnStatus;
            ops.Progress = &FakePlatform::OnProgress;
        }
        return ops;
    }

    std::vector<int32_t> Values(Kind kind) const
    {
        std::vector<int32_t> values;
        for (const Event& e : events)
            if (e.kind == kind)
                values.push_back(e.value);
        return values;
    }

    static FakePlatform& Of(void* context) { return *static_cast<FakePlatform*>(context); }

    static void* OnCommit(void* context)
    {
        FakePlatform& p = Of(context);
        int32_t number = int32_t(p.committed.size());
        p.events.push_back({Commit, number});
        if (number == p.failAt)
            return nullptr;
        if (number == p.stopAt)
            p.stop.store(true);
        void* chunk = std::aligned_alloc(4096, kChunkBytes);
        std::memset(chunk, 0xA5, kChunkBytes);
        p.committed.push_back(chunk);
        p.held.insert(chunk);
        return chunk;
    }

    static void OnRelease(void* context, void* chunk)
    {
        FakePlatform& p = Of(context);
        p.events.push_back({Release, int32_t(p.released.size())});
        p.released.push_back(chunk);
        if (!chunk) {
            ++p.nullReleases;
            return;
        }
        if (!p.held.erase(chunk)) {
            ++p.strangerReleases; // never committed, or released twice
            return;
        }
        if (!AllZero(chunk))
            ++p.unwrittenReleases;
        std::free(chunk);
    }

    static void OnStatus(void* context, int32_t phase)
    {
        Of(context).events.push_back({Status, phase});
    }

    static void OnProgress(void* context, int32_t percent)
    {
        FakePlatform& p = Of(context);
        p.events.push_back({Progress, percent});
        // During the fill a step is reported once its chunk is written.
        if (p.released.empty() && !p.committed.empty() && !AllZero(p.committed.back()))
            ++p.unwrittenProgress;
    }
};

using Event = FakePlatform::Event;

void ExpectCleanEnd(const FakePlatform& p)
{
    EXPECT_TRUE(p.held.empty()) << p.held.size() << " chunks never released";
    EXPECT_EQ(p.committed, p.released); // each once, in the order of allocation
    EXPECT_EQ(0, p.nullReleases);
    EXPECT_EQ(0, p.strangerReleases);
    EXPECT_EQ(0, p.unwrittenReleases);
    EXPECT_EQ(0, p.unwrittenProgress);
}

TEST(FillChunk, WritesZeroOverTheWholeChunk)
{
    uint8_t* chunk = static_cast<uint8_t*>(std::aligned_alloc(4096, kChunkBytes));
    std::memset(chunk, 0xA5, kChunkBytes);
    FillChunk(chunk);
    EXPECT_TRUE(AllZero(chunk));
    std::free(chunk);
}

TEST(ProgressPercent, StepsOfAnEightMegabyteRun)
{
    const int32_t expected[] = {6, 12, 19, 25, 31, 38, 44, 50, 56, 62, 69, 75, 81, 88, 94, 100};
    for (int32_t step = 1; step <= 16; ++step)
        EXPECT_EQ(expected[step - 1], ProgressPercent(step, 16)) << step;
    EXPECT_EQ(0, ProgressPercent(0, 16));
    EXPECT_EQ(1, ProgressPercent(1, 96));
}

TEST(RunCleaning, EightMegabytesEventByEvent)
{
    FakePlatform p;
    EXPECT_EQ(8, RunCleaning(8, p.Ops(true)));
    using K = FakePlatform;
    // One row per phase.
    // clang-format off
    const std::vector<Event> expected = {
        {K::Status, 1},
        {K::Commit, 0},  {K::Progress, 6},  {K::Commit, 1},  {K::Progress, 12},
        {K::Commit, 2},  {K::Progress, 19}, {K::Commit, 3},  {K::Progress, 25},
        {K::Commit, 4},  {K::Progress, 31}, {K::Commit, 5},  {K::Progress, 38},
        {K::Commit, 6},  {K::Progress, 44}, {K::Commit, 7},  {K::Progress, 50},
        {K::Status, 2},
        {K::Release, 0}, {K::Progress, 56}, {K::Release, 1}, {K::Progress, 62},
        {K::Release, 2}, {K::Progress, 69}, {K::Release, 3}, {K::Progress, 75},
        {K::Release, 4}, {K::Progress, 81}, {K::Release, 5}, {K::Progress, 88},
        {K::Release, 6}, {K::Progress, 94}, {K::Release, 7}, {K::Progress, 100},
        {K::Status, 3},
    };
    // clang-format on
    EXPECT_EQ(expected.size(), p.events.size());
    for (size_t i = 0; i < expected.size() && i < p.events.size(); ++i)
        EXPECT_TRUE(expected[i] == p.events[i])
            << "event " << i << ": kind " << p.events[i].kind << " value " << p.events[i].value
            << ", expected kind " << expected[i].kind << " value " << expected[i].value;
    ExpectCleanEnd(p);
}

TEST(RunCleaning, FortyEightMegabytes)
{
    FakePlatform p;
    EXPECT_EQ(48, RunCleaning(48, p.Ops(true)));
    const std::vector<int32_t> progress = p.Values(FakePlatform::Progress);
    ASSERT_EQ(96u, progress.size());
    EXPECT_EQ(1, progress.front());
    EXPECT_EQ(50, progress[47]); // the last of the fill
    EXPECT_EQ(51, progress[48]);
    EXPECT_EQ(100, progress.back());
    for (size_t i = 1; i < progress.size(); ++i)
        EXPECT_LE(progress[i - 1], progress[i]) << i;
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), p.Values(FakePlatform::Status));
    EXPECT_EQ(48u, p.committed.size());
    ExpectCleanEnd(p);
}

TEST(RunCleaning, RequestAboveOneGibibyteUsesAllChunksOnly)
{
    FakePlatform p;
    EXPECT_EQ(kMaxChunks, RunCleaning(1500, p.Ops(true)));
    EXPECT_EQ(size_t(kMaxChunks), p.committed.size());
    EXPECT_EQ(size_t(kMaxChunks), p.released.size());
    const std::vector<int32_t> progress = p.Values(FakePlatform::Progress);
    ASSERT_EQ(size_t(2 * kMaxChunks), progress.size());
    EXPECT_EQ(50, progress[kMaxChunks - 1]);
    EXPECT_EQ(100, progress.back()); // counted against the chunks used
    ExpectCleanEnd(p);
}

TEST(RunCleaning, ExactlyOneGibibyte)
{
    FakePlatform p;
    EXPECT_EQ(kMaxChunks, RunCleaning(kMaxChunks, p.Ops(false)));
    EXPECT_EQ(size_t(kMaxChunks), p.committed.size());
    ExpectCleanEnd(p);
}

TEST(RunCleaning, NothingToCleanStillShowsThePhases)
{
    for (int32_t amount : {0, -5, INT32_MIN}) {
        FakePlatform p;
        EXPECT_EQ(0, RunCleaning(amount, p.Ops(true))) << amount;
        const std::vector<Event> expected = {
            {FakePlatform::Status, 1}, {FakePlatform::Status, 2}, {FakePlatform::Status, 3}};
        EXPECT_TRUE(expected == p.events) << amount;
        EXPECT_TRUE(p.committed.empty());
        EXPECT_TRUE(p.released.empty());
    }
}

TEST(RunCleaning, SilentRunStillCommitsAndReleases)
{
    FakePlatform p;
    EXPECT_EQ(5, RunCleaning(5, p.Ops(false)));
    EXPECT_EQ(5u, p.committed.size());
    EXPECT_TRUE(p.Values(FakePlatform::Status).empty());
    EXPECT_TRUE(p.Values(FakePlatform::Progress).empty());
    ExpectCleanEnd(p);
}

TEST(RunCleaning, ChunkThatCannotBeCommittedEndsTheFill)
{
    for (int32_t k : {0, 1, 3, 7}) {
        FakePlatform p;
        p.failAt = k;
        EXPECT_EQ(k, RunCleaning(8, p.Ops(true))) << "failing at " << k;
        EXPECT_EQ(size_t(k + 1), p.Values(FakePlatform::Commit).size()) << k; // no retry
        EXPECT_EQ(size_t(k), p.committed.size());
        EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), p.Values(FakePlatform::Status)) << k;
        // One progress step per chunk obtained and per chunk released.
        EXPECT_EQ(size_t(2 * k), p.Values(FakePlatform::Progress).size()) << k;
        ExpectCleanEnd(p);
    }
}

TEST(RunCleaning, StopAskedForEndsTheFillBeforeTheNextChunk)
{
    FakePlatform p;
    p.stopAt = 5;
    EXPECT_EQ(6, RunCleaning(8, p.Ops(true)));
    ExpectCleanEnd(p);
}

// By the clock, not by the chunk: at most once an interval (the first report
// always, across the wrap), and where painting is slow a 50th of the time.
TEST(ProgressPaint, ByTheClockAndLessOftenWherePaintingIsSlow)
{
    const uint32_t now[] = {0xFFFFFFF0u, 0xFFFFFFF8u, 0x10u, 0x11u, 0x20u, 0x32u};
    const bool due[] = {true, false, false, true, false, true};
    uint32_t last = 0;
    bool painted = false;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(due[i], ProgressPaintDue(now[i], 33, &last, &painted)) << now[i];
    EXPECT_EQ(33u, PaintPause(33, 0));
    EXPECT_EQ(50u, PaintPause(33, 1));
    EXPECT_EQ(200u, PaintPause(33, 4));
    EXPECT_EQ(0xFFFFFFFFu, PaintPause(33, 0xFFFFFFF0u));
    EXPECT_EQ(0u, PaintPause(0, 50)); // every report, as the tests ask
}

TEST(CleanResult, FreedNeverBelowZeroAndTextFilledWithinItsBuffer)
{
    EXPECT_EQ(0, FreedMB({3912, 3100}));
    const int32_t values[2] = {3100, 3912};
    char out[9];
    FillNumbers("# MB, #", values, 2, out, sizeof out);
    EXPECT_STREQ("3100 MB,", out);
}

} // namespace
