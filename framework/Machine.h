#pragma once
// CMachine: one unit of the studio graph. Every synthesizer, effect, mixer,
// MIDI bridge, recorder track and the master derive from it. Host and plug-in
// libraries read its fields and call its virtual operations directly, so the
// field order and the slot order below are fixed; new virtual operations
// never go between existing ones.
//
// Threads: Work runs on the machine's worker with the machine locked;
// SetParameter may come from the user-interface thread and Idle from the
// display thread at the same time, so parameter changes stay cheap stores.

#include <cstdint>

#include "framework/BankClient.h"
#include "framework/Packing.h"

class CHost;
class CPort;
struct CProgramRecord;

/// An opaque window: a QWidget* for the host's own editors, an X11 window id
/// for VST editors.
using WindowHandle = void*;

CORVANE_PACK_BEGIN

class CMachine : public CBankClient {
public:
    explicit CMachine(CHost* host);
    /// Frees the name and the programs array; ports are the subclass's.
    ~CMachine() override;

    virtual void Release();
    virtual void Work() = 0;
    virtual void WorkReturns();
    virtual bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right);
    virtual WindowHandle CreateEditor(WindowHandle parent);
    virtual void ShowEditor();
    virtual void CloseEditor();
    virtual void Idle();
    virtual double GetParameter(int index);
    virtual void SetParameter(int index, double value);
    virtual void SetParameterNotify(int index, double value);
    virtual void GetParameterName(int index, char* out);
    virtual void FormatCurrentParameter(int index, char* out);
    virtual void FormatParameter(int index, double value, char* out);
    virtual void GetNoteName(int note, char* out);
    virtual void SetProgram(int index);
    virtual void GetProgramName(char* out);
    virtual void SetProgramName(const char* name);
    virtual void GetProgramNameIndexed(int index, char* out);
    virtual int GetProgram();
    virtual void SetSampleRate(int rate) = 0;
    virtual void SetBlockSize(int length) = 0;
    virtual void ResizePortBuffers(int length);
    virtual void BeginParameterUpdate();
    virtual void EndParameterUpdate();
    virtual void SetName(const char* newName);
    virtual const char* GetName();
    /// Reads a state block; hostFormat tells whether it is the host's
    /// parameter block or the machine's own bytes.
    virtual void LoadState(const void* data, int length, bool hostFormat);
    /// A malloc'ed block the caller frees with free().
    virtual void SaveState(void** data, int* length, bool* hostFormat);
    virtual bool IsInstrument() = 0;

    CPort** ports;
    std::int32_t portCount;
    std::int32_t parameterCount;
    std::int32_t programCount;
    std::int32_t currentProgram;
    std::int32_t triggerCount;
    void* container;             // the studio's machine container, or null
    void* reservedPointer;
    CHost* host;
    std::int32_t reserved;
    std::int32_t reserved2;
    char* name;
    CProgramRecord** programs;   // new[]-allocated array, freed by the base; records are the subclass's
    std::int32_t updateDepth;

protected:
    bool HasValidProgram() const;
};

CORVANE_PACK_END

/// Deletes a machine through its own Release; nothing for null.
inline void ReleaseMachine(CMachine* machine)
{
    if (machine != nullptr)
        machine->Release();
}
