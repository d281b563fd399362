#include <windows.h>

#include "Product.h"
#include "platform/RunningMark.h"

void HoldRunningMark() {
    // Never closed: the handle lives as long as the process. A second copy
    // of the game opens the same object, which changes nothing.
    CreateMutexW(nullptr, FALSE, L"" PELVANTA_RUNNING_MARK);
}
