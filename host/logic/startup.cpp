#include "startup.h"

#include "../../common/logic/numtext.h"
#include "../../common/logic/text.h"

namespace {

bool IsSeparator(char c)
{
    // Compared unsigned: letters of the ANSI code page above 0x7F are text.
    return c != 0 && uint8_t(c) < uint8_t('!');
}

// Skips separators and empty quote pairs; returns the start of the next
// parameter (which is at the terminating zero when there is none).
const char* SkipToParameter(const char* p)
{
    for (;;) {
        while (IsSeparator(*p))
            ++p;
        if (p[0] == '"' && p[1] == '"')
            p += 2;
        else
            return p;
    }
}

// Reads one parameter from `p` into `out` (cut to fit) and returns the
// position after it.
const char* ReadParameter(const char* p, char* out, int size)
{
    int n = 0;
    auto put = [&](char c) {
        if (n < size - 1)
            out[n++] = c;
    };
    while (*p && !IsSeparator(*p)) {
        if (*p == '"') {
            ++p;
            while (*p && *p != '"')
                put(*p++);
            if (*p)
                ++p;
        } else {
            put(*p++);
        }
    }
    if (size > 0)
        out[n] = 0;
    return p;
}

} // namespace

bool GetParameter(const char* commandLine, int index, char* out, int size)
{
    if (size > 0)
        out[0] = 0;
    if (!commandLine || index < 0)
        return false;
    const char* p = commandLine;
    for (int i = 0;; ++i) {
        p = SkipToParameter(p);
        if (!*p) {
            if (size > 0)
                out[0] = 0;
            return false;
        }
        p = ReadParameter(p, out, size);
        if (i == index)
            return true;
    }
}

TMode ModeOf(char modeChar)
{
    switch (modeChar) {
    case 'S':
    case 's':
        return ModeHidden;
    case 'I':
    case 'i':
        return ModeInfo;
    case '?':
        return ModeAbout;
    case 'C':
    case 'c':
        return ModeClean;
    default:
        return ModeTray;
    }
}

TStartRequest ReadCommandLine(const char* commandLine)
{
    TStartRequest request = {};
    char parameter[kMaxParameter];
    request.ModeChar = '!';
    if (GetParameter(commandLine, 1, parameter, kMaxParameter)) {
        // Windows' own way, "/C" or "-?", reads like the bare letter.
        bool prefixed = (parameter[0] == '/' || parameter[0] == '-') && parameter[1];
        request.ModeChar = parameter[prefixed ? 1 : 0];
    }
    request.Mode = ModeOf(request.ModeChar);
    if (request.Mode != ModeClean)
        return request;

    GetParameter(commandLine, 2, parameter, kMaxParameter);
    request.CleanAllMemory = TextEquals(parameter, "A") || TextEquals(parameter, "a");
    request.CleanAmount = request.CleanAllMemory ? 0 : ParseNumber(parameter);
    GetParameter(commandLine, 3, parameter, kMaxParameter);
    request.CleanDialog = TextEquals(parameter, "D") || TextEquals(parameter, "d");
    return request;
}
