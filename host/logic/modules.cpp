#include "modules.h"

#include "../../common/logic/text.h"

bool IsModuleFileName(const char* name, TUpperCase upper)
{
    int length = TextLength(name);
    char tail[5];
    CopyText(tail, sizeof tail, length > 4 ? name + length - 4 : name);
    // Upper-casing changes letters only: without the dot there is nothing
    // to ask the system (most names in a program folder's tree).
    if (tail[0] != '.')
        return false;
    upper(tail);
    return TextEquals(tail, ".DLL");
}

bool IsPlatformSupported(int32_t value, int platformClass)
{
    if (value == 1)
        return true;
    return (value == 2 || value == 3) && value == platformClass;
}

int ModuleMenuOrder(const bool filled[kModuleSlots], uint8_t order[kModuleSlots])
{
    int count = 0;
    for (int slot = kModuleSlots - 1; slot >= 0; --slot)
        if (filled[slot])
            order[count++] = uint8_t(slot);
    return count;
}

int32_t FindFolder(const TFolderTree& tree, uint64_t index)
{
    int32_t node = tree.Root;
    while (node >= 0 && tree.Nodes[node].Index != index)
        node = index < tree.Nodes[node].Index ? tree.Nodes[node].Left : tree.Nodes[node].Right;
    return node;
}

static bool IsRed(const TFolderNode* nodes, int32_t node) { return node >= 0 && nodes[node].Red; }

static int32_t RotateLeft(TFolderNode* nodes, int32_t top)
{
    int32_t right = nodes[top].Right;
    nodes[top].Right = nodes[right].Left;
    nodes[right].Left = top;
    nodes[right].Red = nodes[top].Red;
    nodes[top].Red = true;
    return right;
}

static int32_t RotateRight(TFolderNode* nodes, int32_t top)
{
    int32_t left = nodes[top].Left;
    nodes[top].Left = nodes[left].Right;
    nodes[left].Right = top;
    nodes[left].Red = nodes[top].Red;
    nodes[top].Red = true;
    return left;
}

// Puts `node` (of an index not in the tree) below `top`; the new top.
static int32_t Insert(TFolderNode* nodes, int32_t top, int32_t node)
{
    if (top < 0)
        return node;
    if (nodes[node].Index < nodes[top].Index)
        nodes[top].Left = Insert(nodes, nodes[top].Left, node);
    else
        nodes[top].Right = Insert(nodes, nodes[top].Right, node);
    if (IsRed(nodes, nodes[top].Right) && !IsRed(nodes, nodes[top].Left))
        top = RotateLeft(nodes, top);
    if (IsRed(nodes, nodes[top].Left) && IsRed(nodes, nodes[nodes[top].Left].Left))
        top = RotateRight(nodes, top);
    if (IsRed(nodes, nodes[top].Left) && IsRed(nodes, nodes[top].Right)) {
        nodes[top].Red = !nodes[top].Red;
        nodes[nodes[top].Left].Red = false;
        nodes[nodes[top].Right].Red = false;
    }
    return top;
}

void AddFolder(TFolderTree* tree, uint64_t index)
{
    int32_t node = tree->Count++;
    tree->Nodes[node] = {index, -1, -1, -1, true};
    int32_t first = FindFolder(*tree, index);
    if (first >= 0) {
        tree->Nodes[node].Same = tree->Nodes[first].Same;
        tree->Nodes[first].Same = node;
        return;
    }
    tree->Root = Insert(tree->Nodes, tree->Root, node);
    tree->Nodes[tree->Root].Red = false;
}
