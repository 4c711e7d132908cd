// Two threads asking for a cleaning at the same moment: one run at a time,
// the other request refused, never queued.
#include <windows.h>

#include <math.h>

#include "../../host/logic/appstate.h"
#include "../../host/cleaner.h"
#include "../../host/dialogfigures.h"
#include "../../host/dialogs.h"
#include "../../host/resources/resource.h"
#include "check.h"
#include "support.h"

namespace {

const int kRounds = 25;
const int kAmount = 16;

struct TRacer {
    HANDLE ready;
    HANDLE go;
};

DWORD WINAPI CleanOnSignal(void* parameter)
{
    TRacer* racer = static_cast<TRacer*>(parameter);
    SetEvent(racer->ready);
    WaitForSingleObject(racer->go, INFINITE);
    TCleanView storage;
    TCleanReporter reporter = CleanReporterFor(CurrentDialog, kUnitMB, &storage);
    RequestCleaning(kAmount, nullptr, &reporter);
    return 0;
}

// Handles the racers' reports, which arrive as messages sent to this
// thread's dialog, until both racers have ended. False on a hang.
bool PumpUntilEnded(HANDLE threads[2])
{
    DWORD deadline = GetTickCount() + 60000;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        HANDLE running[2];
        DWORD count = 0;
        for (int i = 0; i < 2; ++i)
            if (WaitForSingleObject(threads[i], 0) != WAIT_OBJECT_0)
                running[count++] = threads[i];
        if (count == 0)
            return true;
        if (int(GetTickCount() - deadline) > 0)
            return false;
        MsgWaitForMultipleObjects(count, running, FALSE, 1000, QS_ALLINPUT);
    }
}

// Splits the reports into runs. A run is its three phases in order with
// exactly its own bar positions between them; a second run that began
// before the first had finished breaks that shape. Returns the number of
// whole runs, or -1 at the first report out of place.
int CountWholeRuns(const TControlRecorder& recorder)
{
    const std::string filling = InCodePage(1251, "Заполнение");
    const std::string releasing = InCodePage(1251, "Очистка");
    const std::string done = InCodePage(1251, "Выполнено");
    int runs = 0;
    int phase = 0; // 0 between runs, else the last phase seen
    int step = 0;
    for (auto& e : recorder.Events) {
        if (e.Id == IDC_STATUS) {
            int next = e.Text == filling ? 1 : e.Text == releasing ? 2 : e.Text == done ? 3 : -1;
            bool inOrder = (next == 1 && phase == 0) ||
                           (next == 2 && phase == 1 && step == kAmount) ||
                           (next == 3 && phase == 2 && step == 2 * kAmount);
            if (!inOrder)
                return -1;
            phase = next == 3 ? 0 : next;
            if (next == 1)
                step = 0;
            if (next == 3)
                ++runs;
        } else if (e.Id == IDC_CLEAN_PROGRESS) {
            ++step;
            int expected = int(rint(step * 100.0 / (2 * kAmount)));
            if (phase == 0 || e.Position != expected)
                return -1;
        }
    }
    return phase == 0 ? runs : -1;
}

} // namespace

CHECK_CASE(RequestCleaningOfTwoThreadsAtOnceRunsOneAtATime)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    CurrentDialog = dialog.Window();
    AppState = Resident;
    ProgressPaintInterval = 0; // every report shown: each run's positions all count
    TControlRecorder recorder(dialog, {IDC_CLEAN_PROGRESS, IDC_STATUS});

    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool allEnded = true;
    int wrongState = 0;
    for (int round = 0; round < kRounds && allEnded; ++round) {
        TRacer racers[2];
        HANDLE threads[2];
        for (int i = 0; i < 2; ++i) {
            racers[i] = {CreateEventA(nullptr, TRUE, FALSE, nullptr), go};
            threads[i] = CreateThread(nullptr, 0, CleanOnSignal, &racers[i], 0, nullptr);
        }
        HANDLE ready[2] = {racers[0].ready, racers[1].ready};
        WaitForMultipleObjects(2, ready, TRUE, INFINITE);
        SetEvent(go);
        allEnded = PumpUntilEnded(threads);
        ResetEvent(go);
        if (AppState.load() != Resident)
            ++wrongState;
        for (int i = 0; i < 2; ++i) {
            if (!allEnded)
                TerminateThread(threads[i], 1);
            CloseHandle(threads[i]);
            CloseHandle(racers[i].ready);
        }
    }
    CloseHandle(go);
    CurrentDialog = nullptr;

    CHECK(allEnded);
    CHECK_EQ(0, wrongState);
    int runs = CountWholeRuns(recorder);
    printf("%d runs for %d requests\n", runs, 2 * kRounds);
    // Every round ran at least once, and no run overlapped another.
    CHECK(runs >= kRounds);
    // The loser of a round is turned away rather than made to wait its
    // turn, so fewer runs than requests.
    CHECK(runs < 2 * kRounds);
    CHECK_EQ(Resident, AppState.load());
}
