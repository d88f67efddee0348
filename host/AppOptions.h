#pragma once
// CAppOptions: the user's settings, kept in one small binary file per user:
// the output driver and each driver's device, buffer size and format, the
// options window's last size and the folders searched for VST plug-ins.
//
// Read when constructed, written back when destroyed. The file is never
// trusted beyond what it holds: a damaged or cut file leaves the defaults in
// every field it could not read, and no message is shown for it.

#include <cstdint>
#include <string>
#include <vector>

class CAppOptions {
public:
    static constexpr std::uint32_t kMagic = 0x43764f70;   // the bytes "pOvC"
    static constexpr std::int32_t kVersion = 3;

    /// Reads the per-user file.
    CAppOptions();
    /// Reads the file at path ("" for none: defaults only, nothing written).
    explicit CAppOptions(std::string path);
    /// Writes the file back (see SaveOrSay).
    ~CAppOptions();
    CAppOptions(const CAppOptions&) = delete;
    CAppOptions& operator=(const CAppOptions&) = delete;

    /// "~/.config/Corvane Studio/Corvane.opt", from the per-user
    /// configuration folder; "" when there is none.
    static std::string DefaultPath();
    /// The VST folders used until the user chooses: each folder of
    /// $VST_PATH, else ~/.vst, /usr/local/lib/vst and /usr/lib/vst.
    static std::vector<std::string> DefaultVstPaths();

    /// Writes version 3 to a temporary file beside the options file and
    /// renames it over, so a crash while writing keeps the old file whole.
    /// Creates the folder. False when nothing could be written, with errno
    /// telling why; the old file is then as it was.
    bool Save() const;
    /// Save, and on failure "Corvane: Can't Save Options <%s>: %s" on
    /// standard error: settings that are lost must not be lost silently.
    bool SaveOrSay() const;
    /// Parses a file's bytes into this record (defaults first). Public for
    /// the tests that build files byte by byte.
    void ReadFrom(const std::vector<unsigned char>& bytes);
    /// The version-3 bytes of this record.
    std::vector<unsigned char> Serialize() const;
    /// Stops the destructor from writing (for a record that only inspects).
    void DisableSaveOnExit() { saveOnExit = false; }
    const std::string& Path() const { return path; }

    std::int32_t optionsWindowWidth = 0;
    std::int32_t optionsWindowHeight = 0;
    std::int32_t outputDriver = -1;        // 0 null, 1 Wave Out (ALSA), 2 ASIO (JACK), -1 none chosen
    std::int32_t nullBufferSize = 512;
    std::int32_t nullFormat = 2048;        // 44.1 kHz, 16 bit, stereo
    std::int32_t waveOutDevice = 0;
    std::int32_t waveOutBufferSize = 512;
    std::int32_t waveOutFormat = 2048;
    std::int32_t asioDriver = 0;
    std::int32_t asioSetting = 0;
    std::int32_t asioRateFlags = 4;
    std::vector<std::string> vstPaths;

private:
    void SetDefaults();
    void Load();

    std::string path;
    bool saveOnExit = true;
};
