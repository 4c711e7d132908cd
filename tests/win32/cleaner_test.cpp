// RequestCleaning with real memory and a real dialog's reporter: what each
// run reports, what it commits, touches and gives back, and when it
// refuses.
#include <windows.h>

#include <math.h>

#include "../../host/logic/appstate.h"
#include "../../host/cleaner.h"
#include "../../host/dialogfigures.h"
#include "../../host/dialogs.h"
#include "../../host/memstatus.h"
#include "../../host/resources/resource.h"
#include "../../host/settings.h"
#include "check.h"
#include "support.h"

namespace {

const int32_t kMB = kUnitMB;

// An unlogged request, reporting (with `showProgress`) into CurrentDialog as
// it is when the request is made, as the main dialog asks for one; every
// report painted.
void Clean(int32_t amount, int32_t unit, bool showProgress)
{
    ProgressPaintInterval = 0;
    TCleanView storage;
    TCleanReporter reporter = CleanReporterFor(CurrentDialog, unit, &storage);
    RequestCleaning(amount, nullptr, showProgress ? &reporter : nullptr);
}
const uint64_t kMiB = 1ull << 20;
// How the engine commits its chunks.
const DWORD kChunkProtection = PAGE_READWRITE | PAGE_NOCACHE;

// The dialog is CurrentDialog for as long as this lives.
struct TCurrentDialog {
    explicit TCurrentDialog(HWND dialog) { CurrentDialog = dialog; }
    ~TCurrentDialog() { CurrentDialog = nullptr; }
};

// The cleaning's own controls, as the engine reports into them.
std::vector<int> ReportControls()
{
    return {IDC_PHYS_TOTAL, IDC_PHYS_FREE, IDC_CLEAN_PROGRESS, IDC_STATUS};
}
// Every control of the dialog.
std::vector<int> AllControls()
{
    return {IDC_PHYS_TOTAL,     IDC_PHYS_FREE,   IDC_PHYS_USED,  IDC_PHYS_PERCENT, IDC_PAGE_TOTAL,
            IDC_PAGE_FREE,      IDC_PAGE_USED,   IDC_VIRT_TOTAL, IDC_VIRT_FREE,    IDC_VIRT_USED,
            IDC_STATUS,         IDC_CPU_TEXT,    IDC_UNIT_BYTES, IDC_UNIT_KB,      IDC_UNIT_MB,
            IDC_CLEAN_PROGRESS, IDC_CPU_PROGRESS};
}

// The run's trace as text: "S<phase text>" for a status, "P" for a move of
// the bar, "F" for a free memory figure, "T" for a total. The positions
// themselves are the run's rule, tested with it.
std::vector<std::string> Trace(const TControlRecorder& recorder)
{
    std::vector<std::string> trace;
    for (auto& e : recorder.Events) {
        if (e.Id == IDC_CLEAN_PROGRESS)
            trace.push_back("P");
        else if (e.Id == IDC_STATUS)
            trace.push_back("S" + e.Text);
        else if (e.Id == IDC_PHYS_FREE)
            trace.push_back("F");
        else if (e.Id == IDC_PHYS_TOTAL)
            trace.push_back("T");
    }
    return trace;
}

// What a reporting run of `amount` MB (at most 1024) sends, step by step.
std::vector<std::string> ExpectedTrace(int amount)
{
    std::vector<std::string> trace;
    auto steps = [&] {
        for (int k = 0; k < amount; ++k)
            trace.insert(trace.end(), {"T", "F", "P"});
    };
    trace.push_back("S" + InCodePage(1251, "Заполнение"));
    steps();
    trace.push_back("S" + InCodePage(1251, "Очистка"));
    steps();
    trace.push_back("S" + InCodePage(1251, "Выполнено"));
    // Done: the figures once more, from a fresh reading.
    trace.insert(trace.end(), {"T", "F"});
    return trace;
}

uint64_t ChunkBytes() { return CommittedPrivateBytes(kChunkProtection); }

// Measurements taken at each move of the bar, during the run.
struct TDuringRun {
    uint64_t chunkBaseline;
    uint64_t workingSetBaseline;
    std::vector<uint64_t> chunkBytes;
    uint64_t peakWorkingSetGrowth;
    int statesOtherThanCleaning;
};
TDuringRun During;

void MeasureAtEachStep(const TControlEvent& event)
{
    if (AppState.load() != Cleaning)
        ++During.statesOtherThanCleaning;
    if (event.Id != IDC_CLEAN_PROGRESS)
        return;
    During.chunkBytes.push_back(ChunkBytes() - During.chunkBaseline);
    uint64_t workingSet = WorkingSetBytes();
    if (workingSet > During.workingSetBaseline &&
        workingSet - During.workingSetBaseline > During.peakWorkingSetGrowth)
        During.peakWorkingSetGrowth = workingSet - During.workingSetBaseline;
}

void StartMeasuring()
{
    During = TDuringRun();
    During.chunkBaseline = ChunkBytes();
    During.workingSetBaseline = WorkingSetBytes();
}

// The largest amount of chunk memory another thread sees committed while
// `run` goes on: proof that a run that reports nothing still cleans.
struct TWatch {
    volatile LONG stop;
    HANDLE running;
    uint64_t baseline;
    uint64_t peak;
};

DWORD WINAPI WatchChunks(void* parameter)
{
    TWatch* w = static_cast<TWatch*>(parameter);
    SetEvent(w->running);
    while (!w->stop) {
        uint64_t now = ChunkBytes();
        if (now > w->baseline && now - w->baseline > w->peak)
            w->peak = now - w->baseline;
    }
    return 0;
}

uint64_t PeakChunkBytesDuring(void (*run)())
{
    TWatch w = {0, CreateEventA(nullptr, TRUE, FALSE, nullptr), ChunkBytes(), 0};
    HANDLE watcher = CreateThread(nullptr, 0, WatchChunks, &w, 0, nullptr);
    WaitForSingleObject(w.running, INFINITE);
    run();
    w.stop = 1;
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    CloseHandle(w.running);
    return w.peak;
}

} // namespace

