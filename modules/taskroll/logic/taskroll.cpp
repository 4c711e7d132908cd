#include "taskroll.h"

#include "../../../common/logic/numtext.h"
#include "../../../common/logic/text.h"

int32_t ThreadPriority(int32_t base, int32_t delta)
{
    int64_t low = base < 16 ? 1 : 16;
    int64_t high = base < 16 ? 15 : 31;
    int64_t r = int64_t(base) + delta;
    return int32_t(r < low ? low : r > high ? high : r);
}

int PriorityNameId(int32_t priority, bool* between)
{
    // Only the classes' own values have an entry of their own; the ids
    // below 100 hold other texts, so a far negative value must not reach them.
    static const int32_t kNamed[] = {4, 6, 8, 10, 13, 24};
    for (int32_t named : kNamed) {
        if (priority == named) {
            *between = false;
            return 100 + named;
        }
    }
    *between = true;
    if (priority < 0 || priority >= 23)
        return IDS_PRIORITY_REALTIME;
    if (priority <= 4)
        return IDS_PRIORITY_IDLE;
    if (priority <= 7)
        return IDS_PRIORITY_BELOW_NORMAL;
    if (priority <= 9)
        return IDS_PRIORITY_NORMAL;
    if (priority <= 12)
        return IDS_PRIORITY_ABOVE_NORMAL;
    return IDS_PRIORITY_HIGH;
}

int FormatHex(uint32_t value, char* out)
{
    static const char kDigits[] = "0123456789ABCDEF";
    out[0] = '0';
    out[1] = 'x';
    for (int i = 0; i < 8; ++i)
        out[2 + i] = kDigits[(value >> (28 - 4 * i)) & 15u];
    out[10] = 0;
    return 10;
}

int FormatThreadLine(uint32_t threadId, int32_t priority, const char* name, char* out, int size)
{
    char number[12];
    if (size <= 0)
        return 0;
    out[0] = 0;
    FormatHex(threadId, number);
    AppendText(out, size, number);
    AppendText(out, size, "  ");
    FormatDecimal(priority, number);
    AppendText(out, size, number);
    AppendText(out, size, " ");
    return AppendText(out, size, name);
}

void ExeFileName(const char* exeFile, int size, char* out)
{
    if (size <= 0)
        return;
    int start = 0;
    int end = 0;
    while (end < size - 1 && exeFile[end]) {
        if (exeFile[end] == '\\' || exeFile[end] == ':')
            start = end + 1;
        ++end;
    }
    int n = 0;
    while (start < end)
        out[n++] = exeFile[start++];
    out[n] = 0;
}

int FormatEndQuestion(const char* pattern, const char* name, char* out, int size)
{
    if (size <= 0)
        return 0;
    int n = 0;
    bool placed = false;
    for (int i = 0; pattern[i] && n < size - 1; ++i) {
        if (!placed && pattern[i] == '%' && pattern[i + 1] == 's') {
            placed = true;
            out[n] = 0;
            n = AppendText(out, size, name);
            ++i;
            continue;
        }
        out[n++] = pattern[i];
    }
    out[n] = 0;
    return n;
}

bool SameExeFile(const char* a, const char* b, int size)
{
    for (int i = 0; i < size; ++i) {
        if (a[i] != b[i])
            return false;
        if (!a[i])
            return true;
    }
    return true;
}

TEndAction ChooseEndAction(uint32_t pid, uint32_t ownPid, const char* chosen, const char* current,
                           int size)
{
    if (pid == ownPid)
        return EndHost;
    if (!current || !SameExeFile(chosen, current, size))
        return EndNothing;
    return EndProcess;
}

void ModuleColumnWidths(int listWidth, const int needed[kModuleColumns], int widths[kModuleColumns])
{
    widths[1] = needed[1];
    widths[2] = needed[2];
    int rest = listWidth - needed[1] - needed[2];
    widths[0] = rest > needed[0] ? rest : needed[0];
}
