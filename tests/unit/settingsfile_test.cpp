#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "../../common/logic/settingsfile.h"

namespace {

using Bytes = std::array<uint8_t, kSettingsSize>;

const Bytes kDefaultFile = {0x1E, 0x00, 0x30, 0x00, 0x2D, 0x5F, 0x19, 0x50, 0x01, 0x00, 0x01, 0x00,
                            0x00, 0x00, 0x00, 0xF4, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

Bytes Encoded(const TSettings& settings)
{
    Bytes out;
    EncodeSettings(settings, out.data());
    return out;
}

// A record whose every byte differs from the default file and from the
// `FileBytes` below, so that a byte taken from the wrong side shows.
TSettings CurrentRecord()
{
    TSettings s;
    s.AutoCleanInterval = 0xA1A2;
    s.ManualCleanAmount = 0xA3A4;
    s.AutoCleanPercent = 0xA5;
    s.CriticalLoadPercent = 0xA6;
    s.CriticalCleanPercent = 0xA7;
    s.CpuLoadLimit = 0xA8;
    s.LogEnabled = 0xA9;
    s.TrayIconMode = 0xAA;
    s.Reserved = 0xAB;
    s.MainDialogLeft = 0xABCD;
    s.MainDialogTop = 0xAEAF;
    s.InfoRefreshPeriod = 0xB0B1;
    s.InfoMonitoring = 0xB2;
    s.InfoAlwaysOnTop = 0xB3;
    s.InfoDialogLeft = 0xB4B5;
    s.InfoDialogTop = 0xB6B7;
    return s;
}

// File byte i is i + 1 (never zero, never one of the record's bytes).
std::vector<uint8_t> FileBytes(size_t length)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = uint8_t(i + 1);
    return bytes;
}

// Fields are read through int(...): gtest binds references, and a packed
// 16-bit field may sit at an odd address.
TEST(SettingsRecord, DefaultFileBytesAreTheDefaultRecord)
{
    TSettings s = CurrentRecord();
    DecodeSettings(kDefaultFile.data(), kSettingsSize, &s);
    EXPECT_EQ(kDefaultFile, Encoded(s));
    EXPECT_EQ(30, int(s.AutoCleanInterval));
    EXPECT_EQ(48, int(s.ManualCleanAmount));
    EXPECT_EQ(45, int(s.AutoCleanPercent));
    EXPECT_EQ(95, int(s.CriticalLoadPercent));
    EXPECT_EQ(25, int(s.CriticalCleanPercent));
    EXPECT_EQ(80, int(s.CpuLoadLimit));
    EXPECT_EQ(1, int(s.LogEnabled));
    EXPECT_EQ(0, int(s.TrayIconMode));
    EXPECT_EQ(1, int(s.Reserved));
    EXPECT_EQ(0, int(s.MainDialogLeft));
    EXPECT_EQ(0, int(s.MainDialogTop));
    EXPECT_EQ(500, int(s.InfoRefreshPeriod));
    EXPECT_EQ(0, int(s.InfoMonitoring));
    EXPECT_EQ(0, int(s.InfoAlwaysOnTop));
    EXPECT_EQ(0, int(s.InfoDialogLeft));
    EXPECT_EQ(0, int(s.InfoDialogTop));

    EXPECT_EQ(kDefaultFile, Encoded(kDefaultSettings));
}

TEST(SettingsRecord, MissingFileKeepsTheRecord)
{
    TSettings s = CurrentRecord();
    DecodeSettings(nullptr, 0, &s);
    EXPECT_EQ(Encoded(CurrentRecord()), Encoded(s));
}

TEST(SettingsRecord, TenByteFileFillsUpToTrayIconMode)
{
    std::vector<uint8_t> file = FileBytes(10);
    TSettings s = CurrentRecord();
    DecodeSettings(file.data(), uint32_t(file.size()), &s);
    EXPECT_EQ(0x0201, int(s.AutoCleanInterval));
    EXPECT_EQ(0x0403, int(s.ManualCleanAmount));
    EXPECT_EQ(0x05, int(s.AutoCleanPercent));
    EXPECT_EQ(0x06, int(s.CriticalLoadPercent));
    EXPECT_EQ(0x07, int(s.CriticalCleanPercent));
    EXPECT_EQ(0x08, int(s.CpuLoadLimit));
    EXPECT_EQ(0x09, int(s.LogEnabled));
    EXPECT_EQ(0x0A, int(s.TrayIconMode));
    EXPECT_EQ(0xAB, int(s.Reserved));
    EXPECT_EQ(0xABCD, int(s.MainDialogLeft));
    EXPECT_EQ(0xAEAF, int(s.MainDialogTop));
    EXPECT_EQ(0xB0B1, int(s.InfoRefreshPeriod));
    EXPECT_EQ(0xB2, int(s.InfoMonitoring));
    EXPECT_EQ(0xB3, int(s.InfoAlwaysOnTop));
    EXPECT_EQ(0xB4B5, int(s.InfoDialogLeft));
    EXPECT_EQ(0xB6B7, int(s.InfoDialogTop));
}

TEST(SettingsRecord, TwelveByteFileGivesHalfOfMainDialogLeft)
{
    std::vector<uint8_t> file = FileBytes(12);
    file[11] = 0x34;
    TSettings s = CurrentRecord();
    DecodeSettings(file.data(), uint32_t(file.size()), &s);
    EXPECT_EQ(0x0B, int(s.Reserved));
    EXPECT_EQ(0xAB34, int(s.MainDialogLeft)); // low byte from the file, high byte kept
    EXPECT_EQ(0xAEAF, int(s.MainDialogTop));
    EXPECT_EQ(0xB6B7, int(s.InfoDialogTop));
}

// Every length from none to more than a record: the bytes the file has,
// then the record's own, whatever field the end falls in.
TEST(SettingsRecord, ShortFileOfEveryLength)
{
    const Bytes current = Encoded(CurrentRecord());
    for (uint32_t length = 0; length <= 30; ++length) {
        std::vector<uint8_t> file = FileBytes(length);
        TSettings s = CurrentRecord();
        DecodeSettings(file.data(), length, &s);
        Bytes got = Encoded(s);
        for (uint32_t i = 0; i < kSettingsSize; ++i)
            EXPECT_EQ(i < length ? file[i] : current[i], got[i])
                << "length " << length << ", byte " << i;
    }
}

TEST(SettingsRecord, LongFileCountsOnlyTheFirst23Bytes)
{
    std::vector<uint8_t> file = FileBytes(30);
    TSettings s = CurrentRecord();
    DecodeSettings(file.data(), uint32_t(file.size()), &s);
    Bytes got = Encoded(s);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), file.begin()));
    // Every field from its own place in the file, low byte first.
    const int expected[] = {0x0201, 0x0403, 0x05,   0x06,   0x07, 0x08, 0x09,   0x0A,
                            0x0B,   0x0D0C, 0x0F0E, 0x1110, 0x12, 0x13, 0x1514, 0x1716};
    const int fields[] = {s.AutoCleanInterval,   s.ManualCleanAmount,    s.AutoCleanPercent,
                          s.CriticalLoadPercent, s.CriticalCleanPercent, s.CpuLoadLimit,
                          s.LogEnabled,          s.TrayIconMode,         s.Reserved,
                          s.MainDialogLeft,      s.MainDialogTop,        s.InfoRefreshPeriod,
                          s.InfoMonitoring,      s.InfoAlwaysOnTop,      s.InfoDialogLeft,
                          s.InfoDialogTop};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(expected[i], fields[i]) << "field " << i;
}

