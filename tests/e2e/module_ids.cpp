#include "module_ids.h"

#include "../../modules/setup/resource.h"
#include "../../modules/taskroll/resource.h"

const int kSetupOk = IDC_OK;
const int kSetupIconFirst = IDC_ICON_STATIC;
const int kSetupIconLast = IDC_ICON_MEMORY_TEXT;
const int kSetupEditFirst = IDC_AUTOCLEAN_INTERVAL;
const int kTaskrollExit = IDC_EXIT;
