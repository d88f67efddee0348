#pragma once
// CVSTAdapter: a machine that owns one VST 2 plug-in instance. It maps the
// plug-in's audio inputs and outputs to ports, turns the notes of its
// control port into MIDI events, forwards parameters, programs and state,
// hosts the plug-in's editor and answers the plug-in's calls into the host.
//
// Threads: Work on the audio thread under the machine lock (the engine takes
// it). Editor, parameters, programs, state, creation and destruction on the
// user-interface thread. The idle thread calls IdlePass under the adapter
// list's lock and then this machine's lock. The host callback may come from
// any of them; audioMasterGetTime, called from inside processing, takes no
// lock at all.

#include <cstdint>
#include <string>

#include "framework/Machine.h"
#include "plugins/vst/VstAbi.h"

class CPort;
class CVSTAdapterInfo;
class CVSTEditorWindow;

class CVSTAdapter : public CMachine {
public:
    /// Events passed to the plug-in per block; more in one block are dropped.
    static constexpr int kEventCapacity = 512;

    /// The info has already loaded the library and counted this instance.
    CVSTAdapter(CHost* host, CVSTAdapterInfo* info);
    ~CVSTAdapter() override;

    void Work() override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void ShowEditor() override;
    void CloseEditor() override;
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatCurrentParameter(int index, char* out) override;
    void SetProgram(int index) override;
    void GetProgramNameIndexed(int index, char* out) override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    void LoadState(const void* data, int length, bool hostFormat) override;
    void SaveState(void** data, int* length, bool* hostFormat) override;
    bool IsInstrument() override;

    /// The plug-in's calls into the host, once the adapter is known.
    std::intptr_t Callback(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt);
    /// One idle-thread pass for this adapter; the caller holds its lock.
    void IdlePass();
    /// The editor's timer tick on the user-interface thread.
    void EditorIdle();

    vst::AEffect* Effect() const { return effect; }
    CVSTAdapterInfo* Info() const { return info; }
    bool WantsMidi() const { return wantsMidi; }
    bool NeedsIdle() const { return needsIdle; }
    bool IsEditorShown() const { return editorShown; }
    bool UsesDoublePrecision() const { return doublePrecision; }
    /// The events of the last Work call, for tests and the editor.
    const vst::VstEvents* LastEvents() const { return events; }
    /// The editor window's handle (a QWidget*), or null.
    WindowHandle EditorHandle() const;

    // Links of the global list of adapters (CVSTAdapterList).
    CVSTAdapter* next = nullptr;
    CVSTAdapter* previous = nullptr;

private:
    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f);
    void CreatePorts();
    void AllocateFloatBuffers();
    void FreeFloatBuffers();
    void BindChannels();
    void PassEvents();
    void FillTimeInfo(std::intptr_t wanted);
    /// audioMasterSizeWindow: the editor window follows the plug-in's size.
    bool ResizeEditor(int width, int height);

    CVSTAdapterInfo* info;
    vst::AEffect* effect = nullptr;
    std::string folder;
    std::int32_t sampleRate;
    std::int32_t blockLength;
    std::int32_t inputCount = 0;
    std::int32_t outputCount = 0;
    std::int32_t uniqueId = 0;
    bool doublePrecision = false;
    bool needsIdle = false;
    bool wantsMidi = false;
    bool editorShown = false;

    CPort* controlPort = nullptr;
    CPort** inputPorts = nullptr;    // per channel: the port holding it
    CPort** outputPorts = nullptr;
    double** inputs64 = nullptr;
    double** outputs64 = nullptr;
    float** inputs32 = nullptr;
    float** outputs32 = nullptr;
    std::int32_t floatLength = 0;

    vst::VstEvents* events = nullptr;
    vst::VstMidiEvent* midiEvents = nullptr;
    vst::VstTimeInfo timeInfo{};
    CVSTEditorWindow* editor = nullptr;
};
