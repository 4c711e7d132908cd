// Brindlecap.log against real files: the exact bytes of a line, appending,
// lost lines, and many threads writing at once.
#include <windows.h>
#include <string.h>

#include <set>

#include "../../host/activity_log.h"
#include "../../host/hostenv.h"
#include "check.h"
#include "support.h"

namespace {

std::string TimeText(const SYSTEMTIME& t)
{
    char text[32];
    snprintf(text, sizeof text, "%u/%u/%u %u:%u", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute);
    return text;
}

// The time parts a line written between `from` and `to` may carry: one per
// minute, a minute boundary may fall in between.
std::set<std::string> TimesBetween(const SYSTEMTIME& from, const SYSTEMTIME& to)
{
    std::set<std::string> times;
    SYSTEMTIME t = from;
    t.wSecond = 0;
    t.wMilliseconds = 0;
    FILETIME file;
    SystemTimeToFileTime(&t, &file);
    ULARGE_INTEGER at = {{file.dwLowDateTime, file.dwHighDateTime}};
    std::string last = TimeText(to);
    for (int i = 0; i < 10; ++i) {
        file.dwLowDateTime = at.LowPart;
        file.dwHighDateTime = at.HighPart;
        FileTimeToSystemTime(&file, &t);
        times.insert(TimeText(t));
        if (TimeText(t) == last)
            break;
        at.QuadPart += 60ull * 10000000ull;
    }
    return times;
}

SYSTEMTIME Now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t;
}

// The line after its time part, in the ANSI bytes the file holds.
std::string LineAfterTime(int32_t amount, const char* tag)
{
    return InCodePage(1251, " Запрос ") + " " + std::to_string(amount) + InCodePage(1251, " Мб") +
           " #" + tag + "\r\n";
}

// True when `line` (with its line end) is the line for amount and tag,
// stamped with one of `times`.
bool IsLogLine(const std::string& line, int32_t amount, const char* tag,
               const std::set<std::string>& times)
{
    for (auto& time : times)
        if (line == "[" + time + "]" + LineAfterTime(amount, tag))
            return true;
    return false;
}

std::string LogPath(const TTempFolder& folder) { return folder.File("Brindlecap.log"); }

} // namespace

CHECK_CASE(ActivityLogFirstLineCreatesTheFile)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    CHECK(!FileExists(LogPath(folder)));
    SYSTEMTIME from = Now();
    WriteLog("MANUAL", 48);
    SYSTEMTIME to = Now();
    std::string log;
    CHECK(ReadWholeFile(LogPath(folder), &log));
    CHECK(IsLogLine(log, 48, "MANUAL", TimesBetween(from, to)));
    if (!IsLogLine(log, 48, "MANUAL", TimesBetween(from, to)))
        printf("the log holds: %s\n", log.c_str());
}

CHECK_CASE(ActivityLogAppendsBehindWhatIsThere)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    const std::string earlier = "written by an earlier run\r\n";
    CHECK(WriteWholeFile(LogPath(folder), earlier));
    SYSTEMTIME from = Now();
    WriteLog("AUTO", 0);
    WriteLog("CRITICAL", -5);
    SYSTEMTIME to = Now();
    std::set<std::string> times = TimesBetween(from, to);

    std::string log;
    CHECK(ReadWholeFile(LogPath(folder), &log));
    CHECK(log.compare(0, earlier.size(), earlier) == 0);
    size_t second = log.find("\r\n", earlier.size());
    CHECK(second != std::string::npos);
    if (second == std::string::npos)
        return;
    second += 2;
    CHECK(IsLogLine(log.substr(earlier.size(), second - earlier.size()), 0, "AUTO", times));
    CHECK(IsLogLine(log.substr(second), -5, "CRITICAL", times));
}

CHECK_CASE(ActivityLogLosesTheLineWhereItCannotWrite)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    // A folder that does not exist.
    std::string absent = folder.File("absent\\");
    strcpy(ProgramDir, absent.c_str());
    WriteLog("MANUAL", 1);
    CHECK(!FileExists(absent));

    // A log another program holds without sharing it for writing, and a
    // read-only log, keep their bytes.
    strcpy(ProgramDir, folder.Path().c_str());
    const std::string kept = "kept\r\n";
    CHECK(WriteWholeFile(LogPath(folder), kept));
    HANDLE other = CreateFileA(LogPath(folder).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(other != INVALID_HANDLE_VALUE);
    WriteLog("MANUAL", 2);
    CloseHandle(other);
    std::string log;
    CHECK(ReadWholeFile(LogPath(folder), &log));
    CHECK(log == kept);

    if (ReadOnlyFilesRefuseWriting(folder.Path())) {
        CHECK(SetFileAttributesA(LogPath(folder).c_str(), FILE_ATTRIBUTE_READONLY));
        WriteLog("MANUAL", 3);
        CHECK(ReadWholeFile(LogPath(folder), &log));
        CHECK(log == kept);
    }
}

namespace {

const int kWriters = 8;
const int kLinesEach = 200;
const char* const kTags[] = {"CRITICAL", "AUTO", "MANUAL"};

struct TWriter {
    int index;
    HANDLE go;
};

DWORD WINAPI WriteLines(void* parameter)
{
    TWriter* writer = static_cast<TWriter*>(parameter);
    WaitForSingleObject(writer->go, INFINITE);
    for (int i = 0; i < kLinesEach; ++i)
        WriteLog(kTags[writer->index % 3], writer->index * 1000 + i);
    return 0;
}

} // namespace

CHECK_CASE(ActivityLogManyThreadsWriteWholeLines)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TWriter writers[kWriters];
    HANDLE threads[kWriters];
    for (int i = 0; i < kWriters; ++i) {
        writers[i] = {i, go};
        threads[i] = CreateThread(nullptr, 0, WriteLines, &writers[i], 0, nullptr);
    }
    SYSTEMTIME from = Now();
    SetEvent(go);
    WaitForMultipleObjects(kWriters, threads, TRUE, INFINITE);
    SYSTEMTIME to = Now();
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(go);

    std::string log;
    CHECK(ReadWholeFile(LogPath(folder), &log));
    std::set<std::string> times = TimesBetween(from, to);
    const std::string request = InCodePage(1251, " Запрос ") + " ";
    // Each writer's lines appear once each, whole, in the order it wrote.
    int next[kWriters] = {};
    int lines = 0, malformed = 0, outOfOrder = 0;
    size_t at = 0;
    while (at < log.size()) {
        size_t end = log.find("\r\n", at);
        if (end == std::string::npos) {
            ++malformed;
            break;
        }
        std::string line = log.substr(at, end + 2 - at);
        at = end + 2;
        ++lines;
        size_t number = line.find(']');
        int amount = -1;
        if (number != std::string::npos && line.compare(number + 1, request.size(), request) == 0)
            amount = atoi(line.c_str() + number + 1 + request.size());
        int writer = amount / 1000;
        if (amount < 0 || writer >= kWriters ||
            !IsLogLine(line, amount, kTags[writer % 3], times)) {
            if (malformed++ < 3)
                printf("malformed line: %s", line.c_str());
            continue;
        }
        if (amount % 1000 != next[writer])
            ++outOfOrder;
        next[writer] = amount % 1000 + 1;
    }
    CHECK_EQ(kWriters * kLinesEach, lines);
    CHECK_EQ(0, malformed);
    CHECK_EQ(0, outOfOrder);
    for (int i = 0; i < kWriters; ++i)
        CHECK_EQ(kLinesEach, next[i]);
}
