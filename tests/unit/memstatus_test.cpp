#include <gtest/gtest.h>

#include <cstdint>

#include "../../host/logic/memstatus.h"

namespace {

constexpr uint64_t MB = 1ull << 20;
constexpr uint64_t GiB = 1ull << 30;
constexpr int32_t kUnitByte = 1, kUnitKB = 1024, kUnitMB = 1048576;

TMemFigures Physical(uint64_t total, uint64_t available)
{
    TMemFigures f = {};
    f.TotalPhys = total;
    f.AvailPhys = available;
    return f;
}

TEST(MemFigures, MachineOf256MBWith100Free)
{
    const TMemFigures f = Physical(256 * MB, 100 * MB);
    EXPECT_EQ(256u, FigureInUnit(f.TotalPhys, kUnitMB));
    EXPECT_EQ(100u, FigureInUnit(f.AvailPhys, kUnitMB));
    EXPECT_EQ(156u, FigureInUnit(UsedBytes(f.TotalPhys, f.AvailPhys), kUnitMB));
    EXPECT_EQ(61, UsedPercentOf(f)); // 100 - Round(39.06)
    EXPECT_EQ(256, WholeMB(f.TotalPhys));
}

TEST(MemFigures, UsedPercent)
{
    const struct {
        uint64_t total, available;
        int32_t percent;
    } cases[] = {
        {256 * MB, 100 * MB, 61},
        {255 * MB, 100 * MB, 61}, // 100 - Round(39.22)
        {256 * MB, 256 * MB, 0},
        {256 * MB, 0, 100},
        {200 * MB, 1 * MB, 100},     // 100 - Round(0.5): the half goes to 0
        {200 * MB, 3 * MB, 98},      // 100 - Round(1.5)
        {24105 * MB, 23745 * MB, 1}, // 100 - Round(98.51)
        {24 * GiB, 12 * GiB, 50},
        // Only whole MB count: the remainders are dropped before dividing.
        {256 * MB + MB - 1, 100 * MB + MB - 1, 61},
        {100 * MB, 10 * MB + MB - 1, 90},
        {10 * MB + MB - 1, 5 * MB, 50},
        {MB - 1, 0, 0}, // below 1 MB of total
        {0, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.percent, UsedPercentOf(Physical(c.total, c.available)))
            << c.total << " total, " << c.available << " free";
}

TEST(MemFigures, FiguresTruncateInTheUnit)
{
    EXPECT_EQ(1023u, FigureInUnit(1048575, kUnitKB));
    EXPECT_EQ(1024u, FigureInUnit(1048576, kUnitKB));
    EXPECT_EQ(0u, FigureInUnit(1048575, kUnitMB));
    EXPECT_EQ(1048575u, FigureInUnit(1048575, kUnitByte));
    EXPECT_EQ(1048575u, FigureInUnit(1048575, 0)); // no unit: bytes
    EXPECT_EQ(1048575u, FigureInUnit(1048575, -1024));
}

TEST(MemFigures, LargeMachinesReadTrueFigures)
{
    EXPECT_EQ(2147483648u, FigureInUnit(2147483648u, kUnitByte));
    EXPECT_EQ(4294967295u, FigureInUnit(4294967295u, kUnitByte));
    EXPECT_EQ(4294967301u, FigureInUnit(4 * GiB + 5, kUnitByte));
    EXPECT_EQ(25769803776u, FigureInUnit(24 * GiB, kUnitByte));
    EXPECT_EQ(25165824u, FigureInUnit(24 * GiB, kUnitKB));
    EXPECT_EQ(24576u, FigureInUnit(24 * GiB, kUnitMB));
    EXPECT_EQ(24576, WholeMB(24 * GiB));
    EXPECT_EQ(2048, WholeMB(2 * GiB));
    EXPECT_EQ(4096, WholeMB(4 * GiB));
    EXPECT_EQ(20 * GiB, UsedBytes(24 * GiB, 4 * GiB));
    // Far beyond any machine the MB count still stays positive.
    EXPECT_EQ(INT32_MAX, WholeMB(UINT64_MAX));
    EXPECT_EQ(INT32_MAX, WholeMB(uint64_t(INT32_MAX) * MB + MB));
}

TEST(MemFigures, UsedNeverBelowZero)
{
    EXPECT_EQ(156 * MB, UsedBytes(256 * MB, 100 * MB));
    EXPECT_EQ(0u, UsedBytes(100 * MB, 100 * MB));
    EXPECT_EQ(0u, UsedBytes(100 * MB, 256 * MB)); // figures taken at different moments
    EXPECT_EQ(0u, UsedBytes(0, UINT64_MAX));
}

TEST(MemStatus, ReadGivesBackThePublishedRecord)
{
    static const bool initialised = (InitMemStatus(), true);
    (void)initialised;
    const TMemFigures f = {256 * MB, 100 * MB, 512 * MB, 300 * MB, 2 * GiB, GiB + 7};
    PublishMemStatus(f);
    const TMemFigures got = ReadMemStatus();
    EXPECT_EQ(f.TotalPhys, got.TotalPhys);
    EXPECT_EQ(f.AvailPhys, got.AvailPhys);
    EXPECT_EQ(f.TotalPageFile, got.TotalPageFile);
    EXPECT_EQ(f.AvailPageFile, got.AvailPageFile);
    EXPECT_EQ(f.TotalVirtual, got.TotalVirtual);
    EXPECT_EQ(f.AvailVirtual, got.AvailVirtual);
}

} // namespace
