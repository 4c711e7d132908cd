#include <windows.h>

#include "../../host/startup.h"
#include "check.h"

CHECK_CASE(PlatformIsTheNtFamilyInWinesDefaultMode)
{
    CHECK_EQ(PlatformNT, DetectPlatform());
}
