#include "project/RecoveryFile.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "framework/Error.h"
#include "project/ProjectFileIO.h"

namespace fs = std::filesystem;

namespace {

bool IsAbsoluteSetting(const char* value)
{
    return value != nullptr && value[0] == '/';
}

bool SameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    if (fs::equivalent(a, b, error))
        return true;
    return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

} // namespace

CRecoveryFile::CRecoveryFile(std::string path) : path(path.empty() ? DefaultPath() : std::move(path))
{
}

CRecoveryFile::~CRecoveryFile()
{
    Wait();
}

std::string CRecoveryFile::DefaultPath()
{
    std::string folder;
    if (const char* state = std::getenv("XDG_STATE_HOME"); IsAbsoluteSetting(state))
        folder = state;
    else if (const char* home = std::getenv("HOME"); IsAbsoluteSetting(home))
        folder = std::string(home) + "/.local/state";
    else
        return "";
    return folder + "/Corvane Studio/recovery.cvx";
}

void CRecoveryFile::Write(std::vector<unsigned char> bytes, const std::string& userFile)
{
    if (path.empty() || SameFile(path, userFile))
        return;
    Wait();
    writer = std::thread([this, bytes = std::move(bytes)] {
        std::string failure;
        try {
            std::error_code ignored;
            fs::create_directories(fs::path(path).parent_path(), ignored);
            ReplaceFileContents(path, bytes);
        } catch (const CError& error) {
            failure = error.Message();
        }
        const std::lock_guard<std::mutex> hold(stateLock);
        ++writesDone;
        lastError = failure;
    });
}

void CRecoveryFile::Wait()
{
    if (writer.joinable())
        writer.join();
}

int CRecoveryFile::WritesDone() const
{
    const std::lock_guard<std::mutex> hold(stateLock);
    return writesDone;
}

std::string CRecoveryFile::LastError() const
{
    const std::lock_guard<std::mutex> hold(stateLock);
    return lastError;
}

bool CRecoveryFile::Exists() const
{
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

void CRecoveryFile::Remove()
{
    Wait();
    std::error_code ignored;
    if (!path.empty())
        fs::remove(path, ignored);
}