TEST(SettingsRecord, StoredZerosAreTakenLiterally)
{
    Bytes file = kDefaultFile;
    file[0] = 0; // AutoCleanInterval
    file[8] = 0; // LogEnabled
    TSettings s = kDefaultSettings;
    DecodeSettings(file.data(), kSettingsSize, &s);
    EXPECT_EQ(0, int(s.AutoCleanInterval));
    EXPECT_EQ(0, int(s.LogEnabled));
    EXPECT_EQ(48, int(s.ManualCleanAmount));
}

TEST(SettingsRecord, EncodeIsLittleEndianAndDecodesBack)
{
    TSettings source = CurrentRecord();
    source.MainDialogLeft = uint16_t(-5); // a window left of the screen
    Bytes bytes = Encoded(source);
    EXPECT_EQ(0xA2, bytes[0]);
    EXPECT_EQ(0xA1, bytes[1]);
    EXPECT_EQ(0xFB, bytes[11]);
    EXPECT_EQ(0xFF, bytes[12]);
    EXPECT_EQ(0xB7, bytes[21]);
    EXPECT_EQ(0xB6, bytes[22]);

    TSettings back = kDefaultSettings;
    DecodeSettings(bytes.data(), kSettingsSize, &back);
    EXPECT_EQ(bytes, Encoded(back));
    EXPECT_EQ(0xFFFB, int(back.MainDialogLeft));
}

TEST(SettingsRecord, AssignCopiesEveryField)
{
    TSettings target = kDefaultSettings;
    AssignSettings(&target, CurrentRecord());
    EXPECT_EQ(Encoded(CurrentRecord()), Encoded(target));
    AssignSettings(&target, kDefaultSettings);
    EXPECT_EQ(kDefaultFile, Encoded(target));
}

} // namespace
