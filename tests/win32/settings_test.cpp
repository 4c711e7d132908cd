// Brindlecap.ini against real files: what a load takes from files of every
// length, and what a save leaves on disk.
#include <windows.h>
#include <string.h>

#include "../../common/settingsfile.h"
#include "../../host/settings.h"
#include "check.h"
#include "support.h"
#include "unixlink.h"

namespace {

// A record no file in these cases holds, so that every byte a load does not
// touch is seen to keep its value.
std::string Pattern()
{
    std::string bytes;
    for (int i = 0; i < kSettingsSize; ++i)
        bytes += char(0xA0 + i);
    return bytes;
}

void SetRecord(const std::string& bytes) { memcpy(&Settings, bytes.data(), kSettingsSize); }
std::string Record() { return std::string((const char*)&Settings, kSettingsSize); }

// Bytes 0x10, 0x11, ... of the given length.
std::string Counting(int length)
{
    std::string bytes;
    for (int i = 0; i < length; ++i)
        bytes += char(0x10 + i);
    return bytes;
}

const unsigned char kDefaultFile[kSettingsSize] = {0x1E, 0x00, 0x30, 0x00, 0x2D, 0x5F, 0x19, 0x50,
                                                   0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF4,
                                                   0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// Loads `file` (absent when null) from a fresh program folder into the
// pattern record.
std::string LoadFrom(const std::string* file)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    if (file)
        CHECK(WriteWholeFile(folder.File("Brindlecap.ini"), *file));
    SetRecord(Pattern());
    LoadSettings();
    return Record();
}

} // namespace

CHECK_CASE(SettingsLoadWithoutFileKeepsTheRecord)
{
    CHECK(LoadFrom(nullptr) == Pattern());
    std::string empty;
    CHECK(LoadFrom(&empty) == Pattern());
}

// The load hands on as many bytes as it read; what a field cut short takes
// is the record's rule, tested with it.
CHECK_CASE(SettingsLoadOfAShortFileChangesOnlyTheBytesThere)
{
    std::string ten = Counting(10);
    CHECK(LoadFrom(&ten) == ten + Pattern().substr(10));
}

CHECK_CASE(SettingsLoadOfALongFileTakesOnly23Bytes)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    std::string path = folder.File("Brindlecap.ini");
    std::string thirty = Counting(30);
    CHECK(WriteWholeFile(path, thirty));
    SetRecord(Pattern());
    LoadSettings();
    CHECK(Record() == thirty.substr(0, kSettingsSize));
    // Opened for writing as well, yet left as it was.
    std::string onDisk;
    CHECK(ReadWholeFile(path, &onDisk));
    CHECK(onDisk == thirty);
}

CHECK_CASE(SettingsLoadReadsAFileAnotherProgramHoldsOpen)
{
    // The settings module may have the file open for reading and writing.
    TTempFolder folder;
    CHECK(folder.Ready());
    std::string path = folder.File("Brindlecap.ini");
    std::string file = Counting(kSettingsSize);
    CHECK(WriteWholeFile(path, file));
    HANDLE other =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(other != INVALID_HANDLE_VALUE);
    SetRecord(Pattern());
    LoadSettings();
    CHECK(Record() == file);
    CloseHandle(other);
}

CHECK_CASE(SettingsAReadOnlyFileCountsAsMissingAndIsNeverWritten)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    bool refused = ReadOnlyFilesRefuseWriting(folder.Path());
    std::string path = folder.File("Brindlecap.ini");
    std::string file = Counting(kSettingsSize);
    CHECK(WriteWholeFile(path, file));
    CHECK(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));

    SetRecord(Pattern());
    LoadSettings();
    if (refused)
        CHECK(Record() == Pattern());

    SaveSettings(path.c_str());
    std::string onDisk;
    CHECK(ReadWholeFile(path, &onDisk));
    CHECK(onDisk == file);
    CHECK(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
}

CHECK_CASE(SettingsAFileThatCannotBeOpenedForWritingCountsAsMissing)
{
    // Held by another program that shares it for reading only: the load's
    // read+write open fails as it does for a read-only file.
    TTempFolder folder;
    CHECK(folder.Ready());
    std::string path = folder.File("Brindlecap.ini");
    CHECK(WriteWholeFile(path, Counting(kSettingsSize)));
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(other != INVALID_HANDLE_VALUE);
    SetRecord(Pattern());
    LoadSettings();
    CHECK(Record() == Pattern());
    CloseHandle(other);
}

