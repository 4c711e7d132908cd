// Which way of running the command line picks, seen from outside: a
// resident copy keeps its window and its message loop until the shell closes
// it; a one-shot copy ends by itself. Either way it ends with 0 through its
// shutdown, which leaves the settings file.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../host/resources/resource.h"
#include "../win32/check.h"
#include "probe.h"
#include "sandbox.h"

namespace {

void ExpectStaysResident(const char* arguments)
{
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    const char* work = sandbox.NewFolder();
    TChild* child = sandbox.Start(program, work, arguments);
    CHECK(child);
    HWND window = ExpectResident(child);
    ExpectClosesWithZero(sandbox, child, window, program);
}

void ExpectEndsAtOnce(const char* arguments)
{
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    const char* work = sandbox.NewFolder();
    TChild* child = sandbox.Start(program, work, arguments);
    CHECK(child);
    ExpectEndsWithZero(sandbox, child);
    if (!program)
        return;
    char ini[MAX_PATH];
    FilePath(program, "Brindlecap.ini", ini);
    ExpectFileBytes(ini, kDefaultSettingsFile, sizeof kDefaultSettingsFile);
}

// The memory dialog comes up and waits; its "Ok" ends the program.
void ExpectMemoryDialog(const char* arguments)
{
    TSandbox sandbox;
    TChild* child = sandbox.Start(sandbox.InstallProgram(), sandbox.NewFolder(), arguments);
    HWND dialog = WaitForDialog(child, 1011);
    CHECK(dialog);
    if (dialog)
        PostMessageA(dialog, WM_COMMAND, IDC_OK, 0);
    ExpectEndsWithZero(sandbox, child);
}

} // namespace

CHECK_CASE(TrayModeStaysUntilTheShellClosesIt)
{
    CHECK(!AnyMainWindow());
    // Only the first character counts; "/" and "-" are no mode characters.
    const char* starts[] = {"", "x", "/S", "-s"};
    for (const char* arguments : starts)
        ExpectStaysResident(arguments);
}

CHECK_CASE(HiddenResidentModeStaysUntilTheShellClosesIt)
{
    CHECK(!AnyMainWindow());
    const char* starts[] = {"Silent", "start"};
    for (const char* arguments : starts)
        ExpectStaysResident(arguments);
}

CHECK_CASE(OneShotCleaningsEndAtOnce)
{
    CHECK(!AnyMainWindow());
    // "C D" reads the letter as the amount 0 and opens no dialog.
    const char* starts[] = {"C", "C -5", "C all", "C D", "C 100MB"};
    for (const char* arguments : starts)
        ExpectEndsAtOnce(arguments);
}

CHECK_CASE(QuotesAndBlanksSplitTheCommandLineAsTheSystemDoes)
{
    CHECK(!AnyMainWindow());
    // An empty pair of quotes separates; other quotes group and are dropped.
    const char* cleanings[] = {"\"\" C 100", "\"\"C 5", "\"C\" \"\" 0", "\"c 100"};
    for (const char* arguments : cleanings)
        ExpectEndsAtOnce(arguments);
    // A quoted blank is text, so the first character is a blank: tray mode.
    ExpectStaysResident("\" C\"");
    // A Cyrillic letter (0xD1 in code page 1251) is text, not a separator.
    ExpectStaysResident("\xD1"
                        "C 100");
}

CHECK_CASE(AVeryLongCommandLineDoesNotUpsetTheProgram)
{
    CHECK(!AnyMainWindow());
    // Digits, quotes and blanks far past any parameter buffer.
    static char noise[5001];
    for (int i = 0; i < 5000; ++i)
        noise[i] = i % 7 == 3 ? '"' : i % 13 == 5 ? ' ' : char('0' + i % 10);
    noise[5000] = 0;
    static char arguments[5100];
    // As the cleaning amount; the leading letter makes it 0, so that the run
    // stays short.
    snprintf(arguments, sizeof arguments, "C x%s", noise);
    ExpectEndsAtOnce(arguments);
    // As the first parameter: "7..." is the tray mode.
    snprintf(arguments, sizeof arguments, "7%s", noise);
    ExpectStaysResident(arguments);
    // One parameter of 5000 quoted characters, blanks included.
    for (int i = 0; i < 5000; ++i)
        noise[i] = i % 13 == 5 ? ' ' : char('0' + i % 10);
    snprintf(arguments, sizeof arguments, "C \"x%s\" d", noise);
    ExpectMemoryDialog(arguments);
}
