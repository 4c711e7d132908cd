// One cleaning run: commit and write up to 1024 chunks of 1 MiB, then release
// them all, reporting phases and progress on the way. Its Win32 half:
// cleaner.
#pragma once
#include <stdint.h>
#include <atomic>

enum {
    kChunkBytes = 0x100000,
    kMaxChunks = 1024, // a run never holds more than 1 GiB
};

enum { PhaseFilling = 1, PhaseReleasing = 2, PhaseDone = 3 };

// What a run needs from the platform. `Commit` gives a fresh chunk of
// kChunkBytes or null; `Status` and `Progress` are null for a silent run.
// A set `Stop` ends the fill phase before the next chunk.
struct TCleanOps {
    void* Context;
    void* (*Commit)(void* context);
    void (*Release)(void* context, void* chunk);
    void (*Status)(void* context, int32_t phase);
    void (*Progress)(void* context, int32_t percent);
    const std::atomic<bool>* Stop;
};

// Where a run's phases and progress go, for a caller that shows them.
struct TCleanReporter {
    void* Context;
    void (*Status)(void* context, int32_t phase);
    void (*Progress)(void* context, int32_t percent);
};

// Round(step / total * 100).
int32_t ProgressPercent(int32_t step, int32_t total);

// Writes zero over the chunk with 32-bit stores, touching every page.
void FillChunk(void* chunk);

// Runs the fill and release phases for `amount` MB (at most kMaxChunks).
// Percentages are counted against twice the chunks used, so the bar ends at
// 100 also for requests above 1 GiB. A chunk that cannot be committed ends
// the fill phase: what was obtained is released, and nothing else is
// written or freed. Returns the number of chunks the run filled.
int32_t RunCleaning(int32_t amount, const TCleanOps& ops);

// A painted report may cost more than a chunk's fill: progress is painted by
// the clock, not by the chunk, at most about 30 times a second, and less
// often where painting is slow, so that it takes at most 1/kPaintShare of
// the run's time.
enum { kProgressPaintInterval = 33, kPaintShare = 50 }; // ms; a share
// The pause before the next painted report, after one that took `paintMs`;
// `least` of 0 paints every report.
uint32_t PaintPause(uint32_t least, uint32_t paintMs);
// Whether a report at tick `now` (ms, wrapping) is painted, the last painted
// one having been at `*last` (none yet without `*painted`); a painted one
// becomes the last.
bool ProgressPaintDue(uint32_t now, uint32_t interval, uint32_t* last, bool* painted);

// What a user's run did to free physical memory, in MB.
struct TCleanResult {
    int32_t FreeBeforeMB;
    int32_t FreeAfterMB;
};
// After less before, never below 0: others may have taken memory meanwhile.
int32_t FreedMB(const TCleanResult& result);
// `pattern` with its "#" marks replaced, in order, by `values` (the rest
// stay), cut to `size` characters with the zero.
void FillNumbers(const char* pattern, const int32_t* values, int count, char* out, int size);
