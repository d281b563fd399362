#include <windows.h>

#include "Product.h"  // written by the build: PRODUCT_RUNNING_MARK
#include "platform/RunningMark.h"

void HoldRunningMark() {
    // Never closed: the handle lives as long as the process. A second copy
    // of the game opens the same object, which changes nothing.
    CreateMutexW(nullptr, FALSE, L"" PRODUCT_RUNNING_MARK);
}
