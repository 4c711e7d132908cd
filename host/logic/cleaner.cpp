#include "cleaner.h"

#include "../../common/logic/numtext.h"
#include "../../common/logic/rounding.h"
#include "../../common/logic/text.h"

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

bool ProgressPaintDue(uint32_t now, uint32_t interval, uint32_t* last, bool* painted)
{
    if (*painted && now - *last < interval)
        return false;
    *last = now;
    *painted = true;
    return true;
}

uint32_t PaintPause(uint32_t least, uint32_t paintMs)
{
    if (least == 0)
        return 0;
    uint32_t share = paintMs > 0xFFFFFFFFu / kPaintShare ? 0xFFFFFFFFu : paintMs * kPaintShare;
    return share > least ? share : least;
}

int32_t FreedMB(const TCleanResult& result)
{
    int64_t freed = int64_t(result.FreeAfterMB) - result.FreeBeforeMB;
    return freed > 0 ? int32_t(freed) : 0;
}

void FillNumbers(const char* pattern, const int32_t* values, int count, char* out, int size)
{
    if (size <= 0)
        return;
    out[0] = 0;
    int length = 0, used = 0;
    for (const char* p = pattern; *p && length < size - 1; ++p) {
        if (*p == '#' && used < count) {
            char digits[12];
            FormatDecimal(values[used++], digits);
            length = AppendText(out, size, digits);
        } else {
            out[length++] = *p;
            out[length] = 0;
        }
    }
}
