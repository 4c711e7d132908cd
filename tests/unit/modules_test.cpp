// The plug-in manager's decisions and the settings module's edit parsing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "../../host/logic/modules.h"
#include "../../modules/setup/logic/setup.h"

namespace {

void AsciiUpper(char* text)
{
    for (; *text; ++text)
        *text = char(std::toupper(static_cast<unsigned char>(*text)));
}

// Upper-casing that leaves a mark, to see that the caller's text is not the
// one changed.
int UpperCalls;
void CountingUpper(char* text)
{
    ++UpperCalls;
    AsciiUpper(text);
}

} // namespace

TEST(ModuleFileName, OnlyTheLastFourCharactersCountInAnyCase)
{
    for (const char* name : {"a.dll", "A.DLL", "Setup.Dll", ".dll", "x.dll.dll", "d.dll"})
        EXPECT_TRUE(IsModuleFileName(name, AsciiUpper)) << name;
    for (const char* name : {"x.dll.bak", "dll", "a.dl", "", "a.dlll", "a_dll", "a.exe", "l"})
        EXPECT_FALSE(IsModuleFileName(name, AsciiUpper)) << name;
}

TEST(ModuleFileName, UpperCasesACopyNotTheName)
{
    char name[] = "setup.dll";
    UpperCalls = 0;
    EXPECT_TRUE(IsModuleFileName(name, CountingUpper));
    EXPECT_EQ(1, UpperCalls);
    EXPECT_FALSE(IsModuleFileName("name.data", CountingUpper));
    EXPECT_EQ(1, UpperCalls); // no dot where the extension starts: nothing to ask
    EXPECT_STREQ("setup.dll", name);
}

TEST(PlatformSupport, EveryCodeAgainstEveryPlatform)
{
    const int platforms[] = {0, 1, 2, 3, 4, -1};
    for (int platform : platforms) {
        EXPECT_TRUE(IsPlatformSupported(1, platform)) << platform;
        EXPECT_EQ(platform == 2, IsPlatformSupported(2, platform)) << platform;
        EXPECT_EQ(platform == 3, IsPlatformSupported(3, platform)) << platform;
        for (int32_t code : {-1, 0, 4, 7, 0x7FFFFFFF, int32_t(0x80000000)})
            EXPECT_FALSE(IsPlatformSupported(code, platform)) << code << " on " << platform;
    }
}

TEST(ModuleMenu, TheLastSlotEndsOnTop)
{
    bool filled[kModuleSlots] = {true, true, true};
    uint8_t order[kModuleSlots] = {};
    ASSERT_EQ(3, ModuleMenuOrder(filled, order));
    EXPECT_EQ(2, order[0]);
    EXPECT_EQ(1, order[1]);
    EXPECT_EQ(0, order[2]);

    bool all[kModuleSlots];
    for (bool& slot : all)
        slot = true;
    ASSERT_EQ(10, ModuleMenuOrder(all, order));
    EXPECT_EQ(9, order[0]);
    EXPECT_EQ(0, order[9]);

    bool none[kModuleSlots] = {};
    EXPECT_EQ(0, ModuleMenuOrder(none, order));
}

int Height(const std::vector<TFolderNode>& n, int32_t at)
{
    return at < 0 ? 0 : 1 + std::max(Height(n, n[at].Left), Height(n, n[at].Right));
}

// Rising indexes, as a file system hands them out, make a plain tree a list.
TEST(FolderTree, EveryFolderIsFoundAtALogarithmicDepthWhateverTheOrder)
{
    const int32_t count = 10000;
    std::vector<TFolderNode> nodes(count + 1);
    TFolderTree tree = {nodes.data(), 0, -1};
    for (int32_t i = 0; i < count; ++i)
        AddFolder(&tree, uint64_t(i) * 3);
    AddFolder(&tree, 300); // another volume's folder of an index seen
    EXPECT_LE(Height(nodes, tree.Root), 2 * 14);
    for (int32_t i = 0; i < count; ++i)
        EXPECT_EQ(i, FindFolder(tree, uint64_t(i) * 3));
    EXPECT_EQ(-1, FindFolder(tree, 301));
    EXPECT_EQ(count, nodes[100].Same);
    EXPECT_EQ(-1, nodes[count].Same);
}

TEST(SetupEdits, TakeTheFirstCharactersAndTheLowBits)
{
    EXPECT_EQ(12, EditValue16("120", 2)); // the interval takes 2 characters
    EXPECT_EQ(44, EditValue8("300", 3));  // 300 in a percentage: the low 8 bits
    EXPECT_EQ(0, EditValue8("abc", 3));
    EXPECT_EQ(255, EditValue8("-1", 3));
    EXPECT_EQ(65535, EditValue16("-1", 4));
    EXPECT_EQ(9999, EditValue16("99999", 4));
    EXPECT_EQ(0, EditValue16(" 12", 4)); // a leading blank ends the number
    EXPECT_EQ(0, EditValue8("+5", 3));
    EXPECT_EQ(7, EditValue8("7x9", 3));
    EXPECT_EQ(0, EditValue16("", 4));
    EXPECT_EQ(0, EditValue8("-", 2));
}
