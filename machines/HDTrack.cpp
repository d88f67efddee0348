#include "machines/HDTrack.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "framework/Error.h"
#include "framework/ScopedLock.h"
#include "framework/Host.h"

namespace {

/// Frames a RIFF file of this frame size can count: its sizes are 32-bit.
std::uint32_t MaxFrames(int bytesPerFrame)
{
    return static_cast<std::uint32_t>((0xFFFFFFFFull - 36) / static_cast<unsigned>(bytesPerFrame));
}

} // namespace

CHDTrack::CHDTrack(CHDTrackMachine* machine, CHost* host, bool stereo) : machine(machine), host(host), stereo(stereo)
{
}

CHDTrack::~CHDTrack()
{
    CScopedLock<CHDTrack> hold(*this);
    Close();
}

void CHDTrack::RequireLock(const char* message) const
{
    if (!trackLock.IsLockedByCaller())
        throw CError("%s", message);
}

int CHDTrack::SampleRate() const
{
    CHost* services = host;
    return services != nullptr ? services->GetSampleRate() : 44100;
}

bool CHDTrack::Open()
{
    RequireLock("HD Track Not Locked On Open");
    if (recording)
        Close();
    recordedSeconds = 0.0;
    const WavSampleFormat format = FormatTag() == kFormatPcm16 ? WavSampleFormat::Pcm16 : WavSampleFormat::Float32;
    CHost* services = host;
    const int largestBlock = services != nullptr ? services->GetBlockSize() : 0;
    if (fileName[0] == '\0') {
        lastError = "Can't Open File <>: no file chosen";
    } else if (!file.Open(fileName, format, stereo ? 2 : 1, largestBlock)) {
        lastError = std::string("Can't Open File <") + fileName + ">: " + std::strerror(errno);
    } else {
        lastError.clear();
        // A valid header from the start, corrected as the take grows and at
        // the end, so a file cut short by a crash still reads.
        file.UpdateHeader(SampleRate());
        headerIntervalFrames = static_cast<std::uint32_t>(kHeaderUpdateSeconds * SampleRate());
        framesWritten = 0;
        recording = true;
        toggleOn.store(true, std::memory_order_relaxed);
        Changed();
        return true;
    }
    toggleOn.store(false, std::memory_order_relaxed);
    Changed();
    return false;
}

void CHDTrack::Append(const double* left, const double* right, int frames)
{
    RequireLock("HD Track Not Locked On Write");
    if (!recording || frames <= 0)
        return;
    // A take stops growing where the 32-bit RIFF sizes would wrap.
    const std::uint32_t room = MaxFrames((FormatTag() == kFormatPcm16 ? 2 : 4) * (stereo ? 2 : 1)) - framesWritten;
    const int count = static_cast<std::uint32_t>(frames) > room ? static_cast<int>(room) : frames;
    if (count <= 0)
        return;
    file.Append(left, stereo ? right : nullptr, count);
    framesWritten += static_cast<std::uint32_t>(count);
    const int rate = SampleRate();
    recordedSeconds = rate > 0 ? static_cast<double>(framesWritten) / rate : 0.0;
    if (headerIntervalFrames > 0 && framesWritten - file.HeaderFrames() >= headerIntervalFrames)
        file.UpdateHeader(rate);
    if (file.WriteFailed()) {
        // A full disk ends the take where the disk did; what is there keeps
        // a header that counts it. The error is only noted here: the text
        // is made by whoever reads it, off the audio thread.
        recording = false;
        file.Close(rate);
        framesWritten = file.Frames();
        toggleOn.store(false, std::memory_order_relaxed);
        NoteWriteFailure();
        Changed();
    }
}

void CHDTrack::NoteWriteFailure()
{
    writeError = file.WriteError();
    writeFailureUnread = true;
}

std::string CHDTrack::TakeWriteFailure()
{
    CScopedLock<CHDTrack> hold(*this);
    std::string text;
    if (writeFailureUnread) {
        text = std::string("Can't Write File <") + fileName + ">: " + std::strerror(writeError);
        writeFailureUnread = false;
    }
    return text;
}

void CHDTrack::Close()
{
    RequireLock("HD Track Not Locked On Close");
    if (recording) {
        recording = false;
        file.Close(SampleRate());
        if (file.WriteFailed())
            NoteWriteFailure();
    }
    toggleOn.store(false, std::memory_order_relaxed);
    Changed();
}

void CHDTrack::FeedMeter(double leftPeak, double rightPeak)
{
    // The meter reads 10 x log10 of what it is fed; squares make that the
    // peak's level in dB, as the master's meter shows it.
    meter.Feed(leftPeak * leftPeak, rightPeak * rightPeak);
}

bool CHDTrack::SetRecordStream(bool on)
{
    CScopedLock<CHDTrack> hold(*this);
    bool opened = true;
    if (on)
        opened = Open();
    else
        Close();
    return opened;
}

bool CHDTrack::ChooseFile(const char* path, int filterChoice)
{
    if (path == nullptr || std::strlen(path) >= kFileNameCapacity)
        return false;
    CScopedLock<CHDTrack> hold(*this);
    if (recording)
        Close();
    std::snprintf(fileName, sizeof fileName, "%s", path);
    fileLabel = std::string("File: '") + fileName + "'";
    formatTag.store(filterChoice == 2 ? kFormatPcm16 : kFormatFloat32, std::memory_order_relaxed);
    Changed();
    return true;
}

bool CHDTrack::SetFileName(const char* path)
{
    if (path == nullptr || std::strlen(path) >= kFileNameCapacity)
        return false;
    CScopedLock<CHDTrack> hold(*this);
    std::snprintf(fileName, sizeof fileName, "%s", path);
    fileLabel = std::string("File: '") + fileName + "'";
    Changed();
    return true;
}

void CHDTrack::SetMachineName(const char* machineName)
{
    CScopedLock<CHDTrack> hold(*this);
    nameLabel = std::string("Name: ") + (machineName != nullptr ? machineName : "");
    Changed();
}

void CHDTrack::SetFormatTag(int tag)
{
    formatTag.store(tag == kFormatPcm16 ? kFormatPcm16 : kFormatFloat32, std::memory_order_relaxed);
}

void CHDTrack::Refresh(std::uint32_t nowMilliseconds)
{
    CScopedLock<CHDTrack> hold(*this);
    meter.Decay(nowMilliseconds);
    timeDisplay.SetTime(recordedSeconds);
}

std::string CHDTrack::FileName()
{
    CScopedLock<CHDTrack> hold(*this);
    std::string value = fileName;
    return value;
}

std::string CHDTrack::NameLabel()
{
    CScopedLock<CHDTrack> hold(*this);
    std::string value = nameLabel;
    return value;
}

std::string CHDTrack::FileLabel()
{
    CScopedLock<CHDTrack> hold(*this);
    std::string value = fileLabel;
    return value;
}

std::string CHDTrack::LastError()
{
    CScopedLock<CHDTrack> hold(*this);
    std::string value = lastError;
    return value;
}

double CHDTrack::RecordedSeconds()
{
    CScopedLock<CHDTrack> hold(*this);
    const double value = recordedSeconds;
    return value;
}

std::uint32_t CHDTrack::FramesWritten()
{
    CScopedLock<CHDTrack> hold(*this);
    const std::uint32_t value = framesWritten;
    return value;
}

std::uint32_t CHDTrack::HeaderFrames()
{
    CScopedLock<CHDTrack> hold(*this);
    const std::uint32_t value = file.HeaderFrames();
    return value;
}
