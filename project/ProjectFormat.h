#pragma once
// The layout constants of project files (".cvx"): little-endian, no
// padding, a 10-byte header, fixed 2065-byte machine records followed by
// their state, then per machine a connection block and a pattern block,
// the song, and the notes.

#include <cstdint>

namespace project_format {

inline constexpr unsigned char kMagic[4] = {0x20, 0x58, 0x56, 0x43};   // " XVC"
inline constexpr std::int8_t kVersion = 4;
inline constexpr int kHeaderBytes = 10;

inline constexpr int kNameField = 1024;
/// Longest text a name field holds with its terminating zero.
inline constexpr int kMaximumNameBytes = kNameField - 1;
inline constexpr int kMachineRecordBytes = 2065;
inline constexpr int kMachineNameOffset = 0;
inline constexpr int kMachineTypeOffset = 1024;
inline constexpr int kMachineXOffset = 2048;
inline constexpr int kMachineYOffset = 2052;
inline constexpr int kMachineGuiModeOffset = 2056;
inline constexpr int kMachineStateLengthOffset = 2060;
inline constexpr int kMachineStateFlagOffset = 2064;

/// Connection records by version: four indexes and a float64 gain (3 and
/// later), a float32 gain (2), or no gain (0 and 1).
inline constexpr int kConnectionBytes = 24;
inline constexpr int kConnectionBytesVersion2 = 20;
inline constexpr int kConnectionBytesVersion1 = 16;

inline constexpr int kPatternHeaderBytes = 1048;
inline constexpr int kPatternIndexOffset = 0;
inline constexpr int kPatternLengthOffset = 4;
inline constexpr int kPatternNameOffset = 8;
inline constexpr int kPatternNoteCountOffset = 1032;
inline constexpr int kPatternTrackCountOffset = 1036;
inline constexpr int kPatternMachineOffset = 1040;
inline constexpr int kPatternPortOffset = 1044;
inline constexpr int kNoteBytes = 12;
inline constexpr int kPointBytes = 6;   // value float32, set byte, padding byte
inline constexpr int kEntryBytes = 8;

/// The default ticks per beat of files that do not store one (version 3
/// and older).
inline constexpr double kDefaultTicksPerBeat = 16.0;

/// Whether a file of this version and notes flag carries the notes.
constexpr bool HasNotes(int version, int notesFlag)
{
    return version >= 3 || (version == 2 && notesFlag == 1);
}

constexpr int ConnectionBytes(int version)
{
    return version >= 3 ? kConnectionBytes : version == 2 ? kConnectionBytesVersion2 : kConnectionBytesVersion1;
}

} // namespace project_format
