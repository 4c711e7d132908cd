#include "setup.h"

#include "../../../common/logic/numtext.h"
#include "../../../common/logic/text.h"
#include "../resource.h"

static int32_t EditNumber(const char* text, int limit)
{
    char head[8];
    if (limit > int(sizeof head) - 1)
        limit = int(sizeof head) - 1;
    CopyText(head, limit + 1, text);
    return ParseNumber(head);
}

uint16_t EditValue16(const char* text, int limit) { return uint16_t(EditNumber(text, limit)); }

uint8_t EditValue8(const char* text, int limit) { return uint8_t(EditNumber(text, limit)); }

// An interval of 0 minutes means no automatic cleaning; the host keeps its
// own floor under the refresh period for files written by hand.
const TEditField kEditFields[kEditFieldCount] = {
    {IDC_AUTOCLEAN_INTERVAL, 2, 0, 99, IDS_BAD_AUTOCLEAN_INTERVAL},
    {IDC_AUTOCLEAN_PERCENT, 2, 1, 99, IDS_BAD_AUTOCLEAN_PERCENT},
    {IDC_CRITICAL_LOAD, 3, 1, 100, IDS_BAD_CRITICAL_LOAD},
    {IDC_CRITICAL_CLEAN, 3, 1, 100, IDS_BAD_CRITICAL_CLEAN},
    {IDC_CPU_LIMIT, 3, 0, 100, IDS_BAD_CPU_LIMIT},
    {IDC_INFO_REFRESH, 4, 100, 9999, IDS_BAD_INFO_REFRESH},
};

// Text beyond the limit would be cut off unseen by the save, so it is
// refused rather than read as its first characters.
bool EditAccepts(const char* text, const TEditField& field)
{
    int length = 0;
    for (; text[length]; ++length)
        if (length >= field.Limit || text[length] < '0' || text[length] > '9')
            return false;
    if (length == 0)
        return false;
    int32_t value = ParseNumber(text);
    return value >= field.Lowest && value <= field.Highest;
}

int FirstRefusedEdit(const char* const texts[kEditFieldCount])
{
    for (int i = 0; i < kEditFieldCount; ++i)
        if (!EditAccepts(texts[i], kEditFields[i]))
            return i;
    return -1;
}

bool QuotedCommand(char* out, int size, const char* program)
{
    if (TextLength(program) + 3 > size)
        return false;
    CopyText(out, size, "\"");
    AppendText(out, size, program);
    AppendText(out, size, "\"");
    return true;
}

bool CommandNames(const char* data, const char* program, TSamePath same)
{
    int length = TextLength(data);
    if (length < 2 || data[0] != '"' || data[length - 1] != '"')
        return same(data, program);
    // The quotes stripped; longer than any path the module reads.
    char inner[300];
    if (length - 1 > int(sizeof inner))
        return false;
    CopyText(inner, length - 1, data + 1);
    return same(inner, program);
}

uint8_t PlanAutostart(bool wanted, bool machineStarts, bool userStarts)
{
    if (!wanted)
        return uint8_t((machineStarts ? AutostartRemoveMachine : 0) |
                       (userStarts ? AutostartRemoveUser : 0));
    if (machineStarts)
        return userStarts ? uint8_t(AutostartRemoveUser) : uint8_t(0);
    return userStarts ? uint8_t(0) : uint8_t(AutostartWriteMachine);
}
