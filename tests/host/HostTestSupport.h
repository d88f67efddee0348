#pragma once
// Helpers for the host and plug-in loading tests: a scratch folder on the
// real file system, whole-file reads and writes, an environment variable put
// back after the test, a copy for comparing packed fields, and a machine
// type whose descriptors count their own releases.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Machine.h"
#include "framework/MachineInfo.h"

namespace host_test {

/// The framework's shared structures are packed to 4-byte boundaries, so a
/// pointer field may sit at an address that is not a multiple of 8. Reading
/// it is fine, but binding a reference to it (as the gtest comparisons do)
/// is misaligned; comparisons take a copy instead.
template <typename T>
T Unpacked(T value)
{
    return value;
}

/// A fresh folder made by mkdtemp under $TMPDIR (or /tmp), removed with
/// everything in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") + "/corvane-host-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

inline std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

/// Sets (or, with nullopt, unsets) a variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* variable, std::optional<std::string> value) : name(variable)
    {
        if (const char* old = std::getenv(variable))
            saved = old;
        if (value)
            setenv(variable, value->c_str(), 1);
        else
            unsetenv(variable);
    }
    ~ScopedEnvironment()
    {
        if (saved)
            setenv(name.c_str(), saved->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name;
    std::optional<std::string> saved;
};

/// A machine that remembers which descriptor made it and every SetParameter
/// it received.
class TaggedMachine : public CMachine {
public:
    TaggedMachine(CHost* host, int tag) : CMachine(host), tag(tag) { parameterCount = 8; }
    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return false; }
    void SetParameter(int index, double value) override { received.push_back({index, value}); }

    struct Change {
        int index;
        double value;
    };
    const int tag;
    std::vector<Change> received;
};

/// A descriptor that appends its tag to a shared list when it is released,
/// so that tests see how often and in which order descriptors go.
class CountingDescriptor : public CMachineInfo {
public:
    CountingDescriptor(const char* typeName, const char* typeIdentifier, int tag, std::vector<int>* releases,
                       CHost* host = nullptr)
        : tag(tag), releases(releases), host(host)
    {
        name = typeName;
        identifier = typeIdentifier;
    }
    void Release() override
    {
        if (releases != nullptr)
            releases->push_back(tag);
        delete this;
    }
    CMachine* CreateMachine() override { return new TaggedMachine(host, tag); }

    const int tag;

private:
    std::vector<int>* releases;
    CHost* host;
};

} // namespace host_test