CHECK_CASE(SettingsSaveWritesExactly23BytesInTheFileLayout)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    std::string path = folder.File("Brindlecap.ini");

    Settings = kDefaultSettings;
    Settings.AutoCleanInterval = 0x0102;
    Settings.ManualCleanAmount = 0x0304;
    Settings.AutoCleanPercent = 0x05;
    Settings.CriticalLoadPercent = 0x06;
    Settings.CriticalCleanPercent = 0x07;
    Settings.CpuLoadLimit = 0x08;
    Settings.LogEnabled = 0x09;
    Settings.TrayIconMode = 0x0A;
    Settings.Reserved = 0x0B;
    Settings.MainDialogLeft = 0xFFF6; // -10 as the window manager gave it
    Settings.MainDialogTop = 0x0E0F;
    Settings.InfoRefreshPeriod = 0x1011;
    Settings.InfoMonitoring = 0x12;
    Settings.InfoAlwaysOnTop = 0x13;
    Settings.InfoDialogLeft = 0x1415;
    Settings.InfoDialogTop = 0x1617;
    const unsigned char expected[kSettingsSize] = {0x02, 0x01, 0x04, 0x03, 0x05, 0x06, 0x07, 0x08,
                                                   0x09, 0x0A, 0x0B, 0xF6, 0xFF, 0x0F, 0x0E, 0x11,
                                                   0x10, 0x12, 0x13, 0x15, 0x14, 0x17, 0x16};
    SaveSettings(path.c_str());
    std::string onDisk;
    CHECK(ReadWholeFile(path, &onDisk));
    CHECK(onDisk == std::string((const char*)expected, kSettingsSize));

    // And what was saved loads back whole.
    TSettings saved = Settings;
    SetRecord(Pattern());
    LoadSettings();
    CHECK(memcmp(&Settings, &saved, kSettingsSize) == 0);
    Settings = kDefaultSettings;
}

CHECK_CASE(SettingsSaveTruncatesALongerFile)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    std::string path = folder.File("Brindlecap.ini");
    CHECK(WriteWholeFile(path, std::string(4096, 'x')));
    Settings = kDefaultSettings;
    SaveSettings(path.c_str());
    std::string onDisk;
    CHECK(ReadWholeFile(path, &onDisk));
    CHECK(onDisk == std::string((const char*)kDefaultFile, kSettingsSize));
}

CHECK_CASE(SettingsSaveIntoAMissingFolderFailsQuietly)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    std::string missing = folder.File("absent\\");
    Settings = kDefaultSettings;
    SaveSettings((missing + "Brindlecap.ini").c_str());
    CHECK(!FileExists(missing));
    // The program goes on with its record as it was.
    CHECK(memcmp(&Settings, &kDefaultSettings, kSettingsSize) == 0);
}

CHECK_CASE(SettingsAFailedWriteIsReportedAndLeavesTheFileWhole)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    // A device that refuses every write stands in for a full disk.
    std::string full = folder.File("full.ini");
    CHECK(MakeUnixLink("/dev/full", full.c_str()));
    CHECK_EQ(SettingsWriteFailed, WriteSettingsFile(full.c_str(), kDefaultSettings));
    Settings = kDefaultSettings;
    SaveSettings(full.c_str()); // silent
    CHECK(RemoveUnixLink(full.c_str()));

    // The record goes over the old bytes: a longer file keeps its first 23
    // bytes replaced and is cut after them, a file that cannot be opened
    // for writing is never touched.
    std::string path = folder.File("Brindlecap.ini");
    CHECK(WriteWholeFile(path, Counting(40)));
    CHECK_EQ(SettingsWritten, WriteSettingsFile(path.c_str(), kDefaultSettings));
    std::string onDisk;
    CHECK(ReadWholeFile(path, &onDisk));
    CHECK(onDisk == std::string((const char*)kDefaultFile, kSettingsSize));
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK_EQ(SettingsNotOpened, WriteSettingsFile(path.c_str(), Settings));
    CloseHandle(other);
}
