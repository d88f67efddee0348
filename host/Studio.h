#pragma once
// CStudio: the machine graph the engine renders. It owns the machine
// containers (in creation order), the studio lock and the master gain, and
// computes one block of audio each time the output driver asks.
//
// Threads: the driver's callback thread renders (RenderBlock) with the
// studio lock held for the whole block. A machine's sources are split: the
// last one runs on the machine's own thread, the others on their workers
// (or on the asking thread, when it finds one not yet started), each under
// its own machine lock and once per block. The user-interface thread
// changes the graph, always under the studio lock, so never during a block;
// the display thread's idle pass and the release of a deleted machine run
// outside it.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Mutex.h"
#include "host/EditJournal.h"

class CConnection;
class CConnector;
class CHostMutex;
class CMachine;
class CMachineContainer;
class CMachineInfo;
class CMachineRegistry;
class CCorvHost;
class CPeakMeter;

class CStudio {
public:
    static constexpr int kMaxMeteredChannels = 64;
    static constexpr int kMasterX = 32;
    static constexpr int kMasterY = 32;

    explicit CStudio(CCorvHost& host);
    /// Deletes every container (the master last).
    ~CStudio();
    CStudio(const CStudio&) = delete;
    CStudio& operator=(const CStudio&) = delete;

    // --- Rendering (callback thread) ---

    /// The driver callback: does nothing without a studio.
    static void AudioCallback(void* studio, int channels, double** outputs, int length);
    /// One block: clears control inputs, lets playback queue events, pulls
    /// the master through the workers, writes outputs with the gliding
    /// master gain, processes what the master does not reach, feeds the
    /// meter. Studio lock held by the caller or taken here (it nests).
    void RenderBlock(int channels, double** outputs, int length);
    /// Processes one container once per block; with signal, releases its
    /// semaphore when done (a worker's request).
    void ProcessContainer(CMachineContainer* container, bool signal);

    /// Queues this block's pattern and song events; called with the pattern
    /// lock held, before the graph runs.
    using PlaybackHook = std::function<void(int length)>;
    void SetPlaybackHook(PlaybackHook hook) { playbackHook = std::move(hook); }
    /// The pattern editor's lock, held from event queueing to the end of the
    /// block so that pattern edits wait for block boundaries.
    void SetPatternLock(CHostMutex* lock) { patternLock = lock; }
    void SetPeakMeter(CPeakMeter* meter) { peakMeter = meter; }

    /// Written by the volume slider, read by the callback.
    void SetMasterVolume(double target) { masterVolume = target; }
    double GetMasterVolume() const { return masterVolume; }
    double GetMasterGain() const { return masterGain; }

    // --- Graph (user-interface thread) ---

    CMutex& Lock() { return lock; }
    /// Where the editors report finished edits (the undo history listens).
    CEditJournal& Journal() { return journal; }
    /// Places a machine; the container takes ownership. A state block, when
    /// given, is loaded before anything else.
    CMachineContainer* AddMachine(CMachine* machine, CMachineInfo* descriptor, const char* name, int x, int y,
                                  const void* stateBlock = nullptr, int stateLength = 0, bool hostFormat = true);
    /// The master of a new project: by name "Master" from the registry, at
    /// (32, 32). Throws "Machine <Master> Not Found" without one.
    CMachineContainer* CreateMaster(const CMachineRegistry& registry);
    /// A machine of a registry entry, named "%s %i" with the smallest free
    /// number and placed at the point (negative coordinates become 0).
    CMachineContainer* CreateMachine(CMachineInfo* descriptor, int x, int y);
    /// "%s %i" with the smallest i >= 1 that no machine here is named.
    std::string NextFreeName(const char* typeName) const;
    /// Drops every cable of the machine (both directions), unlinks it, tells
    /// the delete hooks (pattern and sequence editors) and destroys it. The
    /// master cannot be deleted; false then.
    bool DeleteMachine(CMachineContainer* container);
    /// Deletes every container, the master included.
    void Clear();

    /// The connect rule: nothing when a port is missing, both are one
    /// machine's, kinds or directions do not fit, the cable exists, or it
    /// would close a cycle of processing requests (which would deadlock the
    /// workers). Takes the two machine locks in drag order. Returns the
    /// cable or null.
    CConnection* Connect(CConnector* dragStart, CConnector* dragEnd, double volume = 1.0);
    /// Removes cable index of an input connector.
    void Disconnect(CConnector* input, int index);
    /// Whether a cable from output to input would close a request cycle.
    bool WouldCloseCycle(const CConnector* output, const CConnector* input) const;

    /// Every parameter to rand() / 32767 in single precision, inside the
    /// machine's update pair and its lock. False for machines without
    /// parameters.
    bool Randomize(CMachineContainer* container);

    /// Rebuilds the master's inputs for the current driver's channel count
    /// (cables to replaced ports are gone). Returns whether they changed.
    bool UpdateMasterInputs();

    /// Pattern player first, then every machine, each under its own lock.
    void SetSampleRate(int rate);
    void SetBlockSize(int length);
    /// Called by the display thread every ~10 ms: each machine's Idle under
    /// its own lock, the studio lock held only to copy the list.
    void IdlePass();

    using ContainerHook = std::function<void(CMachineContainer*)>;
    /// Called with the studio lock held before a machine is destroyed.
    void AddDeleteHook(ContainerHook hook) { deleteHooks.push_back(std::move(hook)); }
    using RateHook = std::function<void(int)>;
    void SetPlayerSampleRateHook(RateHook hook) { playerSampleRateHook = std::move(hook); }

    const std::vector<CMachineContainer*>& Containers() const { return containers; }
    CMachineContainer* MasterContainer() const { return masterContainer; }
    CMachineContainer* FindByName(const char* name) const;
    CCorvHost& Host() { return host; }

private:
    CEditJournal journal;
    static constexpr int kMaxHelpers = 8;
    static constexpr int kMaxQueued = 64;
    static int HelperCount();
    /// Gets every source of a stage processed (StudioSources.cpp).
    void RunSources(CMachineContainer* container, bool auxiliaryStage);
    /// Processes source under its lock unless already processed this block.
    /// Runs source on this thread unless it ran already; tag is the asker's.
    void Claim(CMachineContainer* source, std::uintptr_t tag);
    static void ProcessRequest(std::uintptr_t container);
    void DisconnectAllOf(CMachineContainer* container);
    void DestroyContainer(CMachineContainer* container);

    CCorvHost& host;
    CMutex lock;
    const int helpers = HelperCount();
    std::vector<CMachineContainer*> containers;
    CMachineContainer* masterContainer = nullptr;
    double masterGain = 0.0;
    double masterVolume = 1.0;

    CHostMutex* patternLock = nullptr;
    CPeakMeter* peakMeter = nullptr;
    PlaybackHook playbackHook;
    RateHook playerSampleRateHook;
    std::vector<ContainerHook> deleteHooks;
    std::vector<CMachineContainer*> idleList;   // display thread only

    // Per-block working memory, sized up front so that the callback never
    // allocates.
    std::array<double, kMaxMeteredChannels> peaks{};
};

/// Flushes denormals to zero on the calling thread; every thread that
/// renders calls it first.
void SetFlushToZeroForRendering() noexcept;
