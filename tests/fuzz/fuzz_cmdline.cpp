// The command line is outside input: any bytes up to the terminating zero.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../../common/logic/path.h"
#include "../../host/logic/startup.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// `out` is a heap block of exactly `size` bytes, so a write past it shows.
void CheckParameter(const char* line, int index, int size, const char* whole, bool present)
{
    std::vector<char> out(size_t(size > 0 ? size : 1), 'x');
    bool got = GetParameter(line, index, out.data(), size);
    Check(got == present);
    if (size <= 0) {
        Check(out[0] == 'x'); // no room: nothing written
        return;
    }
    size_t n = strnlen(out.data(), size_t(size));
    Check(n < size_t(size));
    // A cut parameter is the beginning of the whole one.
    Check(std::strncmp(out.data(), whole, n) == 0);
    Check(n == std::strlen(whole) || n == size_t(size - 1));
}

void CheckDirectory(const char* path, int size)
{
    std::vector<char> out(size_t(size), 'x');
    DirectoryOf(path, out.data(), size);
    size_t n = strnlen(out.data(), size_t(size));
    Check(n < size_t(size));
    Check(std::strncmp(out.data(), path, n) == 0);
    if (n > 0)
        Check(path[n - 1] == '\\' || path[n - 1] == ':');
    // The cut is at the last "\" or ":", or nowhere when that much does not fit.
    size_t last = 0;
    for (size_t i = 0; path[i]; ++i)
        if (path[i] == '\\' || path[i] == ':')
            last = i + 1;
    Check(n == last || (n == 0 && last > size_t(size - 1)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back(0);
    const char* line = text.data();

    char whole[kMaxParameter];
    for (int index = 0; index < 5; ++index) {
        bool present = GetParameter(line, index, whole, kMaxParameter);
        if (!present)
            Check(whole[0] == 0);
        for (int small : {0, 1, 2, 5})
            CheckParameter(line, index, small, whole, present);
    }

    TStartRequest request = ReadCommandLine(line);
    char first[kMaxParameter];
    if (GetParameter(line, 1, first, kMaxParameter))
        Check(request.ModeChar == ((first[0] == '/' || first[0] == '-') && first[1] ? first[1] : first[0]));
    else
        Check(request.ModeChar == '!');
    Check(request.Mode == ModeOf(request.ModeChar));
    if (request.Mode != ModeClean)
        Check(!request.CleanAllMemory && request.CleanAmount == 0 && !request.CleanDialog);
    if (request.CleanAllMemory)
        Check(request.CleanAmount == 0);

    for (int small : {1, 2, 8, 260})
        CheckDirectory(line, small);
    return 0;
}
