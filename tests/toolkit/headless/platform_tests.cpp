#include <sys/stat.h>

#include "headless_fixture.h"

namespace {

TEST(HeadlessPlatform, KeepsProfilesInTheDirectoryItIsGiven) {
    TemporaryDirectory dir;
    tk::headless::HeadlessPlatform platform;
    platform.setProfileDirectory(dir.path());
    ASSERT_TRUE(platform.profile("TUV Windows Application").writeInt("LevelTemplate", "WindowTop", 12));
    EXPECT_EQ(readFile(dir / "TUV_Windows_Application.ini"), "[LevelTemplate]\nWindowTop=12\n");
}

// What a module reaches through tk::Platform: the safe save, with a message
// that names the file when it refuses.
TEST(HeadlessPlatform, SavesFilesForTheModuleAndSaysWhyNot) {
    TemporaryDirectory dir;
    tk::headless::HeadlessPlatform headless;
    tk::Platform& platform = headless;
    ASSERT_TRUE(platform.saveFile(dir / "a.Zly", "bytes"));
    EXPECT_EQ(readFile(dir / "a.Zly"), "bytes");
    ::mkdir((dir / "folder").c_str(), 0755);
    tk::SaveResult refused = platform.saveFile(dir / "folder", "bytes");
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message.find(dir / "folder"), std::string::npos) << refused.message;
    EXPECT_EQ(refused.message.find('\n'), std::string::npos);
}

}  // namespace
