#include "setupedits.h"

#include "../../common/numtext.h"
#include "../../common/text.h"

static int32_t EditNumber(const char* text, int limit)
{
    char head[8];
    if (limit > int(sizeof head) - 1)
        limit = int(sizeof head) - 1;
    CopyText(head, limit + 1, text);
    return ParseNumber(head);
}

uint16_t EditValue16(const char* text, int limit) { return uint16_t(EditNumber(text, limit)); }

uint8_t EditValue8(const char* text, int limit) { return uint8_t(EditNumber(text, limit)); }
