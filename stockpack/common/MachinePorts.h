#pragma once
// What every stock machine does alike at its edges: it takes the host's
// sample rate and block size (with the library's own values when there is
// no host, or the host does not know them yet), makes its ports in the
// order its port indices name them, frees them again, since CMachine
// leaves the ports to the subclass, and in Work looks whether a stereo
// port really has its samples.
//
// Threads: HasStereoSamples and StereoLineFrames are for Work; the rest is
// for construction and destruction, which the host does on its own thread.

#include <cstdint>
#include <initializer_list>

#include "framework/Port.h"

class CAudioBuffer;
class CHost;
class CMachine;

/// The rate and length a machine works at before the host tells it.
inline constexpr int kFallbackSampleRate = 44100;
inline constexpr int kFallbackBlockSize = 256;

/// The host's sample rate; kFallbackSampleRate without a host or for a
/// rate of 0 or less.
int HostSampleRate(CHost* host);
/// The host's block size; kFallbackBlockSize without a host or for a
/// length of 0 or less.
int HostBlockSize(CHost* host);

/// One port to make: its kind (PortFlags) and its name.
struct PortInfo {
    std::int32_t flags;
    const char* name;
};

/// The ports the stock machines share by name and kind.
namespace stock_ports {
inline constexpr PortInfo kControlIn{kPortControl | kPortInput, "Control In"};
inline constexpr PortInfo kStereoLineIn{kPortAudio | kPortInput | kPortStereo, "Line In"};
inline constexpr PortInfo kStereoLineOut{kPortAudio | kPortOutput | kPortStereo, "Line Out"};
inline constexpr PortInfo kMonoLineOut{kPortAudio | kPortOutput, "Line Out"};
} // namespace stock_ports

/// Gives the machine count empty port slots, to be filled with CreatePort;
/// the machine must have none yet.
void CreatePortSlots(CMachine& machine, int count);
/// Makes port index of the machine with the machine's host.
void CreatePort(CMachine& machine, int index, PortInfo port);
/// Makes the machine's ports in the order given, the first as ports[0].
void CreatePorts(CMachine& machine, std::initializer_list<PortInfo> ports);
/// Deletes the ports and the array; for the machine's destructor.
void DeletePorts(CMachine& machine) noexcept;

/// Whether the buffer is there with both channels: Work writes nothing to
/// an output without them and takes an input without them as silence.
bool HasStereoSamples(const CAudioBuffer* buffer) noexcept;
/// The same for a port's buffer.
bool HasStereoSamples(const CPort* port) noexcept;
/// The frames a stereo effect renders from in to out this block, the
/// shorter of the two; 0 when out lacks its samples, and 0 with out
/// cleared (silence for a missing input) when in lacks them.
int StereoLineFrames(CAudioBuffer* out, const CAudioBuffer* in) noexcept;
