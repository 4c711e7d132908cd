#include "cleaner.h"

#include "../../common/logic/rounding.h"

int32_t ProgressPercent(int32_t step, int32_t total)
{
    return RoundRatio(int64_t(step) * 100, total);
}

void FillChunk(void* chunk)
{
    // Volatile: the stores are the point, though nothing reads them back.
    volatile uint32_t* word = static_cast<volatile uint32_t*>(chunk);
    for (uint32_t i = 0; i < kChunkBytes / 4; ++i)
        word[i] = 0;
}

int32_t RunCleaning(int32_t amount, const TCleanOps& ops)
{
    void* chunks[kMaxChunks];
    int32_t count = amount < 0 ? 0 : (amount > kMaxChunks ? int32_t(kMaxChunks) : amount);
    int32_t total = 2 * count;
    int32_t step = 0;

    if (ops.Status)
        ops.Status(ops.Context, PhaseFilling);
    for (int32_t i = 0; i < kMaxChunks; ++i)
        chunks[i] = nullptr;

    int32_t filled = 0;
    while (filled < count) {
        if (ops.Stop && ops.Stop->load())
            break;
        void* chunk = ops.Commit(ops.Context);
        if (!chunk)
            break;
        chunks[filled++] = chunk;
        FillChunk(chunk);
        ++step;
        if (ops.Progress)
            ops.Progress(ops.Context, ProgressPercent(step, total));
    }

    if (ops.Status)
        ops.Status(ops.Context, PhaseReleasing);
    for (int32_t i = 0; i < filled; ++i) {
        ++step;
        ops.Release(ops.Context, chunks[i]);
        if (ops.Progress)
            ops.Progress(ops.Context, ProgressPercent(step, total));
    }

    if (ops.Status)
        ops.Status(ops.Context, PhaseDone);
    return filled;
}
