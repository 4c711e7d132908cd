#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../../host/logic/modulefile.h"

namespace {

struct TExportSpec {
    std::string Name;
    uint32_t Code; // the function's RVA; 0 for none
};

// A small image of one section holding the export directory at RVA
// 0x1000, file offset 0x200, as a linker lays it out.
struct TImageSpec {
    uint16_t Machine = kMachineI386;
    uint16_t Magic = 0x10B;
    std::vector<TExportSpec> Exports;
    bool WithExports = true;
    uint32_t FunctionCount = 0; // 0: as many as exports
};

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

const uint32_t kSectionRva = 0x1000, kSectionFile = 0x200, kSectionSize = 0x200;
const size_t kPe = 0x40, kOptional = kPe + 24;

size_t OptionalSize(uint16_t magic) { return magic == 0x20B ? 240 : 224; }
size_t DirectoriesAt(uint16_t magic) { return magic == 0x20B ? 112 : 96; }

std::vector<uint8_t> BuildImage(const TImageSpec& spec)
{
    std::vector<uint8_t> b(kSectionFile + kSectionSize, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, kPe);
    std::memcpy(&b[kPe], "PE\0\0", 4);
    Put16(b, kPe + 4, spec.Machine);
    Put16(b, kPe + 6, 1);
    Put16(b, kPe + 20, uint32_t(OptionalSize(spec.Magic)));
    Put16(b, kOptional, spec.Magic);
    size_t directories = kOptional + DirectoriesAt(spec.Magic);
    Put32(b, directories - 4, 16);
    size_t section = kOptional + OptionalSize(spec.Magic);
    std::memcpy(&b[section], ".edata", 6);
    Put32(b, section + 8, kSectionSize);
    Put32(b, section + 12, kSectionRva);
    Put32(b, section + 16, kSectionSize);
    Put32(b, section + 20, kSectionFile);
    if (!spec.WithExports)
        return b;
    uint32_t count = uint32_t(spec.Exports.size());
    uint32_t functions = kSectionRva + 40, names = functions + 4 * count,
             ordinals = names + 4 * count, text = ordinals + 2 * count;
    auto file = [](uint32_t rva) { return size_t(rva - kSectionRva + kSectionFile); };
    Put32(b, directories, kSectionRva);
    Put32(b, directories + 4, kSectionSize);
    size_t dir = file(kSectionRva);
    Put32(b, dir + 20, spec.FunctionCount ? spec.FunctionCount : count);
    Put32(b, dir + 24, count);
    Put32(b, dir + 28, functions);
    Put32(b, dir + 32, names);
    Put32(b, dir + 36, ordinals);
    for (uint32_t i = 0; i < count; ++i) {
        Put32(b, file(functions) + 4 * i, spec.Exports[i].Code);
        Put32(b, file(names) + 4 * i, text);
        Put16(b, file(ordinals) + 2 * i, i);
        std::memcpy(&b[file(text)], spec.Exports[i].Name.c_str(), spec.Exports[i].Name.size() + 1);
        text += uint32_t(spec.Exports[i].Name.size() + 1);
    }
    return b;
}

std::vector<TExportSpec> Contract()
{
    return {{"GetName", 0x3000},
            {"GetDescription", 0x3010},
            {"Init", 0x3020},
            {"Execute", 0x3030},
            {"ExecWinVer", 0x3040}};
}

TPeExports Read(const std::vector<uint8_t>& image, bool expected = true)
{
    TPeExports exports;
    EXPECT_EQ(expected, ReadPeExports(image.data(), uint32_t(image.size()), &exports));
    return exports;
}

TEST(PeExports, AWholeModuleOfEitherProcessorIsTakenOnlyByItsOwn)
{
    TImageSpec pe32;
    pe32.Exports = Contract();
    std::vector<uint8_t> image = BuildImage(pe32);
    TPeExports exports = Read(image);
    EXPECT_EQ(kMachineI386, exports.Machine);
    EXPECT_EQ(kContractExports, exports.Contract);
    EXPECT_EQ(5u, exports.NameCount);
    EXPECT_TRUE(IsModuleImage(image.data(), uint32_t(image.size()), kMachineI386));
    EXPECT_FALSE(IsModuleImage(image.data(), uint32_t(image.size()), kMachineAmd64));

    TImageSpec pe64 = pe32;
    pe64.Machine = kMachineAmd64;
    pe64.Magic = 0x20B;
    image = BuildImage(pe64);
    EXPECT_EQ(kContractExports, Read(image).Contract);
    EXPECT_TRUE(IsModuleImage(image.data(), uint32_t(image.size()), kMachineAmd64));
    EXPECT_FALSE(IsModuleImage(image.data(), uint32_t(image.size()), kMachineI386));
}

struct TNamesCase {
    std::vector<TExportSpec> Exports;
    uint32_t Contract;
};

TEST(PeExports, OnlyTheContractsExactNamesCount)
{
    const TNamesCase cases[] = {
        {{{"GetName", 0x3000}, {"ExecWinVer", 0x3004}}, kExportGetName | kExportExecWinVer},
        {{{"GetNam", 0x3000}, {"GetNameX", 0x3004}, {"getname", 0x3008}, {"", 0x300C}}, 0},
        {{{"Init", 0x3000}, {"Init", 0x3004}, {"Execute", 0x3008}}, kExportInit | kExportExecute},
        {{{"GetDescription", 0x3000}, {"DllMain", 0x3004}}, kExportGetDescription},
        // No code behind the name.
        {{{"GetName", 0}, {"Init", 0x3004}}, kExportInit},
        // Forwarded elsewhere: the RVA lies inside the export directory.
        {{{"GetName", kSectionRva + 0x100}, {"Execute", 0x3004}}, kExportExecute},
        {{}, 0},
    };
    for (const TNamesCase& c : cases) {
        TImageSpec spec;
        spec.Exports = c.Exports;
        EXPECT_EQ(c.Contract, Read(BuildImage(spec)).Contract) << c.Exports.size();
    }
}

TEST(PeExports, AnOrdinalBeyondTheFunctionsCountsNothing)
{
    TImageSpec spec;
    spec.Exports = Contract();
    spec.FunctionCount = 3; // Execute and ExecWinVer lead nowhere
    EXPECT_EQ(kExportGetName | kExportGetDescription | kExportInit,
              Read(BuildImage(spec)).Contract);
}

TEST(PeExports, AnImageWithoutExportsReadsAsNoNames)
{
    TImageSpec spec;
    spec.WithExports = false;
    TPeExports exports = Read(BuildImage(spec));
    EXPECT_EQ(kMachineI386, exports.Machine);
    EXPECT_EQ(0u, exports.Contract);
    EXPECT_EQ(0u, exports.NameCount);
}

TEST(PeExports, EveryCutCopyIsRefused)
{
    TImageSpec spec;
    spec.Exports = Contract();
    std::vector<uint8_t> whole = BuildImage(spec);
    for (size_t length = 0; length < whole.size(); ++length) {
        // A copy of its own, so that AddressSanitizer sees a read past it.
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(length));
        TPeExports exports;
        EXPECT_FALSE(ReadPeExports(cut.data(), uint32_t(length), &exports)) << length;
        EXPECT_EQ(0u, exports.Contract);
    }
}