CHECK_CASE(RequestCleaningReportsEveryStepOfAnEightMegabyteRun)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    AppState = Resident;
    TControlRecorder recorder(dialog, ReportControls());
    StartMeasuring();
    recorder.OnEvent = MeasureAtEachStep;

    Clean(8, kMB, true);

    CHECK(Trace(recorder) == ExpectedTrace(8));
    CHECK_EQ(100, dialog.Position(IDC_CLEAN_PROGRESS));
    CHECK_STR(Wide("Выполнено").c_str(), dialog.WideText(IDC_STATUS).c_str());
    CHECK_EQ(0, During.statesOtherThanCleaning);
    CHECK_EQ(Resident, AppState.load());
    CHECK(CurrentDialog == dialog.Window());

    // The figures are the system's, in the run's unit.
    TSystemMemoryEx system;
    CHECK(QuerySystemMemoryEx(&system));
    std::string totalMB = std::to_string(system.ullTotalPhys >> 20);
    for (auto& text : recorder.Texts(IDC_PHYS_TOTAL))
        CHECK_STR(totalMB.c_str(), text.c_str());
    for (auto& text : recorder.Texts(IDC_PHYS_FREE)) {
        uint64_t freeMB = strtoull(text.c_str(), nullptr, 10);
        CHECK(freeMB > 0 && freeMB <= (system.ullTotalPhys >> 20));
    }
}

CHECK_CASE(RequestCleaningShowsItsFiguresInTheRequestedUnit)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    AppState = Resident;
    TControlRecorder recorder(dialog, ReportControls());
    Clean(2, 1024, true);

    TSystemMemoryEx system;
    CHECK(QuerySystemMemoryEx(&system));
    std::string totalKB = std::to_string(system.ullTotalPhys / 1024);
    std::vector<std::string> totals = recorder.Texts(IDC_PHYS_TOTAL);
    CHECK_EQ(5, totals.size()); // each step, and the fresh reading when done
    for (auto& text : totals)
        CHECK_STR(totalKB.c_str(), text.c_str());
    CHECK(recorder.Positions(IDC_CLEAN_PROGRESS) == std::vector<int>({25, 50, 75, 100}));
}

CHECK_CASE(RequestCleaningCommitsTouchesAndReleasesEveryMegabyte)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    AppState = Resident;
    uint64_t privateBefore = PrivateUsageBytes();
    std::vector<int> expectedPositions;
    std::vector<uint64_t> expectedChunks;
    for (int k = 1; k <= 200; ++k) {
        expectedPositions.push_back(int(rint(k / 2.0)));
        expectedChunks.push_back((k <= 100 ? k : 200 - k) * kMiB);
    }
    {
        TControlRecorder recorder(dialog, ReportControls());
        StartMeasuring();
        recorder.OnEvent = MeasureAtEachStep;
        Clean(100, kMB, true);

        CHECK(recorder.Positions(IDC_CLEAN_PROGRESS) == expectedPositions);
        // One 1 MiB chunk more after each fill step, one less after each
        // release step, committed as the engine asks.
        CHECK(During.chunkBytes == expectedChunks);
        // Every page was written: the chunks were in the working set.
        CHECK(During.peakWorkingSetGrowth >= 95 * kMiB);
        // The free memory figure went out with every step, and when done.
        CHECK_EQ(201, recorder.Texts(IDC_PHYS_FREE).size());
    }
    CHECK_EQ(0, ChunkBytes() - During.chunkBaseline);
    uint64_t privateAfter = PrivateUsageBytes();
    CHECK(privateAfter < privateBefore + kMiB);
    CHECK_EQ(Resident, AppState.load());
}

