#pragma once
// Projects for the bad-input tests: a short song with one machine of every
// type the program registers (built-in and stock), written by the program's
// own code, and a map of where a project file keeps its machine states and
// pattern names, so that tests can damage exactly those bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// One machine of every registered type, each instrument playing a pattern
/// with notes and a control track, instruments cabled to the master and to
/// every effect, effects to the master; a one-second song.
void WriteEveryMachineProject(const std::string& path, double cableGain = 0.5);

struct ProjectLayout {
    struct Machine {
        std::string type;
        std::size_t record = 0;    // offset of the 2065-byte fixed part
        std::size_t state = 0;     // offset of the state block
        std::int32_t stateLength = 0;
    };
    std::vector<Machine> machines;
    std::vector<std::size_t> patternNames;   // offsets of the 1024-byte name fields
};

/// The layout of a well-formed version-4 project.
ProjectLayout ParseProjectLayout(const std::vector<unsigned char>& bytes);

std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
