#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "../../host/logic/activity_log.h"

namespace {

// The string table's words in the ANSI code page 1251.
const char kRequestWord[] = " \xC7\xE0\xEF\xF0\xEE\xF1 "; // " Запрос "
const char kMbWord[] = " \xCC\xE1";                       // " Мб"

// Formats into a heap buffer of exactly kMaxLogLine bytes, so that a write
// past it is an AddressSanitizer error.
std::string Line(const TLogTime& time, const char* requestWord, const char* mbWord, int32_t amount,
                 const char* tag)
{
    std::unique_ptr<char[]> out(new char[kMaxLogLine]);
    int n = FormatLogLine(time, requestWord, mbWord, amount, tag, out.get());
    EXPECT_EQ(int(std::strlen(out.get())), n);
    return std::string(out.get());
}

TEST(LogLine, PiecesInOrderWithoutLeadingZeros)
{
    const struct {
        TLogTime time;
        int32_t amount;
        const char* tag;
        std::string expected;
    } cases[] = {
        {{2026, 12, 7, 2, 9},
         48,
         "MANUAL",
         "[7/12/2026 2:9]" + std::string(kRequestWord) + " 48" + kMbWord + " #MANUAL\r\n"},
        {{2027, 3, 3, 9, 5},
         128,
         "AUTO",
         "[3/3/2027 9:5]" + std::string(kRequestWord) + " 128" + kMbWord + " #AUTO\r\n"},
        {{2026, 1, 31, 23, 59},
         64,
         "CRITICAL",
         "[31/1/2026 23:59]" + std::string(kRequestWord) + " 64" + kMbWord + " #CRITICAL\r\n"},
        {{2026, 10, 10, 0, 0},
         0,
         "MANUAL",
         "[10/10/2026 0:0]" + std::string(kRequestWord) + " 0" + kMbWord + " #MANUAL\r\n"},
        {{2026, 5, 1, 12, 30},
         -5,
         "MANUAL",
         "[1/5/2026 12:30]" + std::string(kRequestWord) + " -5" + kMbWord + " #MANUAL\r\n"},
        {{2026, 5, 1, 12, 30},
         INT32_MIN,
         "MANUAL",
         "[1/5/2026 12:30]" + std::string(kRequestWord) + " -2147483648" + kMbWord +
             " #MANUAL\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Line(c.time, kRequestWord, kMbWord, c.amount, c.tag));
}

TEST(LogLine, ExactBytesOfTheManualExample)
{
    const char expected[] = "[7/12/2026 2:9] \xC7\xE0\xEF\xF0\xEE\xF1  48 \xCC\xE1 #MANUAL\r\n";
    EXPECT_EQ(std::string(expected),
              Line({2026, 12, 7, 2, 9}, kRequestWord, kMbWord, 48, "MANUAL"));
}

TEST(LogLine, OverlongWordsAreCutButTheLineEndStays)
{
    const std::string longWord(1000, 'x');
    const TLogTime time = {2026, 12, 7, 2, 9};
    const std::string lines[] = {
        Line(time, longWord.c_str(), kMbWord, 48, "MANUAL"),
        Line(time, kRequestWord, longWord.c_str(), 48, "MANUAL"),
        Line(time, kRequestWord, kMbWord, 48, longWord.c_str()),
        Line(time, longWord.c_str(), longWord.c_str(), INT32_MIN, longWord.c_str()),
    };
    for (const std::string& line : lines) {
        EXPECT_LT(line.size(), size_t(kMaxLogLine)); // the terminator fits too
        EXPECT_EQ(0u, line.find("[7/12/2026 2:9]"));
        EXPECT_EQ(line.size() - 2, line.find("\r\n")); // ends in CR LF, only there
    }
    // The request word is cut where the room ends, so nothing after it shows.
    EXPECT_EQ(std::string::npos, lines[0].find('#'));
}

TEST(LogLine, ALineThatJustFitsIsKeptWhole)
{
    const TLogTime time = {2026, 12, 7, 2, 9};
    const std::string shortest = Line(time, "", kMbWord, 48, "MANUAL");
    // Longest line: kMaxLogLine - 1 bytes with its CR LF, then the terminator.
    const size_t spare = size_t(kMaxLogLine) - 1 - shortest.size();
    const std::string fitting(spare, 'w');
    const std::string whole = Line(time, fitting.c_str(), kMbWord, 48, "MANUAL");
    EXPECT_EQ(size_t(kMaxLogLine) - 1, whole.size());
    EXPECT_NE(std::string::npos, whole.find(" #MANUAL\r\n"));

    const std::string oneMore(spare + 1, 'w');
    const std::string cut = Line(time, oneMore.c_str(), kMbWord, 48, "MANUAL");
    EXPECT_EQ(size_t(kMaxLogLine) - 1, cut.size());
    EXPECT_NE(std::string::npos, cut.find(" #MANUA\r\n"));
}

struct AppendCall {
    int calls = 0;
    std::string path, data;
    bool result = true;
};
AppendCall LastAppend;

bool RecordAppend(const char* path, const void* data, uint32_t length)
{
    ++LastAppend.calls;
    LastAppend.path = path;
    LastAppend.data.assign(static_cast<const char*>(data), length);
    return LastAppend.result;
}

TEST(AppendLogLine, HandsTheWholeLineToTheAppendAndItsResultBack)
{
    static const bool initialised = (InitActivityLog(), true);
    (void)initialised;
    const char line[] = "[3/3/2027 9:5] x 1 y #AUTO\r\n";
    const uint32_t length = uint32_t(std::strlen(line));

    LastAppend = AppendCall();
    EXPECT_TRUE(AppendLogLine(RecordAppend, "C:\\dir\\Brindlecap.log", line, length));
    EXPECT_EQ(1, LastAppend.calls);
    EXPECT_EQ("C:\\dir\\Brindlecap.log", LastAppend.path);
    EXPECT_EQ(std::string(line), LastAppend.data);

    LastAppend = AppendCall();
    LastAppend.result = false;
    EXPECT_FALSE(AppendLogLine(RecordAppend, "x.log", line, length));
    EXPECT_EQ(1, LastAppend.calls);
}

} // namespace
