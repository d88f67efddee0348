#pragma once
// CVSTScanCache: the per-user memory of examined plug-in files, so that a
// later start examines only files that are new or changed. Keyed by path;
// a record counts only while the file's size and modification time are
// those it was examined with. Failed files are kept with their reason and
// skipped until they change.
//
// Stored as JSON in "$XDG_CACHE_HOME/Corvane Studio/vst-cache.json" (else
// ~/.cache/...), written to a temporary file and renamed over the old one
// so that two studios starting together never leave half a file.

#include <map>
#include <string>

#include "plugins/vst/VSTScanRecord.h"

class CVSTScanCache {
public:
    static constexpr int kFormatVersion = 1;

    /// The per-user cache file; "" when no cache folder can be found.
    static std::string DefaultPath();

    explicit CVSTScanCache(std::string path);

    /// Reads the file; a missing or damaged file gives an empty cache.
    void Load();
    /// Writes atomically, creating the folder. False when it could not.
    bool Save() const;

    /// The record for path when the file still has this size and time.
    const VSTScanRecord* Find(const std::string& path, std::int64_t size, std::int64_t modifiedNs) const;
    void Put(const VSTScanRecord& record);
    void Clear();

    const std::map<std::string, VSTScanRecord>& Records() const { return records; }
    const std::string& Path() const { return path; }
    bool IsChanged() const { return changed; }

private:
    std::string path;
    std::map<std::string, VSTScanRecord> records;
    bool changed = false;
};

/// The cache as text for the command line: one line per file, registered
/// files with their identifier bytes, failed ones with their reason.
std::string FormatVstCache(const CVSTScanCache& cache);
