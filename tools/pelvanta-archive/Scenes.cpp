// The ten demo scenes as data. Each element is
//   {painter, first stage, last stage, x, y, w, h, s, n, c1, c2}
// with the meaning of each number given by its painter (Painting.h).
#include "tools/pelvanta-archive/Painting.h"

namespace {

using namespace paint;

// clang-format off
//                       top       middle    horizon   light     sun x  height  sun       moon   stars lamps
const Moment kNight   = {0x060A22, 0x142048, 0x2C3C6A, 0x5A6690, 0.72f, 0.78f, 0xF2EEDA, true,  1.0f, true};
const Moment kDawn    = {0x2C3670, 0xB07C9C, 0xFFB070, 0xE6BCB4, 0.62f, 0.02f, 0xFFE2A0, false, 0.3f, false};
const Moment kMorning = {0x3E7CC4, 0x8CBCE4, 0xF4E4C8, 0xFFF2E2, 0.28f, 0.32f, 0xFFF4D0, false, 0.0f, false};
const Moment kDay     = {0x2466B8, 0x62A0DC, 0xC8E4F6, 0xFFFFFF, 0.72f, 0.84f, 0xFFFCE8, false, 0.0f, false};
const Moment kGolden  = {0x4C6CB0, 0xDCA890, 0xFFD48A, 0xFFDCA8, 0.25f, 0.14f, 0xFFE49A, false, 0.0f, false};
const Moment kSunset  = {0x302868, 0xD05C78, 0xFFA848, 0xF0A888, 0.50f, 0.03f, 0xFFD070, false, 0.1f, true};
const Moment kDusk    = {0x121640, 0x4C3A78, 0xC47480, 0x8C82A8, 0.00f, -1.0f, 0x000000, false, 0.5f, true};
const Moment kSnowy   = {0x7C889C, 0xA8B2C0, 0xD8DCE4, 0xE4E8F0, 0.00f, -1.0f, 0x000000, false, 0.0f, false};
const Moment kDeep    = {0x2AB4DA, 0x0C6C9C, 0x042A50, 0xD0E8F0, 0.00f, -1.0f, 0x000000, false, 0.0f, false};
const Moment kLagoon  = {0x6CE0E8, 0x20A0C0, 0x0A5A80, 0xF0FFFF, 0.00f, -1.0f, 0x000000, false, 0.0f, false};
const Moment kSpace   = {0x010208, 0x080A20, 0x1C1A3C, 0xFFFFFF, 0.00f, -1.0f, 0x000000, false, 1.3f, true};

const Element kMeadowElements[] = {
    {Clouds, 1, 4, -20, 50, 330, 80, 14, 8, 0xE8FFFFFF, 0xD0DCEC},
    {Ridge, 0, 4, 0, 252, 30, 170, 60, 0, 0x8AAEB8, 0x6C9A84},
    {Ridge, 0, 4, 0, 272, 22, 120, 60, 0, 0x78AE58, 0x4C8A3C},
    {Tree, 0, 4, 62, 284, 5, 18, 6, 5, 0x4A3020, 0x3C7A30},
    {Ridge, 0, 4, 0, 300, 14, 260, 120, 0, 0x82BC50, 0x3A7A26},
    {Grass, 0, 4, 0, 300, 291, 16, 133, 700, 0x3C7828, 0x8ACB58},
    {Flowers, 1, 4, 0, 310, 291, 120, 5, 14, 0xE84848, 0x5870E0},
    {Flowers, 2, 4, 0, 330, 291, 100, 6, 22, 0xF0C030, 0xD060C0},
    {Flowers, 3, 4, 0, 340, 291, 90, 7, 26, 0xF07090, 0x60A0F0},
    {Birds, 1, 3, 150, 90, 90, 50, 5, 4, 0x303040, 0},
    {Sparks, 0, 0, 145, 350, 150, 60, 1.2f, 18, 0xD8FF80, 0xFFF0A0},
    {Sparks, 4, 4, 145, 340, 150, 70, 1.2f, 30, 0xD8FF80, 0xFFF0A0},
};

const Element kOrchardElements[] = {
    {Clouds, 0, 0, -40, 20, 370, 140, 30, 14, 0xE8E8ECF0, 0x8890A0},
    {Clouds, 1, 4, -20, 40, 330, 70, 14, 7, 0xE8FFFFFF, 0xD0DCEC},
    {Ridge, 0, 0, 0, 300, 24, 200, 60, 0, 0xC8D0DC, 0xA0AEC0},
    {Ridge, 1, 3, 0, 300, 24, 200, 60, 0, 0x86AE9A, 0x5C9A5A},
    {Ridge, 4, 4, 0, 300, 24, 200, 60, 0, 0xB8A868, 0x9A8A50},
    {House, 0, 0, 36, 318, 22, 12, 0, 0, 0xF4F6FA, 0xF0E4CC},
    {House, 1, 4, 36, 318, 22, 12, 0, 0, 0xB03A2A, 0xF0E4CC},
    {Ridge, 0, 0, 0, 350, 10, 300, 90, 0, 0xF4F6FA, 0xC8D2E0},
    {Ridge, 1, 3, 0, 350, 10, 300, 90, 0, 0x8CC858, 0x4C8C34},
    {Ridge, 4, 4, 0, 350, 10, 300, 90, 0, 0xD8B050, 0xA07838},
    {Grass, 1, 3, 0, 350, 291, 10, 83, 400, 0x3C8028, 0x90D060},
    {Flowers, 1, 1, 0, 360, 291, 70, 5, 12, 0xF8F0A0, 0xFFFFFF},
    {Tree, 0, 0, 150, 395, 12, 58, 0, 5, 0x4A3020, 0},
    {Tree, 1, 1, 150, 395, 12, 58, 6, 5, 0x4A3020, 0x9CD860},
    {Tree, 2, 2, 150, 395, 12, 58, 15, 5, 0x4A3020, 0xF8C0D4},
    {Tree, 3, 3, 150, 395, 12, 58, 16, 5, 0x4A3020, 0x4C9A3A},
    {Tree, 4, 4, 150, 395, 12, 58, 15, 5, 0x4A3020, 0xE89030},
    {Dots, 2, 2, 150, 222, 92, 40, 2.2f, 70, 0xFFFFFF, 0xF490B0},
    {Dots, 3, 3, 150, 226, 85, 34, 3.2f, 40, 0xD02A2A, 0xE84A3A},
    {Dots, 4, 4, 150, 330, 140, 90, 2.5f, 60, 0xE87A20, 0xC84A1A},
    {Dots, 0, 0, 145, 216, 200, 240, 1.6f, 160, 0xFFFFFF, 0xE8F0FF},
};

const Element kLighthouseElements[] = {
    {MilkyWay, 4, 4, -20, 20, 330, 200, 60, 500, 0xB0A8E0, 0},
    {Clouds, 0, 2, -20, 50, 330, 110, 14, 8, 0xE8FFFFFF, 0xC0CCE0},
    {Birds, 0, 1, 60, 110, 120, 50, 5, 5, 0x303040, 0},
    {Sea, 0, 4, 0, 265, 0, 0, 0, 160, 0x4A86B4, 0x103454},
    {Ship, 2, 3, 70, 280, 0, 0, 0.35f, 1, 0xF0ECE0, 0x5A3A2A},
    {Ship, 4, 4, 90, 330, 0, 0, 0.6f, 1, 0xF0ECE0, 0x5A3A2A},
    {Rock, 0, 4, 275, 360, 105, 140, 0, 0, 0x8C7C68, 0x3E342C},
    {Rock, 0, 4, 270, 228, 95, 16, 0, 0, 0x6A9A40, 0x3C6A2A},
    {House, 0, 4, 238, 232, 30, 13, 0, 0, 0xA83A2A, 0xF2ECE0},
    {Lighthouse, 0, 4, 218, 236, 24, 105, 0, 4, 0xC8302A, 0xF4F0E8},
};

const Element kVoyageElements[] = {
    {Clouds, 0, 3, -20, 40, 330, 120, 16, 9, 0xE8FFFFFF, 0xC0CCE0},
    {Rainbow, 2, 2, 150, 250, 36, 0, 180, 0, 0, 0},
    {Sea, 0, 4, 0, 250, 0, 0, 0, 220, 0x3A7CA8, 0x0E3050},
    {Rock, 4, 4, 245, 252, 50, 8, 0, 0, 0xD8C088, 0x8A7448},
    {Palm, 4, 4, 236, 250, -4, 38, 0, 0, 0x6A4A2A, 0x2E6A30},
    {Palm, 4, 4, 256, 251, 5, 30, 0, 0, 0x6A4A2A, 0x2E6A30},
    {Birds, 1, 2, 40, 90, 150, 70, 6, 5, 0x404050, 0},
    {Ship, 0, 4, 130, 345, 0, 0, 1.15f, 3, 0xF4EEDC, 0x6A3A20},
};

const Element kLakeElements[] = {
    {Aurora, 4, 4, 0, 150, 0, 120, 0, 0, 0x40FF90, 0x8040C0},
    {Ridge, 0, 4, 0, 240, 150, 230, 80, 1, 0x94A4BC, 0x6C7C98},
    {Ridge, 0, 4, 0, 245, 70, 160, 40, 1, 0x6E7E96, 0x4C5A6C},
    {Clouds, 0, 0, -30, 200, 350, 40, 16, 10, 0xC8FFFFFF, 0xE0E8F0},
    {Pines, 0, 4, -5, 250, 300, 22, 0, 40, 0x1E3A2A, 0x3A6A44},
    {Sea, 0, 4, 0, 250, 0, 0, 0, 40, 0x4A6E8C, 0x1C3448},
    {Reflection, 0, 4, 0, 250, 0, 0, 0.55f, 0, 0, 0},
    {Ship, 1, 2, 180, 300, 0, 0, 0.45f, 1, 0xF4EEDC, 0x8A4A2A},
    {Rock, 0, 4, 230, 430, 80, 40, 0, 0, 0x8A8A90, 0x3A3A44},
    {Rock, 0, 4, 40, 425, 60, 30, 0, 0, 0x8A8A90, 0x3A3A44},
    {Pines, 0, 4, -30, 433, 80, 190, 0, 2, 0x1A3024, 0x30583A},
};

const Element kBalloonsElements[] = {
    {Clouds, 1, 4, -20, 60, 330, 100, 14, 8, 0xE0FFFFFF, 0xD0DCEC},
    {Ridge, 0, 4, 0, 300, 18, 200, 40, 0, 0x8AA8B0, 0x6A9080},
    {Fields, 0, 4, 0, 322, 16, 240, 0, 0, 0x7CB040, 0xD8C060},
    {Balloon, 0, 4, 150, 190, 0, 0, 30, 0, 0xE04030, 0xF0C030},
    {Balloon, 1, 4, 70, 110, 0, 0, 18, 0, 0x3060C0, 0xF4F4F4},
    {Balloon, 1, 4, 230, 80, 0, 0, 20, 0, 0x40A040, 0xF0E040},
    {Balloon, 2, 4, 200, 250, 0, 0, 12, 0, 0xA040B0, 0xF0F0F0},
    {Balloon, 2, 4, 40, 230, 0, 0, 10, 0, 0xF08030, 0x4050A0},
    {Balloon, 3, 4, 110, 40, 0, 0, 9, 0, 0x30A0B0, 0xF06040},
    {Balloon, 3, 4, 260, 180, 0, 0, 8, 0, 0xF0D030, 0xD03030},
    {Balloon, 4, 4, 20, 60, 0, 0, 7, 0, 0xE0E0E0, 0x3050C0},
    {Balloon, 4, 4, 175, 30, 0, 0, 6, 0, 0xE05090, 0xF0F0F0},
    {Birds, 2, 3, 190, 130, 70, 40, 4, 4, 0x303040, 0},
};

const Element kReefElements[] = {
    {Beams, 0, 4, 145, -10, 300, 330, 0, 7, 0x50E0FFFF, 0},
    {Fish, 2, 4, 140, 95, 130, 70, 9, 60, 0xC0D0E0, 0x8090A0},
    {Ridge, 0, 4, 0, 385, 18, 220, 48, 0, 0xE8D8A8, 0xB09C70},
    {Rock, 0, 4, 270, 420, 70, 110, 0, 0, 0x5A6A80, 0x2A3448},
    {Tree, 0, 4, 70, 412, 8, 28, 0, 4, 0xF06080, 0},
    {Tree, 3, 4, 22, 405, 6, 20, 0, 3, 0xE04A30, 0},
    {Tree, 1, 4, 250, 330, 6, 22, 0, 4, 0xF0B040, 0},
    {Tree, 2, 4, 165, 418, 8, 24, 0, 4, 0xA060D0, 0},
    {Grass, 1, 4, 0, 395, 291, 60, 30, 40, 0x2A8A50, 0x5AC070},
    {Fish, 0, 4, 200, 220, 0, 0, 24, 1, 0xF08A20, 0xFFFFFF},
    {Fish, 0, 4, 90, 280, 0, 0, 20, 1, 0x3060E0, 0xF0E040},
    {Fish, 1, 4, 215, 305, 0, 0, 22, 1, 0xF0D030, 0x202020},
    {Fish, 3, 4, 85, 165, 0, 0, 46, 1, 0xF0C040, 0x3050A0},
    {Dots, 0, 4, 145, 418, 150, 12, 1.8f, 30, 0xD8C8A0, 0xA89870},
    {Sparks, 4, 4, 220, 200, 20, 120, 1.5f, 25, 0x60FFFFFF, 0x40E0F8FF},
    {Fish, 4, 4, 40, 250, 90, 50, 9, 24, 0xF09040, 0xFFFFFF},
    {Fish, 4, 4, 225, 135, 0, 0, 40, 1, 0x8060C0, 0xF0E060},
};

const Element kPlanetElements[] = {
    {MilkyWay, 4, 4, -30, 260, 340, -240, 50, 500, 0x9080D0, 0},
    {Clouds, 2, 4, -40, 20, 360, 200, 40, 10, 0x40A050C0, 0x3050B0},
    {Planet, 4, 4, 240, 60, 0, 0, 8, 0, 0xB8C8E0, 0x8090B0},
    {Planet, 0, 0, 150, 330, 0, 0, 60, 1, 0xD8A868, 0xF0DCB0},
    {Planet, 1, 1, 150, 290, 0, 0, 62, 1, 0xD8A868, 0xF0DCB0},
    {Planet, 2, 2, 150, 240, 0, 0, 64, 1, 0xD8A868, 0xF0DCB0},
    {Planet, 3, 3, 150, 212, 0, 0, 64, 1, 0xD8A868, 0xF0DCB0},
    {Planet, 4, 4, 150, 192, 0, 0, 66, 1, 0xD8A868, 0xF0DCB0},
    {Ridge, 0, 4, 0, 345, 12, 200, 88, 0, 0xA0A0A8, 0x4A4A56},
    {Craters, 0, 4, 0, 345, 291, 88, 26, 14, 0x6A6A74, 0xC8C8D0},
    {Rock, 1, 4, 50, 380, 30, 18, 0, 0, 0xA8A8B0, 0x505060},
    {Rock, 3, 4, 220, 374, 22, 16, 0, 0, 0xE0E4EC, 0x8890A0},
    {Sparks, 3, 4, 220, 368, 12, 1, 1, 4, 0xFFE6A0, 0xA0E0FF},
};

const Element kDunesElements[] = {
    {MilkyWay, 4, 4, 220, -20, -160, 320, 50, 600, 0xC0B8E8, 0},
    {Ridge, 0, 4, 0, 290, 30, 230, 50, 2, 0xE8B070, 0xD08A50},
    {Camels, 1, 1, 190, 282, 12, 0, 9, 3, 0x5A3A28, 0},
    {Camels, 2, 2, 50, 305, 36, 0, 28, 4, 0x3A2418, 0},
    {Ridge, 0, 4, 0, 335, 40, 300, 60, 2, 0xD89058, 0xF0B878},
    {Rock, 3, 4, 160, 352, 36, 6, 0, 0, 0x5AA0C8, 0x2A6A90},
    {Palm, 3, 4, 140, 352, -6, 50, 0, 0, 0x6A4A2A, 0x2E6A30},
    {Palm, 3, 4, 180, 350, 8, 40, 0, 0, 0x6A4A2A, 0x2E6A30},
    {Palm, 3, 4, 196, 354, 4, 30, 0, 0, 0x6A4A2A, 0x2E6A30},
    {Ridge, 0, 4, 0, 400, 35, 340, 40, 2, 0xF8D098, 0xE0A060},
    {Tent, 4, 4, 70, 410, 0, 0, 30, 0, 0xD8C8A8, 0},
};

const Element kWinterElements[] = {
    {Aurora, 4, 4, 0, 170, 0, 110, 0, 0, 0x50FFA0, 0x6050D0},
    {Clouds, 0, 0, -40, 10, 370, 150, 30, 14, 0xE0E4E8EE, 0x8890A0},
    {Ridge, 0, 4, 0, 300, 26, 220, 60, 0, 0xDCE4F0, 0xB8C6DA},
    {Pines, 0, 4, -10, 310, 310, 34, 1, 22, 0x1E3A34, 0x3C6A58},
    {Ridge, 0, 4, 0, 365, 12, 300, 68, 0, 0xF8FAFF, 0xC8D4E6},
    {Clouds, 2, 4, 160, 220, 20, 75, 6, 8, 0x80D0D0D8, 0x808890},
    {House, 0, 4, 100, 372, 90, 36, 0, 1, 0xF4F6FA, 0x8A5A3A},
    {Sparks, 4, 4, 145, 339, 52, 1.5f, 1.4f, 16, 0xFF5050, 0x60E070},
    {Pines, 0, 4, -40, 400, 70, 150, 1, 2, 0x1E3A34, 0x3C6A58},
    {Pines, 0, 4, 235, 405, 70, 140, 1, 2, 0x1E3A34, 0x3C6A58},
    {Snowman, 1, 4, 225, 405, 0, 0, 60, 0, 0xD03030, 0x202028},
    {Dots, 0, 0, 145, 216, 200, 240, 1.5f, 180, 0xFFFFFF, 0xE0E8F8},
    {Dots, 4, 4, 145, 216, 200, 240, 1.3f, 140, 0xFFFFFF, 0xD0DCF0},
};
// clang-format on

}  // namespace

const Scene kMeadow{250, {&kNight, &kDawn, &kMorning, &kDay, &kGolden}, kMeadowElements};
const Scene kOrchard{300, {&kSnowy, &kMorning, &kDay, &kDay, &kGolden}, kOrchardElements};
const Scene kLighthouse{265, {&kDay, &kSunset, &kDusk, &kNight, &kNight}, kLighthouseElements};
const Scene kVoyage{250, {&kDawn, &kDay, &kMorning, &kSunset, &kNight}, kVoyageElements};
const Scene kLake{240, {&kMorning, &kDay, &kSunset, &kNight, &kNight}, kLakeElements};
const Scene kBalloons{300, {&kDawn, &kMorning, &kDay, &kGolden, &kSunset}, kBalloonsElements};
const Scene kReef{433, {&kDeep, &kDeep, &kDeep, &kLagoon, &kLagoon}, kReefElements};
const Scene kPlanet{330, {&kSpace, &kSpace, &kSpace, &kSpace, &kSpace}, kPlanetElements};
const Scene kDunes{280, {&kDawn, &kDay, &kSunset, &kDusk, &kNight}, kDunesElements};
const Scene kWinter{300, {&kSnowy, &kDay, &kSunset, &kNight, &kNight}, kWinterElements};