struct TDamage {
    const char* What;
    size_t At;
    uint32_t Value;
    bool Width32;
};

TEST(PeExports, HeadersThatLieAreRefused)
{
    TImageSpec spec;
    spec.Exports = Contract();
    const size_t directories = kOptional + 96;
    const size_t section = kOptional + 224;
    const size_t dir = kSectionFile;
    const TDamage damages[] = {
        {"no MZ", 0, 'X', false},
        {"PE header past the end", 0x3C, 0xFFFFFFF0u, true},
        {"PE header at the last bytes", 0x3C, 0x3FE, true},
        {"no PE signature", kPe, 0x00004551, true},
        {"64-bit machine, 32-bit layout", kPe + 4, kMachineAmd64, false},
        {"another machine", kPe + 4, 0x1C0, false},
        {"unknown layout", kOptional, 0x107, false},
        {"optional header past the end", kPe + 20, 0xFFFF, false},
        {"too many sections", kPe + 6, 97, false},
        {"sections past the end", kPe + 6, 20, false},
        {"section bytes past the end", section + 16, 0x201, true},
        {"section bytes far past the end", section + 20, 0xFFFFFFFFu, true},
        {"export directory outside every section", directories, 0x5000, true},
        {"export directory across the section's end", directories, kSectionRva + 0x1F0, true},
        {"more names than the file holds", dir + 24, 0x40000000u, true},
        {"name table outside", dir + 32, 0xFFFFFFF0u, true},
        {"ordinal table outside", dir + 36, 0x7FFFFFFFu, true},
    };
    for (const TDamage& d : damages) {
        std::vector<uint8_t> image = BuildImage(spec);
        if (d.Width32)
            Put32(image, d.At, d.Value);
        else
            Put16(image, d.At, d.Value);
        TPeExports exports;
        EXPECT_FALSE(ReadPeExports(image.data(), uint32_t(image.size()), &exports)) << d.What;
        EXPECT_FALSE(IsModuleImage(image.data(), uint32_t(image.size()), kMachineI386)) << d.What;
        EXPECT_FALSE(IsModuleImage(image.data(), uint32_t(image.size()), kMachineAmd64)) << d.What;
    }
}

