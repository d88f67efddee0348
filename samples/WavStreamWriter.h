#pragma once
// CWavStreamWriter: writes a WAV file block by block, as the recorder tracks
// and the renderer do. The header's place stays empty until Close writes it
// from the frame count, so a file that was never closed has no valid header,
// unless the writer calls UpdateHeader along the way (the recorder does, so
// that a take survives a crash up to the last update).
//
// Append converts into a buffer sized at Open for the largest block, so it
// allocates nothing while recording; it writes to the file from the thread
// that calls it.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "samples/WavFormat.h"

class CWavStreamWriter {
public:
    CWavStreamWriter() = default;
    ~CWavStreamWriter();
    CWavStreamWriter(const CWavStreamWriter&) = delete;
    CWavStreamWriter& operator=(const CWavStreamWriter&) = delete;

    /// Creates the file; false when it cannot be created.
    bool Open(const char* path, WavSampleFormat format, int channels, int largestBlock);
    /// One block of frames: left (and right for two channels).
    void Append(const double* left, const double* right, int frames);
    /// Writes the header with the rate the host runs at now and closes.
    void Close(int sampleRate);
    /// Writes a valid header for the frames appended so far and hands every
    /// byte written to the system, then goes on at the end of the data:
    /// should the process die, the file reads as the take up to here. From
    /// the thread that appends.
    void UpdateHeader(int sampleRate);

    bool IsOpen() const { return file != nullptr; }
    /// Whether any write came up short (a full disk). Nothing is appended
    /// after that, and the headers written count only the whole frames the
    /// file holds.
    bool WriteFailed() const { return writeFailed; }
    /// The error number of the first failed write, 0 before one.
    int WriteError() const { return writeError; }
    std::uint32_t Frames() const { return frames; }
    /// The frame count the header on disk gives (0 before any header).
    std::uint32_t HeaderFrames() const { return headerFrames; }
    int Channels() const { return channels; }

private:
    void Fail();
    void CountFramesOnDisk();

    std::FILE* file = nullptr;
    WavSampleFormat format = WavSampleFormat::Pcm16;
    int channels = 1;
    std::uint32_t frames = 0;
    std::uint32_t headerFrames = 0;
    bool writeFailed = false;
    int writeError = 0;
    std::vector<unsigned char> scratch;
};
