// The activity log's line and its serialised append. Its Win32 half:
// activity_log.
#pragma once
#include <stdint.h>

struct TLogTime {
    uint16_t Year, Month, Day, Hour, Minute;
};

enum { kMaxLogLine = 300 };

// "[d/m/yyyy h:m]" + requestWord + " " + amount + mbWord + " #" + tag + CR LF,
// numbers without leading zeros. The two words are the log's texts
// " Запрос " and " Мб" in the ANSI code page. Returns the length written
// into `out` (kMaxLogLine bytes); over-long words are cut, the line end stays.
int FormatLogLine(const TLogTime& time, const char* requestWord, const char* mbWord, int32_t amount,
                  const char* tag, char* out);

// The platform's append: open or create the file, write at its end, close.
typedef bool (*TAppendToFile)(const char* path, const void* data, uint32_t length);

// Appends one line through `append`, one caller at a time, so every line
// reaches the file whole and none overwrites another. InitActivityLog runs
// once at start-up, before any other thread.
void InitActivityLog();
bool AppendLogLine(TAppendToFile append, const char* path, const char* line, uint32_t length);
