#include "tests/vst/VstTestSupport.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

#include "host/MachineRegistry.h"
#include "plugins/vst/VSTAdapterInfo.h"

extern char** environ;

namespace vst_test {

std::string CopyTestPlugin(const std::string& name, const std::string& folder, const std::string& fileName)
{
    std::filesystem::create_directories(folder);
    const std::string target = folder + "/" + (fileName.empty() ? name + ".so" : fileName);
    std::filesystem::copy_file(std::string(VST_TEST_PLUGIN_DIR) + "/" + name + ".so", target,
                               std::filesystem::copy_options::overwrite_existing);
    return target;
}

TestPluginProbe* ProbeOf(const std::string& path)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr)
        return nullptr;
    auto probe = reinterpret_cast<TestProbeFunction>(dlsym(library, "CorvaneTestProbe"));
    // RTLD_NOLOAD counted one more reference; the adapter's own decides
    // when the library goes.
    dlclose(library);
    return probe != nullptr ? probe() : nullptr;
}

VSTScanReport ScanInto(const std::string& folder, const std::string& cacheFile, CHost* host,
                       CMachineRegistry* registry, std::vector<std::string>* status, double timeoutSeconds)
{
    VSTScanSettings settings;
    settings.folders = {folder};
    settings.cachePath = cacheFile;
    settings.examine.helperPath = VST_SCANNER;
    settings.examine.timeoutSeconds = timeoutSeconds;
    if (status != nullptr)
        settings.status = [status](const std::string& line) { status->push_back(line); };
    return ScanVstFolders(settings, host, registry);
}

CVSTAdapterInfo* FindType(const CMachineRegistry& registry, const std::string& name)
{
    for (const auto& entry : registry) {
        auto* info = dynamic_cast<CVSTAdapterInfo*>(entry->descriptor);
        if (info != nullptr && name == info->name)
            return info;
    }
    return nullptr;
}

ProgramResult RunProgram(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                         const host_test::ScratchFolder& scratch)
{
    const std::string outPath = scratch / "stdout.txt";
    const std::string errPath = scratch / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry)
        variables.emplace_back(*entry);
    for (const std::string& extra : environment) {
        const std::string name = extra.substr(0, extra.find('=') + 1);
        std::erase_if(variables, [&](const std::string& v) { return v.starts_with(name); });
        variables.push_back(extra);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = arguments;
    args.insert(args.begin(), CORVANE_EXECUTABLE);
    std::vector<char*> argv;
    for (std::string& argument : args)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    ProgramResult result;
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        if (waitpid(child, &status, 0) == child && WIFEXITED(status))
            result.exitCode = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    const auto out = host_test::ReadBytes(outPath);
    const auto err = host_test::ReadBytes(errPath);
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

} // namespace vst_test
