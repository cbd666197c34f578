// Audio inputs that are not plain readable files: each is refused with its own reason
// and the file's name, without waiting on a pipe or trying a decoder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/player/temp_dir.h"
#include "tests/player/whole_track.h"

namespace {
std::string Refusal(const std::string& path) {
    StereoAudio audio;
    std::string error;
    EXPECT_FALSE(DecodeAudioFile(path, audio, error)) << path;
    return error;
}

TEST(InputFiles, WhatIsNoReadableFileIsRefusedByName) {
    TempDir dir;
    std::filesystem::create_symlink("loop-b", dir.File("loop-a"));
    std::filesystem::create_symlink("loop-a", dir.File("loop-b"));
    ASSERT_EQ(mkfifo(dir.File("pipe.wav").c_str(), 0600), 0);  // no writer: opening it to read would block
    std::filesystem::create_symlink(dir.File("pipe.wav"), dir.File("to-pipe.wav"));
    const struct {
        std::string path;
        const char* message;
    } cases[] = {
        {dir.File("missing.wav"), "cannot open '{}': no such file or directory"},
        {dir.File("loop-a"), "cannot open '{}': too many levels of symbolic links"},
        {dir.File("pipe.wav"), "cannot read '{}': it is a named pipe, not a regular file"},
        {dir.File("to-pipe.wav"), "cannot read '{}': it is a named pipe, not a regular file"},
        {"/dev/zero", "cannot read '{}': it is a character device, not a regular file"},
        {dir.Path(), "cannot read '{}': it is a directory, not a regular file"},
    };
    for (const auto& c : cases) {
        std::string expected = c.message;
        expected.replace(expected.find("{}"), 2, c.path);
        EXPECT_EQ(Refusal(c.path), expected);
    }
}

// Root reads a file of mode 000, so there the check runs in a child that has become
// nobody; its message comes back through a pipe.
TEST(InputFiles, AnUnreadableFileSaysPermissionDenied) {
    TempDir dir;
    std::ofstream(dir.File("locked.m4a")) << "some bytes that no one may read";
    ASSERT_EQ(chmod(dir.File("locked.m4a").c_str(), 0), 0);
    const std::string expected = "cannot read '" + dir.File("locked.m4a") + "': permission denied";
    if (geteuid() != 0) {
        EXPECT_EQ(Refusal(dir.File("locked.m4a")), expected);
        return;
    }
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    int message[2];
    ASSERT_EQ(pipe(message), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(message[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        StereoAudio audio;
        std::string error;
        const bool decoded = DecodeAudioFile(dir.File("locked.m4a"), audio, error);
        const bool written = write(message[1], error.data(), error.size()) == ssize_t(error.size());
        _exit(!decoded && written ? 0 : 1);
    }
    close(message[1]);
    std::string error;
    char buffer[512];
    for (ssize_t got; (got = read(message[0], buffer, sizeof buffer)) > 0;) error.append(buffer, size_t(got));
    close(message[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child as nobody: status " << status;
    EXPECT_EQ(error, expected);
}
}  // namespace
