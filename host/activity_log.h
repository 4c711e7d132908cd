// The activity log, Brindlecap.log beside the program: one line per
// cleaning request. The line itself is logic/activity_log.
#pragma once
#include <stdint.h>

#include "logic/activity_log.h"

// Appends "[d/m/yyyy h:m] Запрос  <amount> Мб #<tag>" at the local time.
// A line that cannot be written is lost silently.
void WriteLog(const char* tag, int32_t amount);
