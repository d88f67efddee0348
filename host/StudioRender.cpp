// The per-block computation of the studio graph.

#include "host/Studio.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "framework/AudioBuffer.h"
#include "framework/Connection.h"
#include "framework/ControlBuffer.h"
#include "framework/HostMutex.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "host/CableMixer.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/PeakMeter.h"
#include "platform/Clock.h"
#include "platform/Thread.h"

namespace {

bool IsAuxiliaryPort(const CPort* port)
{
    return (port->flags & kPortAuxiliary) != 0;
}

double SquaredPeak(const double* samples, int length)
{
    // Two running maxima (the order of a maximum does not matter), which
    // halves the loop's chain of comparisons.
    double even = 0.0;
    double odd = 0.0;
    if (samples == nullptr)
        return 0.0;
    int s = 0;
    for (; s + 1 < length; s += 2) {
        const double a = samples[s] * samples[s];
        const double b = samples[s + 1] * samples[s + 1];
        even = a > even ? a : even;
        odd = b > odd ? b : odd;
    }
    if (s < length) {
        const double a = samples[s] * samples[s];
        even = a > even ? a : even;
    }
    return even > odd ? even : odd;
}

/// The block's largest squared sample over the audio outputs, for the
/// level bar of the machine's box; reads only, so the output is unchanged.
void MeterOutputs(CMachineContainer* container)
{
    double peak = 0.0;
    for (const CConnector* connector : container->connectors) {
        const CPort* port = connector->port;
        if (!(port->flags & kPortAudio) || !(port->flags & kPortOutput) || port->audio == nullptr)
            continue;
        const CAudioBuffer& audio = *port->audio;
        peak = std::max(peak, SquaredPeak(audio.left, audio.length));
        if (audio.stereo)
            peak = std::max(peak, SquaredPeak(audio.right, audio.length));
    }
    if (peak > 0.0)
        container->RaiseOutputPeak(peak);
}

} // namespace

void CStudio::AudioCallback(void* context, int channels, double** outputs, int length)
{
    auto* studio = static_cast<CStudio*>(context);
    if (studio == nullptr) {
        for (int c = 0; c < channels; ++c)
            std::memset(outputs[c], 0, sizeof(double) * static_cast<std::size_t>(length));
        return;
    }
    SetFlushToZeroForRendering();
    CScopedLock<CMutex> hold(studio->lock);
    studio->RenderBlock(channels, outputs, length);
}

