#pragma once
// Where a render writes: a temporary file beside the target, renamed over
// it only once the WAV file is complete, so that an interrupted or failed
// render leaves the file that was there (or nothing) instead of a damaged
// one. A target that is not a regular file (/dev/null, a pipe) is written
// directly, as nothing could be renamed over it. Command-line thread.

#include <string>

class CRenderTarget {
public:
    /// Reserves the temporary file. Throws CError, naming the target and
    /// the reason, when its folder cannot take a file.
    explicit CRenderTarget(std::string targetPath);
    /// Removes the temporary file unless Commit succeeded.
    ~CRenderTarget();
    CRenderTarget(const CRenderTarget&) = delete;
    CRenderTarget& operator=(const CRenderTarget&) = delete;

    /// The file to write the WAV data to.
    const std::string& WritePath() const { return writePath; }
    /// Puts the complete file in the target's place (keeping an existing
    /// target's permissions). Throws CError when it cannot.
    void Commit();

private:
    std::string targetPath;   // what the user named
    std::string finalPath;    // the file a link named points at
    std::string writePath;
    bool temporary = false;
    bool committed = false;
};
