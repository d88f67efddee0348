#include "samples/SampleAnalyzer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>


namespace {

/// "*.wav" as the file system of the original matched it: in any case.
bool IsWavName(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string extension = name.substr(name.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".wav";
}

} // namespace

CSampleAnalyzer::CSampleAnalyzer(const std::string& baseFolder)
{
    const std::string prefix = baseFolder.empty() ? "Samples/" : baseFolder + "/Samples/";
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(prefix, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (IsWavName(name) && !entry->is_directory(error))
            names.push_back(name);
    }
    // The directory order is the file system's; a sorted list reads better
    // and stays the same from run to run.
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        paths.push_back(prefix + name);
}

std::vector<std::string> CSampleAnalyzer::GetSampleNames() const
{
    std::vector<std::string> names;
    for (const std::string& path : paths)
        names.push_back(path.substr(path.rfind('/') + 1));
    return names;
}

const CMonoSample& CSampleAnalyzer::SelectSample(int index)
{
    if (index < 0 || index >= static_cast<int>(paths.size()))
        return sample;
    CMonoSample loaded;
    loaded.LoadWav(paths[static_cast<std::size_t>(index)].c_str());
    sample = loaded;
    return sample;
}
