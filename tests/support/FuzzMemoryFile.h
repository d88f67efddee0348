#pragma once
// A file in memory for fuzzers whose reader takes a path: each input is
// written to it and read back through /proc, so a run never touches the disk.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

class CFuzzMemoryFile {
public:
    explicit CFuzzMemoryFile(const char* name) : descriptor(memfd_create(name, 0))
    {
        if (descriptor < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path = "/proc/self/fd/" + std::to_string(descriptor);
    }

    /// Replaces the file's bytes with the input's; returns its path.
    const char* Hold(const std::uint8_t* data, std::size_t size)
    {
        if (ftruncate(descriptor, 0) != 0 || pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size))
            std::abort();
        return path.c_str();
    }

private:
    int descriptor;
    std::string path;
};
