#include "output/file_output.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/scratch_directory.h"

namespace {

// A link planted where the next temporary name will be is neither written
// through nor taken over: the file goes to the next name and then in place,
// even under the longest name a folder can hold.
TEST(OutputFiles, PlantedLinkAtATemporaryNameIsNotWrittenThrough) {
    ScratchDirectory scratch;
    scratch.Write("victim", "victim");
    const std::string folder = scratch.Path() + "/";
    std::filesystem::create_symlink(scratch.Path("victim"), TemporaryName(folder, getpid(), 7));
    std::vector<uint64_t> draws = {7, 8};
    OutputFiles files([&draws] {
        const uint64_t next = draws.front();
        draws.erase(draws.begin());
        return next;
    });
    const std::string name(251, 'n');
    std::string error;
    ASSERT_TRUE(files.Write(folder + name, "new", 3, error)) << error;
    ASSERT_TRUE(files.Commit(error)) << error;
    EXPECT_EQ(scratch.Read("victim"), "victim");
    EXPECT_EQ(scratch.Read(name), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(TemporaryName(folder, getpid(), 7)));
    EXPECT_EQ(scratch.List().size(), 3u);
}

// Temporary files whose process has ended are removed by the next file
// written into their folder; those of live processes and other files stay.
TEST(OutputFiles, StaleTemporaryOfAnEndedProcessIsRemoved) {
    ScratchDirectory scratch;
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
    const std::string folder = scratch.Path() + "/";
    const std::string stale = TemporaryName(folder, ended, 1), live = TemporaryName(folder, getppid(), 2);
    for (const std::string& path : {stale, live, scratch.Path(".other.tmp")}) {
        std::ofstream(path) << "part";
        ASSERT_TRUE(std::filesystem::exists(path));
    }
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(folder + "out", "new", 3, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(live));
    EXPECT_EQ(scratch.List().size(), 3u);
}

TEST(OutputFiles, OnlyAnAbsentNameOrARegularFileIsReplaced) {
    ScratchDirectory scratch;
    std::filesystem::create_directory(scratch.Path("folder"));
    ASSERT_EQ(mkfifo(scratch.Path("fifo").c_str(), 0666), 0);
    std::filesystem::create_symlink("folder", scratch.Path("link"));
    for (const char* name : {"folder", "fifo", "link"}) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(scratch.Path(name), "new", 3, error)) << name;
        EXPECT_EQ(error.rfind("cannot write " + scratch.Path(name) + ": it is ", 0), 0u) << error;
    }
    EXPECT_EQ(scratch.List(), (std::vector<std::string>{"fifo", "folder", "link"}));
}

}  // namespace
