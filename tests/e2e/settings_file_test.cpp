// Brindlecap.ini as the user's folder sees it: what a run finds, reads and
// leaves behind.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../win32/check.h"
#include "probe.h"
#include "sandbox.h"

namespace {

// A run of a one-shot cleaning ("C" and an amount) with `before` (or no
// file when null) as the settings file beside the program; checks the exit
// and that the file afterwards holds `after`.
void ExpectSettingsRoundTrip(const BYTE* before, int beforeLength, const BYTE* after,
                             int afterLength)
{
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    const char* work = sandbox.NewFolder();
    CHECK(program && work);
    if (!program || !work)
        return;
    char ini[MAX_PATH];
    FilePath(program, "Brindlecap.ini", ini);
    if (before)
        CHECK(WriteBytes(ini, before, beforeLength));
    ExpectEndsWithZero(sandbox, sandbox.Start(program, work, "C 0"));
    ExpectFileBytes(ini, after, afterLength);
}

} // namespace

CHECK_CASE(CleaningFromAFreshFolderLeavesTheDefaultsBesideTheProgram)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* work = sandbox.NewFolder();
    // A folder name with a blank and Cyrillic letters: the quoted program
    // path must stay parameter 0, and the ANSI path must still find the
    // folder.
    const char* plain = sandbox.InstallProgram();
    const char* spaced = sandbox.InstallProgram("Мой Brindlecap");
    CHECK(work && plain && spaced);
    if (!work || !plain || !spaced)
        return;
    const char* folders[] = {plain, spaced};
    for (const char* program : folders) {
        ExpectEndsWithZero(sandbox, sandbox.Start(program, work, "C 100"));
        char path[MAX_PATH];
        FilePath(program, "Brindlecap.ini", path);
        ExpectFileBytes(path, kDefaultSettingsFile, sizeof kDefaultSettingsFile);
        // A cleaning started from the command line is not logged.
        FilePath(program, "Brindlecap.log", path);
        CHECK(!FileExists(path));
    }
    // Nothing lands in the current directory: every file lies beside the
    // program.
    char path[MAX_PATH];
    FilePath(work, "Brindlecap.ini", path);
    CHECK(!FileExists(path));
    FilePath(work, "Brindlecap.log", path);
    CHECK(!FileExists(path));
}

CHECK_CASE(TheSettingsFileIsReadBesideTheProgramNotInTheCurrentDirectory)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    const char* work = sandbox.NewFolder();
    CHECK(program && work);
    if (!program || !work)
        return;
    // A decoy in the current directory, different from the real file.
    BYTE decoy[23];
    memset(decoy, 0x77, sizeof decoy);
    const BYTE mine[23] = {0x05, 0x00, 0x10, 0x00, 0x11, 0x22, 0x33, 0x44, 0x00, 0x03, 0x09, 0x34,
                           0x12, 0x78, 0x56, 0x2C, 0x01, 0x01, 0x02, 0xFF, 0xFF, 0x10, 0x00};
    char decoyPath[MAX_PATH], minePath[MAX_PATH];
    FilePath(work, "Brindlecap.ini", decoyPath);
    FilePath(program, "Brindlecap.ini", minePath);
    CHECK(WriteBytes(decoyPath, decoy, sizeof decoy));
    CHECK(WriteBytes(minePath, mine, sizeof mine));
    ExpectEndsWithZero(sandbox, sandbox.Start(program, work, "C 0"));
    ExpectFileBytes(minePath, mine, sizeof mine);
    ExpectFileBytes(decoyPath, decoy, sizeof decoy);
}

CHECK_CASE(ASettingsFileOfAnyLengthComesBackAs23Bytes)
{
    CHECK(!AnyMainWindow());
    // Ten bytes: the fields up to TrayIconMode come from the file, the rest
    // keep their defaults.
    const BYTE ten[] = {0x05, 0x00, 0x10, 0x00, 0x11, 0x22, 0x33, 0x44, 0x00, 0x03};
    const BYTE tenAfter[23] = {0x05, 0x00, 0x10, 0x00, 0x11, 0x22, 0x33, 0x44, 0x00, 0x03, 0x01, 0x00,
                               0x00, 0x00, 0x00, 0xF4, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    ExpectSettingsRoundTrip(ten, sizeof ten, tenAfter, sizeof tenAfter);

    // Sixteen bytes end inside InfoRefreshPeriod (default 500 = F4 01): its
    // low byte comes from the file, its high byte stays.
    const BYTE sixteen[] = {0x1E, 0x00, 0x30, 0x00, 0x2D, 0x5F, 0x19, 0x50,
                            0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2A};
    const BYTE sixteenAfter[23] = {0x1E, 0x00, 0x30, 0x00, 0x2D, 0x5F, 0x19, 0x50,
                                   0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2A,
                                   0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    ExpectSettingsRoundTrip(sixteen, sizeof sixteen, sixteenAfter, sizeof sixteenAfter);

    // Thirty bytes: only the first 23 count, and only they are written back.
    BYTE thirty[30];
    for (int i = 0; i < 30; ++i)
        thirty[i] = BYTE(0xA0 + i);
    ExpectSettingsRoundTrip(thirty, sizeof thirty, thirty, 23);

    // An empty file is no settings at all.
    ExpectSettingsRoundTrip(thirty, 0, kDefaultSettingsFile, sizeof kDefaultSettingsFile);
}

// Whether this system refuses to open a read-only file for writing. Wine
// maps the attribute to the Unix mode bits, which do not stop root.
static bool ReadOnlyIsEnforced(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(file);
    return false;
}

CHECK_CASE(ASettingsFileThatCannotBeOpenedForWritingIsLeftAlone)
{
    CHECK(!AnyMainWindow());
    const BYTE ten[] = {0x05, 0x00, 0x10, 0x00, 0x11, 0x22, 0x33, 0x44, 0x00, 0x03};
    for (int locked = 0; locked < 2; ++locked) {
        TSandbox sandbox;
        const char* program = sandbox.InstallProgram();
        const char* work = sandbox.NewFolder();
        CHECK(program && work);
        if (!program || !work)
            return;
        char ini[MAX_PATH];
        FilePath(program, "Brindlecap.ini", ini);
        CHECK(WriteBytes(ini, ten, sizeof ten));
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (!locked) {
            CHECK(SetFileAttributesA(ini, FILE_ATTRIBUTE_READONLY));
            if (!ReadOnlyIsEnforced(ini)) {
                printf("  read-only files are writable for this user here; "
                       "only the locked file is tried\n");
                continue;
            }
        } else {
            // Another program holds the file and shares it for reading only.
            lock = CreateFileA(ini, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            CHECK(lock != INVALID_HANDLE_VALUE);
        }
        ExpectEndsWithZero(sandbox, sandbox.Start(program, work, "C 0"));
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        ExpectFileBytes(ini, ten, sizeof ten);
    }
}