void CStudio::RenderBlock(int channels, double** outputs, int length)
{
    const int metered = channels < kMaxMeteredChannels ? channels : kMaxMeteredChannels;
    for (int c = 0; c < metered; ++c)
        peaks[static_cast<std::size_t>(c)] = 0.0;

    CScopedLock<CMutex> hold(lock);
    if (patternLock != nullptr)
        patternLock->Lock();

    for (CMachineContainer* container : containers) {
        for (CConnector* connector : container->connectors) {
            CPort* port = connector->port;
            if ((port->flags & kPortControl) && (port->flags & kPortInput) && port->control != nullptr)
                port->control->Clear();
        }
        container->processed = false;
        container->claimedBy.store(0, std::memory_order_relaxed);
    }

    if (playbackHook)
        playbackHook(length);

    double gain = masterGain;
    if (masterContainer != nullptr) {
        CMachine* master = masterContainer->machine;
        CScopedLock<CMachine> masterHold(*master);
        ProcessContainer(masterContainer, false);
        host.AdvanceSampleCounter(length);

        const double target = masterVolume;
        const CAudioBuffer* stereoIn =
            channels == 2 && master->portCount >= 1 ? master->ports[0]->audio : nullptr;
        for (int s = 0; s < length; ++s) {
            if (channels == 2) {
                const double left = stereoIn != nullptr && stereoIn->left != nullptr && s < stereoIn->length
                                        ? stereoIn->left[s] * gain
                                        : 0.0;
                const double right = stereoIn != nullptr && stereoIn->right != nullptr && s < stereoIn->length
                                         ? stereoIn->right[s] * gain
                                         : 0.0;
                outputs[0][s] = left;
                outputs[1][s] = right;
                if (left * left > peaks[0])
                    peaks[0] = left * left;
                if (right * right > peaks[1])
                    peaks[1] = right * right;
            } else {
                for (int c = 0; c < channels; ++c) {
                    const CAudioBuffer* in = c < master->portCount ? master->ports[c]->audio : nullptr;
                    const double value =
                        in != nullptr && in->left != nullptr && s < in->length ? in->left[s] * gain : 0.0;
                    outputs[c][s] = value;
                    if (c < metered && value * value > peaks[static_cast<std::size_t>(c)])
                        peaks[static_cast<std::size_t>(c)] = value * value;
                }
            }
            gain = GlideToward(gain, target, kMasterGlideBias);
        }
    } else {
        for (int c = 0; c < channels; ++c)
            std::memset(outputs[c], 0, sizeof(double) * static_cast<std::size_t>(length));
    }

    // Machines the master does not reach (recorders, MIDI outputs, loose
    // machines) still run once per block, here and without their lock.
    for (CMachineContainer* container : containers) {
        if (!container->processed)
            ProcessContainer(container, false);
    }

    masterGain = gain;
    if (masterContainer != nullptr) {
        double loudest = 0.0;
        for (int c = 0; c < metered; ++c)
            loudest = std::max(loudest, peaks[static_cast<std::size_t>(c)]);
        if (loudest > 0.0)
            masterContainer->RaiseOutputPeak(loudest);
    }
    if (patternLock != nullptr)
        patternLock->Unlock();

    if (peakMeter != nullptr && channels > 0) {
        if (channels >= 2)
            peakMeter->Feed(peaks[0], peaks[1]);
        else
            peakMeter->Feed(peaks[0], peaks[0]);
    }
}

void CStudio::ProcessContainer(CMachineContainer* container, bool signal)
{
    if (!container->processed.load(std::memory_order_relaxed)) {
        container->processed.store(true, std::memory_order_release);
        const std::int64_t started = platform::QueryPerformanceCounter();
        bool auxiliary = false;

        RunSources(container, false);

        for (CConnector* connector : container->connectors) {
            CPort* port = connector->port;
            if ((port->flags & kPortControl) && (port->flags & kPortOutput) && port->control != nullptr)
                port->control->Clear();
            if (!(port->flags & kPortInput))
                continue;
            if ((port->flags & kPortControl) && port->control != nullptr) {
                for (CConnection* connection : connector->connections) {
                    CControlBuffer* from = connection->source->port->control;
                    if (from != nullptr)
                        from->CopyInto(port->control);
                }
            }
            if (IsAuxiliaryPort(port)) {
                auxiliary = true;
                continue;
            }
            if ((port->flags & kPortAudio) && port->audio != nullptr) {
                port->audio->Clear();
                for (CConnection* connection : connector->connections) {
                    const CAudioBuffer* from = connection->source->port->audio;
                    if (from != nullptr)
                        MixCable(*port->audio, *from, *connection);
                }
            }
        }

        const int blockSize = host.GetBlockSize();
        for (CConnector* connector : container->connectors) {
            if (connector->deferred != nullptr && connector->port->control != nullptr)
                connector->deferred->TransferDue(connector->port->control, blockSize);
        }

        container->machine->Work();

        if (auxiliary) {
            RunSources(container, true);
            for (CConnector* connector : container->connectors) {
                CPort* port = connector->port;
                if (!(port->flags & kPortInput) || !IsAuxiliaryPort(port) || !(port->flags & kPortAudio) ||
                    port->audio == nullptr)
                    continue;
                for (CConnection* connection : connector->connections) {
                    const CAudioBuffer* from = connection->source->port->audio;
                    if (from != nullptr)
                        MixCable(*port->audio, *from, *connection);
                }
            }
            container->machine->WorkReturns();
        }
        MeterOutputs(container);
        container->branchNanos.store(platform::QueryPerformanceCounter() - started, std::memory_order_relaxed);
    }
    if (signal)
        container->done.Release();
}
