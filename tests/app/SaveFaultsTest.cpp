// The options file when it cannot be written, through the real program in a
// child process: a disk that is full (a file-size limit) and a folder the
// user may not write. The program says so, goes on to its normal end, and
// the file it had is left whole (here one the program repairs and writes
// back) with nothing half-written beside it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstdint>
#include <string>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/AppOptions.h"
#include "tests/app/ChildRun.h"

namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

class SaveFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/corvane-faults-XXXXXX";
        folder = mkdtemp(pattern);
        // Readable by the unprivileged child; its output files are opened
        // before it gives up root.
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
        optionsFolder = folder + "/config/Corvane Studio";
        optionsFile = optionsFolder + "/Corvane.opt";
        // An options file with an unusable output driver (7): the program
        // repairs it and writes it back, which is the write that fails.
        fs::create_directories(optionsFolder);
        const std::int32_t fields[] = {3, 7, 512, 2048, 0, 2048, 2048, 0, 0, 4, 0, 0, 0};
        before = "pOvC";
        before.append(reinterpret_cast<const char*>(fields), sizeof fields);
        std::ofstream(optionsFile, std::ios::binary) << before;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(optionsFolder, fs::perms::owner_all, ignored);
        fs::remove_all(folder, ignored);
    }
    ChildResult Run(ChildRequest request)
    {
        request.timeoutSeconds = 120.0;
        return RunCorvane(folder, request);
    }
    void ExpectOldFileKept(const ChildResult& result, const std::string& reason)
    {
        EXPECT_EQ(DisorderOf(result), "");
        EXPECT_EQ(result.exitCode, 0) << "the program went on\n" << result.err;
        EXPECT_NE(result.err.find("Corvane: Can't Save Options <" + optionsFile + ">: " + reason), std::string::npos)
            << result.err;
        EXPECT_EQ(ReadWhole(optionsFile), before);
        EXPECT_EQ(NamesIn(optionsFolder), std::vector<std::string>{"Corvane.opt"});
    }

    std::string folder;
    std::string optionsFolder;
    std::string optionsFile;
    std::string before;
};

TEST_F(SaveFaults, OptionsOnAFullDiskAreReportedAndTheOldFileKept)
{
    // The options writer alone in a child process: the whole program would
    // also meet the limit in JACK's own database files, which its library
    // does not survive.
    int errPipe[2];
    ASSERT_EQ(pipe(errPipe), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(errPipe[1], 2);
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &limit);
        CAppOptions options(optionsFile);
        options.DisableSaveOnExit();
        options.outputDriver = 0;
        _exit(options.SaveOrSay() ? 0 : 1);
    }
    close(errPipe[1]);
    ChildResult result;
    char buffer[4096];
    for (ssize_t n; (n = read(errPipe[0], buffer, sizeof buffer)) > 0;)
        result.err.append(buffer, static_cast<std::size_t>(n));
    close(errPipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the save said it failed";
    result.exitCode = 0;
    ExpectOldFileKept(result, "File too large");
}

TEST_F(SaveFaults, OptionsInAReadOnlyFolderAreReportedAndTheOldFileKept)
{
    fs::permissions(optionsFolder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    ChildRequest request{{"--list-machines"}};
    request.asUnprivilegedUser = true;
    ExpectOldFileKept(Run(request), "Permission denied");
}

} // namespace
