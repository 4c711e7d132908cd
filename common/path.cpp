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
