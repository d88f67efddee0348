#pragma once
// Builds SoundFont 2 files byte by byte, so that each test states exactly
// which chunks a bank holds, and writes them where a loader can read them.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace bank_test {

using Bytes = std::vector<unsigned char>;

inline void Append(Bytes& to, const Bytes& what)
{
    to.insert(to.end(), what.begin(), what.end());
}

inline void AppendU32(Bytes& to, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        to.push_back(static_cast<unsigned char>(value >> shift));
}

inline void AppendU16(Bytes& to, std::uint16_t value)
{
    to.push_back(static_cast<unsigned char>(value));
    to.push_back(static_cast<unsigned char>(value >> 8));
}

inline void AppendId(Bytes& to, const char* id)
{
    to.insert(to.end(), id, id + 4);
}

/// A chunk: id, stored size, data (no pad byte, as the walker expects).
inline Bytes Chunk(const char* id, const Bytes& data)
{
    Bytes out;
    AppendId(out, id);
    AppendU32(out, static_cast<std::uint32_t>(data.size()));
    Append(out, data);
    return out;
}

/// A text chunk holding exactly these bytes (no terminator unless given).
inline Bytes TextChunk(const char* id, const std::string& text)
{
    return Chunk(id, Bytes(text.begin(), text.end()));
}

/// A zero-terminated text padded to an even size, as SoundFont editors write.
inline Bytes ZString(const char* id, const std::string& text)
{
    Bytes data(text.begin(), text.end());
    data.push_back(0);
    if (data.size() % 2 != 0)
        data.push_back(0);
    return Chunk(id, data);
}

inline Bytes VersionChunk(const char* id, int major, int minor)
{
    Bytes data;
    AppendU16(data, static_cast<std::uint16_t>(major));
    AppendU16(data, static_cast<std::uint16_t>(minor));
    return Chunk(id, data);
}

inline Bytes List(const char* type, const std::vector<Bytes>& chunks)
{
    Bytes data;
    AppendId(data, type);
    for (const Bytes& chunk : chunks)
        Append(data, chunk);
    return Chunk("LIST", data);
}

/// One 38-byte "phdr" record; the name is cut or zero-padded to 20 bytes.
inline Bytes PresetRecord(const std::string& name, int preset, int bank)
{
    Bytes record(20, 0);
    std::memcpy(record.data(), name.data(), name.size() < 20 ? name.size() : 20);
    AppendU16(record, static_cast<std::uint16_t>(preset));
    AppendU16(record, static_cast<std::uint16_t>(bank));
    AppendU16(record, 0);   // bag index
    AppendU32(record, 0);   // library
    AppendU32(record, 0);   // genre
    AppendU32(record, 0);   // morphology
    return record;
}

/// A "phdr" chunk of the given presets and the terminal record "EOP".
inline Bytes PresetHeaders(const std::vector<std::string>& names)
{
    Bytes data;
    for (std::size_t i = 0; i < names.size(); ++i)
        Append(data, PresetRecord(names[i], static_cast<int>(i), 0));
    Append(data, PresetRecord("EOP", 0, 0));
    return Chunk("phdr", data);
}

inline Bytes Riff(const char* form, const std::vector<Bytes>& chunks)
{
    Bytes data;
    AppendId(data, form);
    for (const Bytes& chunk : chunks)
        Append(data, chunk);
    Bytes out;
    AppendId(out, "RIFF");
    AppendU32(out, static_cast<std::uint32_t>(data.size()));
    Append(out, data);
    return out;
}

/// The usual INFO list of a small bank.
inline Bytes InfoList(const std::string& name = "Test Bank", int major = 2, int minor = 1)
{
    return List("INFO", {VersionChunk("ifil", major, minor), ZString("isng", "EMU8000"), ZString("INAM", name)});
}

inline Bytes SampleDataList()
{
    return List("sdta", {Chunk("smpl", Bytes(64, 0))});
}

inline Bytes PresetDataList(const std::vector<std::string>& names)
{
    return List("pdta", {PresetHeaders(names), Chunk("pbag", Bytes(8, 0)), Chunk("inst", Bytes(22, 0))});
}

/// A complete small bank: INFO, sdta and pdta in the usual order.
inline Bytes SmallBank(const std::string& name, const std::vector<std::string>& presets)
{
    return Riff("sfbk", {InfoList(name), SampleDataList(), PresetDataList(presets)});
}

inline void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace bank_test
