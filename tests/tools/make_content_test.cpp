#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/default_pictures.h"

namespace {

// The DefaultContent test ran make-content.sh, with this build's tools, on a
// folder that did not exist.
TEST(MakeContent, FillsANewFolderWithTheDefaultContent) {
    std::vector<std::string> expected;
    for (int number = 1; number <= DefaultPictureCount; ++number) expected.push_back(PictureFileName(number));
    expected.push_back("kimo.xm");
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(DEFAULT_CONTENT_DIR))
        found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);  // nothing half-made or temporary stays
    for (int number = 1; number <= DefaultPictureCount; ++number)
        EXPECT_EQ(DefaultContentBytes(PictureFileName(number)).size(), static_cast<size_t>(PictureBytes));
    EXPECT_EQ(DefaultContentBytes("kimo.xm").substr(0, 17), "Extended Module: ");
}

// The script with stand-ins for the tools that copy the default content made
// for this run: what it keeps and what it fills in.
class MakeContentWithStandInTools : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(scratch.Run("mkdir tools && cp " SHOW_FACTS " ."), 0);
        scratch.Write("tools/demo-pictures", "#!/bin/sh\n[ \"$1\" = generate ] && cp " DEFAULT_CONTENT_DIR "/*.raw \"$2\"\n");
        scratch.Write("tools/demo-music", "#!/bin/sh\ncp " DEFAULT_CONTENT_DIR "/kimo.xm \"$1\"\n");
        ASSERT_EQ(scratch.Run("chmod +x tools/*"), 0);
    }
    int Run(const std::string& args) {
        return scratch.Run("DEMO_BUILD_DIR='" + scratch.Path() + "' " MAKE_CONTENT_PATH + args);
    }
    ScratchDirectory scratch;
};

TEST_F(MakeContentWithStandInTools, KeepsWhatIsAlreadyThereAndFillsTheRest) {
    ASSERT_EQ(scratch.Run("mkdir content"), 0);
    scratch.Write("content/01.raw", "my own picture");
    scratch.Write("content/17.raw", "");
    scratch.Write("content/kimo.xm", "my own music");
    ASSERT_EQ(Run(" content"), 0) << scratch.Errors();
    EXPECT_EQ(scratch.List("content").size(), 24u);
    EXPECT_EQ(scratch.Read("content/01.raw"), "my own picture");
    EXPECT_EQ(scratch.Read("content/17.raw"), "");
    EXPECT_EQ(scratch.Read("content/kimo.xm"), "my own music");
    EXPECT_TRUE(SamePicture(DefaultContentBytes("02.raw"), scratch.Read("content/02.raw")));

    // Once everything is there, another run touches nothing.
    ASSERT_EQ(scratch.Run("touch -d 2001-01-01 content/*"), 0);
    ASSERT_EQ(Run(" content"), 0) << scratch.Errors();
    EXPECT_EQ(scratch.Run("test -z \"$(find content -type f -newermt 2001-01-02)\""), 0);
    EXPECT_EQ(scratch.List("content").size(), 24u);
}

TEST_F(MakeContentWithStandInTools, RefusesALinkToNothingAndWritesNothing) {
    ASSERT_EQ(scratch.Run("mkdir content && ln -s /nowhere/05.raw content/05.raw"), 0);
    EXPECT_EQ(Run(" content"), 1);
    EXPECT_NE(scratch.Errors().find("content/05.raw links to /nowhere/05.raw, which does not exist"), std::string::npos)
        << scratch.Errors();
    EXPECT_EQ(scratch.List("content"), std::vector<std::string>{"05.raw"});
}

TEST_F(MakeContentWithStandInTools, NeedsExactlyOneFolder) {
    EXPECT_EQ(Run(""), 2);
    EXPECT_NE(scratch.Errors().find("usage: scripts/make-content.sh DIR"), std::string::npos);
    EXPECT_EQ(Run(" a b"), 2);
    EXPECT_EQ(scratch.List(), (std::vector<std::string>{"show_facts.sh", "tools"}));
}

}  // namespace
