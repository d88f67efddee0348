#pragma once
// CConnector: the studio's side of one machine port. An input connector owns
// the cables that end at it; a control input also keeps a deferred queue of
// events due in later blocks, timed from the start of the next block.
//
// Cables change only on the user-interface thread with the studio lock held,
// so the processing threads read the cable list without further locking.

#include <cstdint>
#include <vector>

class CConnection;
class CControlBuffer;
class CMachineContainer;
class CPort;

class CConnector {
public:
    CConnector(CPort* port, CMachineContainer* owner);
    ~CConnector();
    CConnector(const CConnector&) = delete;
    CConnector& operator=(const CConnector&) = delete;

    bool IsInput() const;
    bool IsOutput() const;
    bool IsAudio() const;
    bool IsControl() const;
    bool IsAuxiliary() const;

    /// Appends a cable from source to this input with volume = gain = volume.
    CConnection* Connect(CConnector* source, double volume);
    /// Deletes cable index, keeping the others' order. Throws "Index Out Of
    /// Bounds".
    void Disconnect(int index);
    /// Index of the cable from source, or -1.
    int FindConnectionFrom(const CConnector* source) const;

    std::vector<CConnection*> connections;   // input side only
    CPort* port;
    CMachineContainer* owner;
    std::int32_t incoming = 0;
    std::int32_t outgoing = 0;
    CControlBuffer* deferred = nullptr;      // control inputs only
};
