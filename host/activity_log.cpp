#include "activity_log.h"

#include <windows.h>

#include "../common/logic/language.h"
#include "resources/resource.h"
#include "hostenv.h"
#include "hoststrings.h"

static bool AppendToFile(const char* path, const void* data, uint32_t length)
{
    // Opening the existing file, or creating it when missing; write access
    // alone, so that it works on every Windows.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
              WriteFile(file, data, length, &written, nullptr) && written == length;
    CloseHandle(file);
    return ok;
}

void WriteLog(const char* tag, int32_t amount)
{
    char path[kPathBuffer];
    ProgramFile("Brindlecap.log", path, sizeof path);

    char requestWord[kStringBuffer];
    char mbWord[kStringBuffer];
    // A stored format: the log's language, not the user interface's.
    WORD language = LogLanguage(GetACP());
    LoadLanguageString(HostInstance, language, IDS_LOG_REQUEST, requestWord, kStringBuffer);
    LoadLanguageString(HostInstance, language, IDS_LOG_MB, mbWord, kStringBuffer);

    SYSTEMTIME now;
    GetLocalTime(&now);
    TLogTime time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
    char line[kMaxLogLine];
    int length = FormatLogLine(time, requestWord, mbWord, amount, tag, line);
    AppendLogLine(AppendToFile, path, line, uint32_t(length));
}
