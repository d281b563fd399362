#pragma once

#include <cstdint>
#include <string>

#include "tools/Cli.h"

// Each command answers its exit status: 0 done, 1 failed on the data.
int RunPack(Args& args);
int RunInspect(Args& args);
int RunDemo(Args& args);

// Writes the demo opponents as 3000.p_g upward into `dir`, creating it:
// `count` files (all the opponents when 0), repeating the ladder if more.
bool WriteDemoGallery(const std::string& dir, std::string& error, int32_t count = 0);
