#pragma once
// CMachineContainer: a machine placed in the studio, with one connector per
// port, its worker thread and completion semaphore, and what the project
// stores about its box (name, type identifier, position, GUI mode).

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Semaphore.h"
#include "host/WorkThread.h"

class CConnector;
class CMachine;
class CMachineInfo;
class CStudio;

enum class GuiMode : std::int32_t { Hidden = 0, DefaultGui = 1, CustomGui = 2 };

class CMachineContainer {
public:
    /// Takes ownership of machine. Loads stateBlock first when given, then
    /// names the machine, builds the connectors and starts the worker.
    CMachineContainer(CMachine* machine, CMachineInfo* descriptor, const char* name, int x, int y,
                      const void* stateBlock = nullptr, int stateLength = 0, bool stateHostFormat = true);
    /// Stops the worker, then releases the machine.
    ~CMachineContainer();
    CMachineContainer(const CMachineContainer&) = delete;
    CMachineContainer& operator=(const CMachineContainer&) = delete;

    /// New connectors for the machine's current ports; cables to the old
    /// ones are gone. Studio lock held.
    void RebuildConnectors();
    void SetName(const char* newName);
    const std::string& GetName() const { return name; }
    void MoveTo(int newX, int newY);
    CConnector* ConnectorForPort(const void* port) const;

    CStudio* studio = nullptr;               // set when placed
    CMachine* machine;
    CMachineInfo* descriptor;
    std::string identifier;                  // the descriptor's, stored in projects
    std::vector<CConnector*> connectors;     // in port order
    // Set while or after processed in the current block; read without the
    // machine lock by a thread deciding whether to help with it.
    std::atomic<bool> processed{true};
    // Requests queued to the worker and not yet run; those of them whose
    // machine another thread ran first (machine lock held); the asker that
    // queued the latest request; the asker whose request was revoked, until
    // it has skipped its wait.
    std::atomic<int> pendingRequests{0};
    int revokedRequests = 0;
    std::atomic<std::uintptr_t> askedBy{0};
    std::atomic<std::uintptr_t> ranFor{0};
    // The asker that ran the machine on its own thread this block (0: none
    // yet): that asker knows its Work is done and skips its lock.
    std::atomic<std::uintptr_t> claimedBy{0};
    // Wall time of the machine's last processing, its own sources included
    // (ns); written by whichever thread ran it, read by the asker deciding
    // whether the next block's stage is worth a worker's wake.
    std::atomic<std::int64_t> branchNanos{0};
    // Per stage (main, auxiliary): blocks for which this container still
    // hands its sources to their workers. Set on creation and on a new
    // cable, so that machines that meet inside Work find each other while
    // the costs are learnt; renewed whenever the stage is costly. Only the
    // thread processing this container (or the graph, under the studio
    // lock) touches it.
    int parallelBlocks[2] = {kLearningBlocks, kLearningBlocks};
    static constexpr int kLearningBlocks = 16;
    static constexpr int kParallelHoldBlocks = 256;
    // Idle passes that have this container in their copy of the list; it is
    // destroyed only when none has.
    std::atomic<int> idlePins{0};
    // The largest squared sample of the machine's audio outputs since the
    // studio view last took it (the master's: of the driver's output). The
    // render path raises it without a lock; the user-interface thread
    // exchanges it for 0 while the box is on screen.
    std::atomic<double> outputPeak{0.0};
    /// Render side: raises outputPeak to squared when larger.
    void RaiseOutputPeak(double squared)
    {
        double seen = outputPeak.load(std::memory_order_relaxed);
        while (squared > seen && !outputPeak.compare_exchange_weak(seen, squared, std::memory_order_relaxed)) {
        }
    }
    CWorkThread worker;
    CSemaphore done;                         // released once per processing request
    int x = 0;
    int y = 0;
    GuiMode guiMode = GuiMode::Hidden;

private:
    void DeleteConnectors();
    std::string name;
};
