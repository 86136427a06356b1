#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/system/shell.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Copies the built launcher into the folder and runs it; returns seconds until it ended.
double RunLauncherIn(const test::TempFolder& dir) {
    const fs::path launcher = dir.path() / "Veltor";
    fs::copy_file(VELTOR_BINARY, launcher);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // Start from another working folder: the launcher must use its own folder.
        const std::string said = (dir.path() / "stderr.txt").string();
        const int err = open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err < 0 || dup2(err, STDERR_FILENO) < 0 || chdir("/") != 0) _exit(127);
        execl(launcher.c_str(), launcher.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // Its end says why, as every end of the programs does.
    EXPECT_NE(dir.Read("stderr.txt").find("Veltor: the launcher's work is done; ends with status 0"),
              std::string::npos)
        << dir.Read("stderr.txt");
    return seconds;
}

TEST(Launcher, StartsTheGameOnceWithoutArgumentsAndEndsAfterAboutOneSecond) {
    test::TempFolder dir;
    // Stand-in game: notes its argument count and how often it ran.
    dir.Write("quorvel", "#!/bin/sh\necho \"started $#\" >> \"$(dirname \"$0\")/ran.txt\"\n");
    chmod((dir.path() / "quorvel").c_str(), 0755);

    const double seconds = RunLauncherIn(dir);
    EXPECT_GE(seconds, 0.95);
    EXPECT_LT(seconds, 2.5);

    // The game was started without waiting; give it a moment to note itself.
    for (int i = 0; i < 50 && dir.Read("ran.txt").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(dir.Read("ran.txt"), "started 0\n");
}

TEST(Launcher, EndsAfterAboutOneSecondWithoutAGame) {
    test::TempFolder dir;
    const double seconds = RunLauncherIn(dir);
    EXPECT_GE(seconds, 0.95);
    EXPECT_LT(seconds, 2.5);
}

TEST(Launcher, FolderWithSpacesWorks) {
    test::TempFolder outer;
    fs::create_directories(outer.path() / "my games");
    const fs::path game = outer.path() / "my games" / "quorvel";
    outer.Write("my games/quorvel", "#!/bin/sh\necho ran > \"$(dirname \"$0\")/ran.txt\"\n");
    chmod(game.c_str(), 0755);
    fs::copy_file(VELTOR_BINARY, outer.path() / "my games" / "Veltor");
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string exe = (outer.path() / "my games" / "Veltor").string();
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    for (int i = 0; i < 50 && outer.Read("my games/ran.txt").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(outer.Read("my games/ran.txt"), "ran\n");
}

}  // namespace
}  // namespace quorvel
