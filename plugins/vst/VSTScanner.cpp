#include "plugins/vst/VSTScanner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "host/MachineRegistry.h"
#include "platform/Directory.h"
#include "plugins/vst/VSTAdapterInfo.h"
#include "plugins/vst/VSTScanCache.h"

namespace {

void CollectFiles(const std::string& folder, std::vector<std::string>& files, int depth)
{
    // A link that loops back would otherwise recurse for ever.
    if (depth > 32)
        return;
    std::vector<platform::DirectoryEntry> entries = platform::ListDirectory(folder, "*");
    std::sort(entries.begin(), entries.end(),
              [](const platform::DirectoryEntry& a, const platform::DirectoryEntry& b) { return a.name < b.name; });
    for (const platform::DirectoryEntry& entry : entries) {
        if (!entry.isDirectory && entry.name.size() > 3 && entry.name.ends_with(".so"))
            files.push_back(platform::JoinPath(folder, entry.name));
    }
    for (const platform::DirectoryEntry& entry : entries) {
        if (entry.isDirectory && entry.name != "." && entry.name != "..")
            CollectFiles(platform::JoinPath(folder, entry.name), files, depth + 1);
    }
}

/// Examines the files that need it on a few threads, handing results out
/// in file order.
class CExaminationQueue {
public:
    CExaminationQueue(const std::vector<std::string>& paths, const VSTExamineOptions& options, int parallel)
        : paths(paths), options(options), results(paths.size()), done(paths.size(), false)
    {
        const int threads = std::clamp(parallel, 1, std::max(1, static_cast<int>(paths.size())));
        for (int i = 0; i < threads && !paths.empty(); ++i)
            workers.emplace_back([this] { Run(); });
    }

    ~CExaminationQueue()
    {
        for (std::thread& worker : workers)
            worker.join();
    }

    VSTScanRecord Take(std::size_t index)
    {
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [&] { return static_cast<bool>(done[index]); });
        return results[index];
    }

private:
    void Run()
    {
        for (;;) {
            const std::size_t index = next.fetch_add(1);
            if (index >= paths.size())
                return;
            VSTScanRecord record = ExamineVstFile(paths[index], options);
            std::lock_guard<std::mutex> lock(mutex);
            results[index] = std::move(record);
            done[index] = true;
            finished.notify_all();
        }
    }

    const std::vector<std::string>& paths;
    VSTExamineOptions options;
    std::vector<VSTScanRecord> results;
    std::vector<char> done;
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<std::thread> workers;
};

} // namespace

std::vector<std::string> ListVstFiles(const std::string& folder)
{
    std::vector<std::string> files;
    CollectFiles(folder, files, 0);
    return files;
}

VSTScanReport ScanVstFolders(const VSTScanSettings& settings, CHost* host, CMachineRegistry* registry)
{
    const auto start = std::chrono::steady_clock::now();
    VSTScanReport report;
    CVSTScanCache cache(settings.cachePath.empty() ? CVSTScanCache::DefaultPath() : settings.cachePath);
    cache.Load();

    // The folders in list order, each file once per time it is listed (a
    // folder listed twice registers its plug-ins twice, as the list says).
    struct File {
        std::string path;
        std::string folder;
        const VSTScanRecord* known = nullptr;
        int examineIndex = -1;
    };
    std::vector<File> files;
    std::vector<std::string> toExamine;
    for (const std::string& root : settings.folders) {
        for (const std::string& path : ListVstFiles(root)) {
            // A folder listed twice, or inside another listed one, gives
            // each of its plug-ins one machine type, not two.
            if (std::any_of(files.begin(), files.end(), [&path](const File& seen) { return seen.path == path; }))
                continue;
            File file{path, platform::FolderOf(path) + "/"};
            std::int64_t size = 0;
            std::int64_t modified = 0;
            if (!ReadFileIdentity(path, &size, &modified))
                continue;
            if (!settings.rescan)
                file.known = cache.Find(path, size, modified);
            if (file.known == nullptr) {
                const auto already = std::find(toExamine.begin(), toExamine.end(), path);
                file.examineIndex = static_cast<int>(already - toExamine.begin());
                if (already == toExamine.end())
                    toExamine.push_back(path);
            }
            files.push_back(std::move(file));
        }
    }

    report.examined = static_cast<int>(toExamine.size());
    CExaminationQueue queue(toExamine, settings.examine, settings.parallel);
    for (File& file : files) {
        const std::string fileName = platform::FileNameOf(file.path);
        if (settings.status) {
            char line[1024];
            std::snprintf(line, sizeof line, "Loading VST PlugIn %s...", fileName.c_str());
            settings.status(line);
        }
        VSTScanRecord record;
        if (file.known != nullptr) {
            record = *file.known;
        } else {
            record = queue.Take(static_cast<std::size_t>(file.examineIndex));
            if (!record.retry)
                cache.Put(record);
        }
        if (record.ok) {
            ++report.registered;
            if (registry != nullptr) {
                registry->SetCurrentLibrary(file.path);
                registry->Register(
                    new CVSTAdapterInfo(host, fileName, file.folder, file.path, record.entry, record.uniqueId));
                registry->SetCurrentLibrary({});
            }
        } else {
            ++report.failed;
        }
        report.files.push_back(std::move(record));
    }
    if (cache.IsChanged())
        cache.Save();
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}
