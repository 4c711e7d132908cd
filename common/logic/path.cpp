#include "path.h"

#include "text.h"

bool JoinPath(char* out, int size, const char* dir, const char* name)
{
    if (size <= 0)
        return false;
    int dirLength = TextLength(dir);
    bool separator = dirLength > 0 && dir[dirLength - 1] != '\\';
    if (dirLength + (separator ? 1 : 0) + TextLength(name) >= size) {
        out[0] = 0;
        return false;
    }
    CopyText(out, size, dir);
    if (separator)
        AppendText(out, size, "\\");
    AppendText(out, size, name);
    return true;
}

void DirectoryOf(const char* path, char* out, int size)
{
    int cut = 0;
    for (int i = 0; path[i]; ++i)
        if (path[i] == '\\' || path[i] == ':')
            cut = i + 1;
    if (size <= 0)
        return;
    if (cut > size - 1)
        cut = 0; // a directory that does not fit is no directory
    for (int i = 0; i < cut; ++i)
        out[i] = path[i];
    out[cut] = 0;
}