CHECK_CASE(RequestCleaningRefusesAmountsNotBelowTheTotal)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    AppState = Resident;
    int32_t total = TotalPhysicalMB();
    {
        TControlRecorder recorder(dialog, AllControls());
        uint64_t chunksBefore = ChunkBytes();
        Clean(total, kMB, true);
        Clean(total + 1, kMB, true);
        Clean(0x7FFFFFFF, kMB, true);
        CHECK_EQ(0, recorder.Events.size());
        CHECK_EQ(chunksBefore, ChunkBytes());
        CHECK_EQ(Resident, AppState.load());
    }
    TControlRecorder recorder(dialog, ReportControls());
    Clean(16, kMB, true);
    CHECK(Trace(recorder) == ExpectedTrace(16));
    CHECK_EQ(Resident, AppState.load());
}

namespace {
struct TLegacySource {
    TLegacySource() { ChooseMemoryStatusSource(false); }
    ~TLegacySource() { ChooseMemoryStatusSource(true); }
};

std::vector<uint64_t> ChunkBytesAtPhase;
void MeasureAtEachPhase(const TControlEvent& event)
{
    if (event.Id == IDC_STATUS)
        ChunkBytesAtPhase.push_back(ChunkBytes());
}
} // namespace

CHECK_CASE(RequestCleaningOneBelowTheTotalRunsAndHoldsAtMostOneGiB)
{
    // With the old source a 32-bit program reads at most 2047 MB, so the
    // largest amount that runs is small enough to try here; a 64-bit one
    // reads the true total, and the run stops at 1 GiB all the same.
    TLegacySource legacy;
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    AppState = Resident;
    int32_t total = TotalPhysicalMB();
    CHECK(total > 1024);
#ifndef _WIN64
    CHECK(total <= 2047);
#endif

    TControlRecorder recorder(dialog, {IDC_CLEAN_PROGRESS, IDC_STATUS});
    Clean(total, kMB, true);
    CHECK_EQ(0, recorder.Events.size());

    uint64_t baseline = ChunkBytes();
    ChunkBytesAtPhase.clear();
    recorder.OnEvent = MeasureAtEachPhase;
    Clean(total - 1, kMB, true);
    // Filling ends with the whole table of 1024 chunks held; all of them
    // are gone when the run is done.
    CHECK_EQ(3, ChunkBytesAtPhase.size());
    if (ChunkBytesAtPhase.size() == 3) {
        CHECK_EQ(0, ChunkBytesAtPhase[0] - baseline);
        CHECK_EQ(1024 * kMiB, ChunkBytesAtPhase[1] - baseline);
        CHECK_EQ(0, ChunkBytesAtPhase[2] - baseline);
    }
    std::vector<int> positions = recorder.Positions(IDC_CLEAN_PROGRESS);
    CHECK_EQ(2048, positions.size());
    bool climbing = true;
    for (size_t i = 1; i < positions.size(); ++i)
        climbing = climbing && positions[i] >= positions[i - 1];
    CHECK(climbing);
    CHECK_EQ(Resident, AppState.load());
}

CHECK_CASE(RequestCleaningOfZeroOrLessShowsOnlyThePhases)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    AppState = Resident;
    for (int32_t amount : {0, -5}) {
        TControlRecorder recorder(dialog, ReportControls());
        uint64_t chunksBefore = ChunkBytes();
        Clean(amount, kMB, true);
        CHECK(Trace(recorder) == ExpectedTrace(0));
        CHECK_EQ(chunksBefore, ChunkBytes());
        CHECK_EQ(Resident, AppState.load());
    }
}

namespace {
void SilentRun() { Clean(256, kMB, false); }
void RunWithoutDialog()
{
    CurrentDialog = nullptr;
    Clean(256, kMB, true);
}
} // namespace

CHECK_CASE(RequestCleaningSilentRunSendsNothingYetCleans)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    AppState = Resident;
    TControlRecorder recorder(dialog, AllControls());
    uint64_t chunksBefore = ChunkBytes();
    CHECK(PeakChunkBytesDuring(SilentRun) > 0);
    CHECK_EQ(0, recorder.Events.size());
    CHECK_EQ(chunksBefore, ChunkBytes());
    CHECK_EQ(Resident, AppState.load());
}

CHECK_CASE(RequestCleaningReportingWithoutADialogStillCleans)
{
    AppState = OneShot;
    uint64_t chunksBefore = ChunkBytes();
    CHECK(PeakChunkBytesDuring(RunWithoutDialog) > 0);
    CHECK_EQ(chunksBefore, ChunkBytes());
    CHECK_EQ(OneShot, AppState.load());
    AppState = Resident;
}

