#include "machines/HDTrackMachine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/AudioBuffer.h"
#include "framework/Host.h"
#include "framework/Port.h"
#include "machines/HDRecorder.h"
#include "machines/HDTrack.h"

namespace {

constexpr char kMagic[4] = {'M', 'T', 'D', 'H'};

/// Scales a channel in place and returns its largest absolute value.
double ScaleAndMeasure(double* samples, int frames, double gain)
{
    double peak = 0.0;
    for (int s = 0; s < frames; ++s) {
        samples[s] *= gain;
        peak = std::max(peak, std::fabs(samples[s]));
    }
    return peak;
}

} // namespace

CHDTrackMachine::CHDTrackMachine(CHost* host, CHDRecorder* recorder, bool isStereo)
    : CMachine(host), stereo(isStereo ? 1 : 0), sampleRate(host != nullptr ? host->GetSampleRate() : 44100),
      blockLength(host != nullptr ? host->GetBlockSize() : 0), recorder(recorder)
{
    const std::int32_t stereoBit = isStereo ? kPortStereo : 0;
    ports = new CPort*[2];
    ports[kLineIn] = new CPort(host, this, kPortAudio | kPortInput | stereoBit, "Line In");
    ports[kLineOut] = new CPort(host, this, kPortAudio | kPortOutput | stereoBit, "Line Out");
    portCount = 2;
    if (recorder != nullptr) {
        row = recorder->Row(recorder->AddRow(this, host, isStereo));
    } else {
        ownRow = std::make_unique<CHDTrack>(this, host, isStereo);
        row = ownRow.get();
    }
}

CHDTrackMachine::~CHDTrackMachine()
{
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
    if (recorder != nullptr && row != nullptr)
        recorder->RemoveRow(this);
}

void CHDTrackMachine::DetachRow(CHDTrack* gone)
{
    if (row == gone) {
        row = nullptr;
        recorder = nullptr;
    }
}

void CHDTrackMachine::SetSampleRate(int rate)
{
    sampleRate = rate;
}

void CHDTrackMachine::SetBlockSize(int length)
{
    blockLength = length;
}

void CHDTrackMachine::Work()
{
    CAudioBuffer* in = ports[kLineIn]->audio;
    CAudioBuffer* out = ports[kLineOut]->audio;
    // During a block-size change the buffers may not all have the new
    // length yet; never touch a sample past the shortest.
    const int frames = std::max(0, std::min({blockLength, in->length, out->length}));
    const bool twoChannels = IsStereo() && in->right != nullptr && out->right != nullptr;
    CHDTrack* track = row;
    if (track != nullptr && frames > 0) {
        track->Lock();
        const double gain = track->GetVolume();
        const double leftPeak = ScaleAndMeasure(in->left, frames, gain);
        const double rightPeak = twoChannels ? ScaleAndMeasure(in->right, frames, gain) : leftPeak;
        track->FeedMeter(leftPeak, rightPeak);
        if (track->IsRecording())
            track->Append(in->left, twoChannels ? in->right : nullptr, frames);
        track->Unlock();
    }
    if (frames > 0) {
        std::memcpy(out->left, in->left, sizeof(double) * static_cast<std::size_t>(frames));
        if (twoChannels)
            std::memcpy(out->right, in->right, sizeof(double) * static_cast<std::size_t>(frames));
    }
}

void CHDTrackMachine::SetName(const char* newName)
{
    CMachine::SetName(newName);
    if (row != nullptr)
        row->SetMachineName(GetName());
}

void CHDTrackMachine::LoadState(const void* data, int length, bool hostFormat)
{
    if (hostFormat || data == nullptr || length < kStateBytes || std::memcmp(data, kMagic, 4) != 0 || row == nullptr)
        return;
    // The name field may lack its terminator in a damaged file: 1023
    // characters at most are taken.
    char fileName[kStateBytes - 4];
    std::memcpy(fileName, static_cast<const unsigned char*>(data) + 4, sizeof fileName);
    fileName[sizeof fileName - 1] = '\0';
    row->SetFileName(fileName);
}

void CHDTrackMachine::SaveState(void** data, int* length, bool* hostFormat)
{
    auto* bytes = static_cast<unsigned char*>(std::calloc(1, kStateBytes));
    if (bytes != nullptr) {
        std::memcpy(bytes, kMagic, 4);
        if (row != nullptr) {
            const std::string fileName = row->FileName();
            std::memcpy(bytes + 4, fileName.c_str(), std::min<std::size_t>(fileName.size(), kStateBytes - 5));
        }
    }
    *data = bytes;
    *length = bytes != nullptr ? kStateBytes : 0;
    *hostFormat = false;
}

CHDTrackMachineInfoMono::CHDTrackMachineInfoMono(CHost* host, CHDRecorder* recorder) : host(host), recorder(recorder)
{
    name = "KV HD Recorder Track (Mono)";
    identifier = "CorvPlug::KV HD Recorder Track (Mono)";
}

CMachine* CHDTrackMachineInfoMono::CreateMachine()
{
    return new CHDTrackMachine(host, recorder, false);
}

CHDTrackMachineInfoStereo::CHDTrackMachineInfoStereo(CHost* host, CHDRecorder* recorder)
    : host(host), recorder(recorder)
{
    name = "KV HD Recorder Track (Stereo)";
    identifier = "CorvPlug::KV HD Recorder Track (Stereo)";
}

CMachine* CHDTrackMachineInfoStereo::CreateMachine()
{
    return new CHDTrackMachine(host, recorder, true);
}
