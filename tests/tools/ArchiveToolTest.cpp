// The archive tool from outside: its exit statuses and what it writes. Every
// file is named by its full path in a folder with a Cyrillic name, as a
// player's command prompt passes them.
#include <gtest/gtest.h>

#include <algorithm>

#include "photos/Archive.h"
#include "photos/Hdata.h"
#include "tests/photos/Fixtures.h"

namespace {

ToolRun Tool(const std::string& arguments) {
    return RunTool(PELVANTA_ARCHIVE_TOOL, arguments);
}

size_t Lines(const std::string& text) {
    return size_t(std::count(text.begin(), text.end(), '\n'));
}

class ArchiveTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("thumb.jpg", TestJpeg(137, 137, 21));
        for (int i = 0; i < 3; ++i) dir.Write(Photo(i), TestJpeg(58, 86, 22 + uint32_t(i)));
        dir.Write("не фото.jpg", std::vector<uint8_t>(300, 'x'));
    }
    static std::string Photo(int i) { return (i == 1 ? "фото" : "p") + std::to_string(i) + ".jpg"; }
    // A file's full path, quoted for the command line.
    std::string F(const std::string& name) const { return Quote(dir.File(name)); }
    std::string Photos() const { return F(Photo(0)) + " " + F(Photo(1)) + " " + F(Photo(2)); }

    TempDir dir;
};

TEST_F(ArchiveTool, PackWritesWhatLoadsInBothKinds) {
    for (const char* kind : {"0", "1"}) {
        const ToolRun pack = Tool("pack -o " + F("3000.p_g") + " --thumb " + F("thumb.jpg") +
                                  " --kind " + kind + " --depth 4 --weights 2,3,1,5 " + Photos());
        ASSERT_EQ(pack.status, 0) << pack.output;
        HData entry;
        std::string reason;
        ASSERT_TRUE(entry.Load(dir.File("3000.p_g").c_str(), reason)) << reason;
        EXPECT_EQ(entry.kind, kind[0] - '0');
        EXPECT_EQ(entry.Params(), (EngineParams{4, 2, 3, 1, 5}));
        EXPECT_EQ(entry.photos.Count(), 3);
        EXPECT_EQ(entry.icon->width, 137);
        EXPECT_LT(MeanDifference(Decoded(**entry.photos[1]), TestPicture(58, 86, 23)), 6.0);
    }
    EXPECT_FALSE(dir.Exists("3000.p_g.tmp"));  // the second pack replaced the first
}

TEST_F(ArchiveTool, PackMakesAGreedyOpponentThatLoads) {
    const ToolRun pack =
        Tool("pack -o " + F("3000.p_g") + " --thumb " + F("thumb.jpg") + " --depth 0 " + Photos());
    ASSERT_EQ(pack.status, 0) << pack.output;
    HData entry;
    std::string reason;
    ASSERT_TRUE(entry.Load(dir.File("3000.p_g").c_str(), reason)) << reason;
    EXPECT_EQ(entry.searchDepth, 0);
}

// What pack accepts the game loads, and what it refuses the game refuses:
// a photo with stray bytes before its end marker, and the same photo cut short.
TEST_F(ArchiveTool, PackAndTheGameAgreeOnPicturesWithWarnings) {
    std::vector<uint8_t> stray = TestJpeg(58, 86, 30);
    ASSERT_GE(stray.size(), 2u);
    stray.insert(stray.end() - 2, {0x12, 0x34, 0x56});  // before the end marker
    const std::vector<uint8_t> cut(stray.begin(), stray.end() - 40);
    dir.Write("stray.jpg", stray);
    dir.Write("cut.jpg", cut);

    const ToolRun accepted = Tool("pack -o " + F("3000.p_g") + " --thumb " + F("thumb.jpg") + " " +
                                  F("stray.jpg") + " " + Photos());
    ASSERT_EQ(accepted.status, 0) << accepted.output;
    HData entry;
    std::string reason;
    ASSERT_TRUE(entry.Load(dir.File("3000.p_g").c_str(), reason)) << reason;
    EXPECT_EQ(entry.photos.Count(), 4);
    EXPECT_LT(MeanDifference(Decoded(**entry.photos[0]), TestPicture(58, 86, 30)), 6.0);

    const ToolRun refused = Tool("pack -o " + F("3001.p_g") + " --thumb " + F("thumb.jpg") + " " +
                                 F("cut.jpg") + " " + Photos());
    EXPECT_EQ(refused.status, 1) << refused.output;
    EXPECT_NE(refused.output.find("cut.jpg"), std::string::npos) << refused.output;
    EXPECT_FALSE(dir.Exists("3001.p_g"));
    std::vector<std::vector<uint8_t>> photos = {cut, stray};
    dir.Write("3002.p_g", WriteArchive(kScrambledKind, kNewOpponentParams, stray, photos));
    HData broken;
    EXPECT_FALSE(broken.Load(dir.File("3002.p_g").c_str(), reason));
    EXPECT_NE(reason.find("corrupt"), std::string::npos) << reason;
}

