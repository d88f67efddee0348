#pragma once
// Project files built byte by byte, field by field, for the versions the
// reader accepts, so that the tests do not read back only what the writer
// wrote.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace project_test {

struct CableRecord {
    int sourceMachine;
    int sourcePort;
    int targetMachine;
    int targetPort;
    double gain;
};

struct TrackRecord {
    int propertyId;
    std::vector<std::pair<float, std::uint8_t>> points;   // value, set
};

struct PatternRecord {
    int index;
    int length;
    std::string name;
    int machine;
    int port;
    std::vector<std::array<int, 3>> notes;   // start, length, number
    std::vector<TrackRecord> tracks;
};

struct SongTrackRecord {
    int port;
    std::vector<std::pair<int, int>> entries;   // position, pattern index
};

class CProjectBytes {
public:
    CProjectBytes& Header(int version, int notesFlag, float tempo, float ticksPerBeat = 16.0f)
    {
        Raw({0x20, 0x58, 0x56, 0x43});
        Byte(static_cast<std::uint8_t>(static_cast<std::int8_t>(version)));
        Byte(static_cast<std::uint8_t>(notesFlag));
        Float(tempo);
        if (version > 3)
            Float(ticksPerBeat);
        this->version = version;
        return *this;
    }

    CProjectBytes& Int32(std::int32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> shift));
        return *this;
    }
    CProjectBytes& Float(float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, 4);
        return Int32(static_cast<std::int32_t>(bits));
    }
    CProjectBytes& Double(double value)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &value, 8);
        Int32(static_cast<std::int32_t>(bits & 0xffffffffu));
        return Int32(static_cast<std::int32_t>(bits >> 32));
    }
    CProjectBytes& Byte(std::uint8_t value)
    {
        bytes.push_back(value);
        return *this;
    }
    CProjectBytes& Raw(const std::vector<unsigned char>& raw)
    {
        bytes.insert(bytes.end(), raw.begin(), raw.end());
        return *this;
    }
    CProjectBytes& Field(const std::string& text, std::size_t size = 1024)
    {
        std::vector<unsigned char> field(size, 0);
        std::memcpy(field.data(), text.data(), std::min(text.size(), size));
        return Raw(field);
    }

    /// A "46HP" block of the values.
    static std::vector<unsigned char> DefaultState(const std::vector<double>& values)
    {
        CProjectBytes state;
        state.Raw({0x34, 0x36, 0x48, 0x50}).Int32(static_cast<std::int32_t>(values.size()));
        for (double value : values)
            state.Double(value);
        return state.bytes;
    }

    CProjectBytes& Machine(const std::string& name, const std::string& type, int x, int y, int gui,
                           const std::vector<unsigned char>& state, int flag = 1)
    {
        Field(name).Field(type).Int32(x).Int32(y).Int32(gui);
        Int32(static_cast<std::int32_t>(state.size())).Byte(static_cast<std::uint8_t>(flag));
        return Raw(state);
    }

    CProjectBytes& Cables(const std::vector<CableRecord>& cables)
    {
        const int record = version >= 3 ? 24 : version == 2 ? 20 : 16;
        Int32(4 + record * static_cast<int>(cables.size())).Int32(static_cast<int>(cables.size()));
        for (const CableRecord& cable : cables) {
            Int32(cable.sourceMachine).Int32(cable.sourcePort).Int32(cable.targetMachine).Int32(cable.targetPort);
            if (version >= 3)
                Double(cable.gain);
            else if (version == 2)
                Float(static_cast<float>(cable.gain));
        }
        return *this;
    }

    CProjectBytes& Patterns(const std::vector<PatternRecord>& patterns)
    {
        CProjectBytes block;
        block.Int32(static_cast<int>(patterns.size()));
        for (const PatternRecord& pattern : patterns) {
            block.Int32(pattern.index).Int32(pattern.length).Field(pattern.name);
            block.Int32(static_cast<int>(pattern.notes.size())).Int32(static_cast<int>(pattern.tracks.size()));
            block.Int32(pattern.machine).Int32(pattern.port);
            for (const auto& note : pattern.notes)
                block.Int32(note[0]).Int32(note[1]).Int32(note[2]);
            for (const TrackRecord& track : pattern.tracks) {
                block.Int32(track.propertyId).Int32(static_cast<int>(track.points.size()));
                for (const auto& [value, set] : track.points)
                    block.Float(value).Byte(set).Byte(0xee);
            }
        }
        return Int32(static_cast<int>(block.bytes.size())).Raw(block.bytes);
    }

    CProjectBytes& Song(int length, const std::vector<SongTrackRecord>& tracks)
    {
        CProjectBytes block;
        block.Int32(length).Int32(static_cast<int>(tracks.size()));
        for (const SongTrackRecord& track : tracks) {
            block.Int32(track.port).Int32(static_cast<int>(track.entries.size()));
            for (const auto& [position, pattern] : track.entries)
                block.Int32(position).Int32(pattern);
        }
        return Int32(static_cast<int>(block.bytes.size())).Raw(block.bytes);
    }

    CProjectBytes& Notes(const std::string& text)
    {
        Int32(static_cast<int>(text.size() + 1));
        Raw(std::vector<unsigned char>(text.begin(), text.end()));
        return Byte(0);
    }

    std::vector<unsigned char> bytes;
    int version = 4;
};

} // namespace project_test