namespace {
int NestedCalls;
uint8_t StateInNestedCall;
void CleanAgainOnFirstStep(const TControlEvent& event)
{
    if (event.Id != IDC_CLEAN_PROGRESS || NestedCalls++)
        return;
    Clean(4, kMB, true);
    StateInNestedCall = AppState.load();
}
} // namespace

CHECK_CASE(RequestCleaningRefusesWhileARunIsUnderWay)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    {
        // As the monitor finds it while the user's run goes on.
        AppState = Cleaning;
        TControlRecorder recorder(dialog, AllControls());
        Clean(8, kMB, true);
        CHECK_EQ(0, recorder.Events.size());
        CHECK_EQ(Cleaning, AppState.load());
    }
    // A request made from inside a run returns at once and leaves the run
    // as it was.
    AppState = Resident;
    NestedCalls = 0;
    TControlRecorder recorder(dialog, ReportControls());
    recorder.OnEvent = CleanAgainOnFirstStep;
    Clean(4, kMB, true);
    CHECK(NestedCalls > 0);
    CHECK_EQ(Cleaning, StateInNestedCall);
    CHECK(Trace(recorder) == ExpectedTrace(4));
    CHECK_EQ(Resident, AppState.load());
}

CHECK_CASE(RequestCleaningPutsBackTheStateItFound)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TCurrentDialog current(dialog.Window());
    for (uint8_t state : {OneShot, Resident}) {
        AppState = state;
        TControlRecorder recorder(dialog, ReportControls());
        StartMeasuring();
        recorder.OnEvent = MeasureAtEachStep;
        Clean(2, kMB, true);
        CHECK_EQ(0, During.statesOtherThanCleaning);
        CHECK_EQ(state, AppState.load());
    }
    AppState = Resident;
}

namespace {
HWND OtherDialog;
void SwitchDialogOnFirstStep(const TControlEvent& event)
{
    if (event.Id == IDC_CLEAN_PROGRESS && CurrentDialog != OtherDialog)
        CurrentDialog = OtherDialog;
}
} // namespace

CHECK_CASE(RequestCleaningKeepsReportingToTheDialogItStartedWith)
{
    TTestDialog first, second;
    CHECK(first.Window() != nullptr && second.Window() != nullptr);
    TCurrentDialog current(first.Window());
    AppState = Resident;
    second.SetText(IDC_STATUS, "-");
    OtherDialog = second.Window();
    TControlRecorder recorder(first, ReportControls());
    recorder.OnEvent = SwitchDialogOnFirstStep;
    Clean(8, kMB, true);
    CHECK(Trace(recorder) == ExpectedTrace(8));
    CHECK_EQ(0, second.Position(IDC_CLEAN_PROGRESS));
    CHECK_STR("-", second.Text(IDC_STATUS).c_str());
}

namespace {
// The amounts of the lines in the program folder's log, in order.
std::vector<int> LoggedAmounts(const TTempFolder& folder)
{
    std::string log;
    std::vector<int> amounts;
    if (!ReadWholeFile(folder.File("Brindlecap.log"), &log))
        return amounts;
    const std::string request = InCodePage(1251, " Запрос ") + " ";
    for (size_t at = log.find(request); at != std::string::npos; at = log.find(request, at + 1))
        amounts.push_back(atoi(log.c_str() + at + request.size()));
    return amounts;
}
} // namespace

// One line for each tagged request while the settings ask for a log, the
// refused ones included; none for an untagged request or with the log off.
CHECK_CASE(RequestCleaningLogsEachTaggedRequestOnce)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    TSettings saved = Settings;
    Settings.LogEnabled = 1;
    AppState = Resident;
    RequestCleaning(2, "MANUAL", nullptr);
    RequestCleaning(3, nullptr, nullptr);
    AppState = Cleaning; // refused: another run is under way
    RequestCleaning(4, "AUTO", nullptr);
    AppState = Resident;
    RequestCleaning(0x7FFFFFFF, "CRITICAL", nullptr); // refused: not below the total
    Settings.LogEnabled = 0;
    RequestCleaning(5, "MANUAL", nullptr);
    Settings = saved;
    CHECK(LoggedAmounts(folder) == std::vector<int>({2, 4, 0x7FFFFFFF}));
}

// On one processor a run above the user interface's priority (the lowest of
// an idle process) would freeze the tray until it ends.
CHECK_CASE(RequestCleaningThreadRunsAtTheLowestPriority)
{
    AppState = Resident;
    CHECK(RequestCleaningThread(64, nullptr));
    CHECK(CleaningThreadHandle != nullptr);
    CHECK_EQ(THREAD_PRIORITY_LOWEST, GetThreadPriority(CleaningThreadHandle));
    CHECK(WaitForSingleObject(CleaningThreadHandle, 30000) == WAIT_OBJECT_0);
}