TEST_F(ArchiveTool, PackDefaultsToScrambledWithTheNewOpponentNumbers) {
    ASSERT_EQ(Tool("pack -o " + F("d.p_g") + " --thumb " + F("thumb.jpg") + " " + Photos()).status,
              0);
    HData entry;
    ASSERT_TRUE(entry.Load(dir.File("d.p_g").c_str()));
    EXPECT_EQ(entry.kind, 1);
    EXPECT_EQ(entry.Params(), kNewOpponentParams);
}

TEST_F(ArchiveTool, InspectReportsEachFileAndExitsByWhetherAllLoad) {
    ASSERT_EQ(Tool("pack -o " + F("3000.p_g") + " --thumb " + F("thumb.jpg") +
                   " --depth 3 --weights 0,0,1,2 " + Photos())
                  .status,
              0);
    const ToolRun good = Tool("inspect " + F("3000.p_g"));
    EXPECT_EQ(good.status, 0) << good.output;
    EXPECT_NE(good.output.find(dir.File("3000.p_g") + ": loads"), std::string::npos) << good.output;
    EXPECT_NE(good.output.find("kind 1"), std::string::npos);
    EXPECT_NE(
        good.output.find("searchDepth 3 promotionBonus 0 firstKingBonus 0 manValue 1 kingValue 2"),
        std::string::npos)
        << good.output;
    EXPECT_NE(good.output.find("thumbnail 137x137"), std::string::npos);
    EXPECT_NE(good.output.find("photos 3: 58x86 58x86 58x86"), std::string::npos) << good.output;

    dir.Write("3001.p_g", {1, 0, 0, 0, 0});
    const ToolRun mixed =
        Tool("inspect " + F("3000.p_g") + " " + F("3001.p_g") + " " + F("3009.p_g"));
    EXPECT_EQ(mixed.status, 1) << mixed.output;
    EXPECT_NE(mixed.output.find("3001.p_g: does not load: thumbnail length 0 is not positive"),
              std::string::npos)
        << mixed.output;
    EXPECT_NE(mixed.output.find("3009.p_g: does not load: cannot open"), std::string::npos)
        << mixed.output;
}

TEST_F(ArchiveTool, DemoMakesANewFolderOfOpponentsThatLoad) {
    const ToolRun demo = Tool("demo " + F("Галерея") + " --count 2");
    ASSERT_EQ(demo.status, 0) << demo.output;
    const ToolRun inspect = Tool("inspect " + F("Галерея/3000.p_g") + " " + F("Галерея/3001.p_g"));
    EXPECT_EQ(inspect.status, 0) << inspect.output;
    EXPECT_NE(inspect.output.find(dir.File("Галерея/3001.p_g") + ": loads"), std::string::npos)
        << inspect.output;
    EXPECT_FALSE(dir.Exists("Галерея/3002.p_g"));
}

TEST_F(ArchiveTool, PackRefusesInputsThatAreNotJpegs) {
    const ToolRun run = Tool("pack -o " + F("x.p_g") + " --thumb " + F("thumb.jpg") + " " +
                             F(Photo(0)) + " " + F("не фото.jpg"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(dir.File("не фото.jpg") + " is not a usable JPEG file"),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(dir.Exists("x.p_g"));
    EXPECT_EQ(
        Tool("pack -o " + F("x.p_g") + " --thumb " + F("не фото.jpg") + " " + Photos()).status, 1);
    EXPECT_EQ(Tool("pack -o " + F("x.p_g") + " --thumb " + F("thumb.jpg") + " " + F(Photo(0)) +
                   " " + F("nothing.jpg"))
                  .status,
              1);
}

TEST_F(ArchiveTool, BadUsageIsOneLineAndStatusTwo) {
    const std::string thumb = " --thumb " + F("thumb.jpg") + " ";
    const std::string out = " -o " + F("u.p_g");
    const std::vector<std::string> bad = {
        "",
        "frobnicate",
        "inspect",
        "demo",
        "pack" + thumb + Photos(),
        "pack" + out + " " + Photos(),
        "pack" + out + thumb + F(Photo(0)),
        "pack" + out + thumb + "--kind 2 " + Photos(),
        "pack" + out + thumb + "--kind",
        "pack" + out + thumb + "--depth -1 " + Photos(),
        "pack" + out + thumb + "--depth x " + Photos(),
        "pack" + out + thumb + "--weights 1,2,3 " + Photos(),
        "pack" + out + thumb + "--weights 1,2,3,4,5 " + Photos(),
        "pack" + out + thumb + "--weights 1,2,3, " + Photos(),
        "pack" + out + thumb + "--colour red " + Photos(),
    };
    for (const std::string& arguments : bad) {
        const ToolRun run = Tool(arguments);
        EXPECT_EQ(run.status, 2) << arguments << "\n" << run.output;
        EXPECT_EQ(Lines(run.output), 1u) << arguments << "\n" << run.output;
    }
    EXPECT_FALSE(dir.Exists("u.p_g"));
}

}  // namespace
