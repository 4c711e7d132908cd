#include "activity_log.h"

#include "../../common/lock.h"
#include "../../common/logic/numtext.h"
#include "../../common/logic/text.h"

namespace {
TLock LogLock;
} // namespace

int FormatLogLine(const TLogTime& time, const char* requestWord, const char* mbWord, int32_t amount,
                  const char* tag, char* out)
{
    // Room for the line end is kept back from every piece.
    const int room = kMaxLogLine - 2;
    char number[12];
    out[0] = 0;
    auto add = [&](const char* piece) { AppendText(out, room, piece); };
    auto addNumber = [&](int32_t value) {
        FormatDecimal(value, number);
        add(number);
    };
    add("[");
    addNumber(time.Day);
    add("/");
    addNumber(time.Month);
    add("/");
    addNumber(time.Year);
    add(" ");
    addNumber(time.Hour);
    add(":");
    addNumber(time.Minute);
    add("]");
    add(requestWord);
    add(" ");
    addNumber(amount);
    add(mbWord);
    add(" #");
    add(tag);
    int n = TextLength(out);
    out[n++] = '\r';
    out[n++] = '\n';
    out[n] = 0;
    return n;
}

void InitActivityLog() { InitLock(&LogLock); }

bool AppendLogLine(TAppendToFile append, const char* path, const char* line, uint32_t length)
{
    Lock(&LogLock);
    bool written = append(path, line, length);
    Unlock(&LogLock);
    return written;
}