TEST(PeExports, ASectionEndingWhereTheExportSectionBeginsLeavesItMapped)
{
    TImageSpec spec;
    spec.Exports = Contract();
    std::vector<uint8_t> image = BuildImage(spec);
    // First a section whose raw data ends at the export section's RVA.
    const size_t section = kOptional + 224;
    std::memcpy(&image[section + 40], &image[section], 40);
    Put32(image, section + 12, kSectionRva - 0x200);
    Put32(image, section + 16, 0x200);
    Put32(image, section + 20, 0);
    Put16(image, kPe + 6, 2);
    EXPECT_EQ(kContractExports, Read(image).Contract);
}

uint32_t FurthestRead; // the end of the furthest range read

bool ReadNoting(void* bytes, uint32_t offset, uint32_t length, uint8_t* into)
{
    std::memcpy(into, static_cast<uint8_t*>(bytes) + offset, length);
    FurthestRead = std::max(FurthestRead, offset + length);
    return true;
}

TEST(PeExports, ANamesCountFarBeyondTheFileIsRefusedBeforeItsTablesAreRead)
{
    TImageSpec spec;
    spec.Exports = Contract();
    std::vector<uint8_t> image = BuildImage(spec);
    Put32(image, kSectionFile + 24, 0x80000001u); // tables of 4 and 2 bytes, wrapped
    FurthestRead = 0;
    TPeExports exports;
    EXPECT_FALSE(
        ReadPeExports(TPeSource{uint32_t(image.size()), ReadNoting, image.data()}, &exports));
    EXPECT_EQ(kSectionFile + 40, FurthestRead); // the export directory, nothing past it
}

TEST(PeExports, ANameOrFunctionOutsideTheFileCountsNothing)
{
    TImageSpec spec;
    spec.Exports = Contract();
    std::vector<uint8_t> image = BuildImage(spec);
    const size_t functions = kSectionFile + 40, names = functions + 20;
    Put32(image, names, 0xFFFFFFFFu);             // GetName's text nowhere
    Put32(image, functions + 4, 0);               // GetDescription without code
    Put32(image, kSectionFile + 28, 0xFFFFFFFCu); // the function table wraps
    TPeExports exports = Read(image);
    EXPECT_EQ(0u, exports.Contract);
}

// The committed fuzz seeds are real libraries of both builds.
struct TSeed {
    const char* File;
    uint16_t Machine;
    uint32_t Contract;
};

TEST(PeExports, RealLibrariesReadAsTheirBuildMadeThem)
{
    const TSeed seeds[] = {
        {"taskroll64.dll", kMachineAmd64, kContractExports},
        {"otherarch32.dll", kMachineI386, kContractExports},
        {"nogetname64.dll", kMachineAmd64, kContractExports & ~uint32_t(kExportGetName)},
    };
    for (const TSeed& seed : seeds) {
        std::ifstream in(std::string(PEEXPORTS_SEEDS) + "/" + seed.File, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 1024u) << seed.File;
        TPeExports exports = Read(bytes);
        EXPECT_EQ(seed.Machine, exports.Machine) << seed.File;
        EXPECT_EQ(seed.Contract, exports.Contract) << seed.File;
        EXPECT_EQ(5u - (seed.Contract != kContractExports), exports.NameCount) << seed.File;
    }
}

} // namespace
