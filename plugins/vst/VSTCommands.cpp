#include "plugins/vst/VSTCommands.h"

#include <string>

#include "host/AppOptions.h"
#include "plugins/vst/VSTScanCache.h"
#include "plugins/vst/VSTScanner.h"

int ListVstCache(std::FILE* out)
{
    CVSTScanCache cache(CVSTScanCache::DefaultPath());
    cache.Load();
    std::fputs(FormatVstCache(cache).c_str(), out);
    return 0;
}

int RescanVstPlugins(bool quiet, std::FILE* out)
{
    CAppOptions options(CAppOptions::DefaultPath());
    options.DisableSaveOnExit();
    VSTScanSettings settings;
    settings.folders = options.vstPaths;
    settings.rescan = true;
    settings.examine.timeoutSeconds = DefaultScanTimeoutSeconds();
    if (!quiet)
        settings.status = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    const VSTScanReport report = ScanVstFolders(settings, nullptr, nullptr);
    ListVstCache(out);
    if (!quiet)
        std::fprintf(stderr, "Examined %d VST plug-in files in %.2f s: %d usable, %d failed\n", report.examined,
                     report.seconds, report.registered, report.failed);
    return 0;
}
