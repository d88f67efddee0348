#pragma once
// CRecoveryFile: the copy of a project with unsaved changes that autosave
// keeps for the user, so that a program that was killed or crashed loses
// at most the work since the last autosave. One file per user:
// "$XDG_STATE_HOME/Corvane Studio/recovery.cvx" (else ~/.local/state). It is
// written atomically (a temporary file renamed over it) on a thread of its
// own, from bytes the caller copied, so neither the user-interface thread
// nor any lock waits for the disk. A clean exit removes it; a start that
// finds it offers to open it.
//
// Threads: the user-interface thread calls everything; the write itself
// runs on the writer thread.

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CRecoveryFile {
public:
    /// The file at path; DefaultPath() when path is "".
    explicit CRecoveryFile(std::string path = "");
    /// Waits for a write in progress.
    ~CRecoveryFile();
    CRecoveryFile(const CRecoveryFile&) = delete;
    CRecoveryFile& operator=(const CRecoveryFile&) = delete;

    /// "<state folder>/Corvane Studio/recovery.cvx"; "" without $HOME and
    /// an absolute $XDG_STATE_HOME.
    static std::string DefaultPath();
    const std::string& Path() const { return path; }

    /// Writes the bytes in the background. Nothing when userFile (the
    /// project's own file) is this very file: autosave never writes over
    /// what the user saved. An earlier write still running finishes first.
    void Write(std::vector<unsigned char> bytes, const std::string& userFile);
    /// Waits for the write in progress, if any.
    void Wait();
    /// How many writes finished, and the last failure ("" for none).
    int WritesDone() const;
    std::string LastError() const;

    bool Exists() const;
    /// Waits for a write, then removes the file (the clean exit).
    void Remove();

private:
    std::string path;
    std::thread writer;
    mutable std::mutex stateLock;   // guards the two fields below
    int writesDone = 0;
    std::string lastError;
};
