#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/tools/default_pictures.h"
#include "tests/scratch_directory.h"

namespace {

const std::string Script = std::string("DEMO_BUILD_DIR='") + DEMO_BUILD_DIR + "' " + MAKE_CONTENT_PATH;

std::string PictureName(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "%02d.raw", number);
    return name;
}

// The bytes of default picture `number` as a picture file holds them.
std::string DefaultPictureBytes(int number) {
    const auto picture = std::make_unique<Picture>();
    GeneratePicture(number, *picture);
    return PictureFileBytes(*picture);
}

TEST(MakeContent, FillsANewFolderWithTheDefaultContent) {
    ScratchDirectory scratch;
    ASSERT_EQ(scratch.Run(Script + " show/content"), 0) << scratch.Errors();
    std::vector<std::string> expected;
    for (int number = 1; number <= DefaultPictureCount; ++number) expected.push_back(PictureName(number));
    expected.push_back("kimo.xm");
    EXPECT_EQ(scratch.List("show/content"), expected);  // nothing half-made or temporary stays
    for (int number = 1; number <= DefaultPictureCount; ++number)
        EXPECT_EQ(scratch.Read("show/content/" + PictureName(number)).size(), static_cast<size_t>(PictureBytes));
    EXPECT_TRUE(scratch.Read("show/content/23.raw") == DefaultPictureBytes(23));
    EXPECT_EQ(scratch.Read("show/content/kimo.xm").substr(0, 17), "Extended Module: ");
}

TEST(MakeContent, KeepsWhatIsAlreadyThereAndFillsTheRest) {
    ScratchDirectory scratch;
    ASSERT_EQ(scratch.Run("mkdir content"), 0);
    scratch.Write("content/01.raw", "my own picture");
    scratch.Write("content/17.raw", "");
    scratch.Write("content/kimo.xm", "my own music");
    ASSERT_EQ(scratch.Run(Script + " content"), 0) << scratch.Errors();
    EXPECT_EQ(scratch.List("content").size(), 24u);
    EXPECT_EQ(scratch.Read("content/01.raw"), "my own picture");
    EXPECT_EQ(scratch.Read("content/17.raw"), "");
    EXPECT_EQ(scratch.Read("content/kimo.xm"), "my own music");
    EXPECT_TRUE(scratch.Read("content/02.raw") == DefaultPictureBytes(2));

    // Once everything is there, another run touches nothing.
    ASSERT_EQ(scratch.Run("touch -d 2001-01-01 content/*"), 0);
    ASSERT_EQ(scratch.Run(Script + " content"), 0) << scratch.Errors();
    EXPECT_EQ(scratch.Run("test -z \"$(find content -type f -newermt 2001-01-02)\""), 0);
    EXPECT_EQ(scratch.List("content").size(), 24u);
}

TEST(MakeContent, RefusesALinkToNothingAndWritesNothing) {
    ScratchDirectory scratch;
    ASSERT_EQ(scratch.Run("mkdir content && ln -s /nowhere/05.raw content/05.raw"), 0);
    EXPECT_EQ(scratch.Run(Script + " content"), 1);
    EXPECT_NE(scratch.Errors().find("content/05.raw links to /nowhere/05.raw, which does not exist"), std::string::npos)
        << scratch.Errors();
    EXPECT_EQ(scratch.List("content"), std::vector<std::string>{"05.raw"});
}

TEST(MakeContent, NeedsExactlyOneFolder) {
    ScratchDirectory scratch;
    EXPECT_EQ(scratch.Run(Script), 2);
    EXPECT_NE(scratch.Errors().find("usage: scripts/make-content.sh DIR"), std::string::npos);
    EXPECT_EQ(scratch.Run(Script + " a b"), 2);
    EXPECT_TRUE(scratch.List().empty());
}

}  // namespace
