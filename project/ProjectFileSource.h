#pragma once
// CProjectFileSource: a project file read piece by piece as the reader asks
// for its fields, instead of whole. A file that is refused at its header,
// or whose stored counts and lengths cannot be true, is given up after the
// few bytes that showed it, however large it claims or happens to be; and
// no piece is read before its length was checked against the file's size.
//
// Pieces the reader keeps pointers into (names, state blocks, note lists)
// live until the source goes; the small fields pass through a read-ahead
// buffer. User-interface thread.

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class CProjectFileSource {
public:
    /// Opens the file. Throws "Failed To Open File '%s' For Reading" with
    /// the reason: it does not exist, it is a folder or not a regular file,
    /// or it may not be read.
    explicit CProjectFileSource(const std::string& path);
    ~CProjectFileSource();
    CProjectFileSource(const CProjectFileSource&) = delete;
    CProjectFileSource& operator=(const CProjectFileSource&) = delete;

    std::size_t Size() const { return size; }
    /// Copies count bytes from offset (inside the file) into out.
    void Copy(std::size_t offset, unsigned char* out, std::size_t count);
    /// count bytes from offset, kept until the source goes.
    const unsigned char* Keep(std::size_t offset, std::size_t count);

private:
    [[noreturn]] void ReadFailed() const;

    std::string path;
    int fd = -1;
    std::size_t size = 0;
    std::vector<unsigned char> window;   // read-ahead for small fields
    std::size_t windowStart = 0;
    std::size_t windowBytes = 0;
    std::deque<std::unique_ptr<unsigned char[]>> kept;
};
