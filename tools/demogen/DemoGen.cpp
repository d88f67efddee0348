// demogen: writes the bundled demo project through the studio's own API, so
// that the file always matches what the program itself writes.
//
// Usage: demogen <plug-in folder> <output.cvx>
//
// The song: sixteen bars in A minor at 120 BPM; a polyphonic RazuZuri pad
// playing Am - F - C - G, a mono RazuZuri bass in eighths whose filter
// opens over the second half through a cutoff control track, and from the
// fifth bar a VUziD8 groove over a four-to-the-floor Zazud kick. Everything
// goes through the 8-track mixer, with a DovoDorez echo on its first send,
// and the mix plays in a DavarorOdir room on the master bus.

#include <cstdio>
#include <cstring>
#include <string>

#include "app/Application.h"
#include "framework/Error.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "host/CableVolume.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "framework/Port.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "sequencing/ControlTrack.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "sequencing/Sequence.h"

namespace {

constexpr int kTicksPerBar = 64;          // 16 ticks per beat, four beats
constexpr int kUnitsPerBar = kTicksPerBar / CPattern::kTicksPerUnit;
constexpr int kPhraseBars = 4;
constexpr int kSongBars = 16;

// Am, F, C, G as MIDI notes, one chord per bar.
constexpr int kChords[kPhraseBars][3] = {{57, 60, 64}, {53, 57, 60}, {52, 55, 60}, {50, 55, 59}};
constexpr int kBassRoots[kPhraseBars] = {33, 29, 36, 31};   // A1, F1, C2, G1

// VUziD8's triggers, in the kit's order.
enum DrumTrigger { kSnare = 1, kRimShot = 5, kClap = 6, kClosedHat = 7, kOpenHat = 8, kCrash = 9 };
constexpr int kKickNote = 36;

CMachineInfo* FindType(CMachineRegistry& registry, const char* identifier)
{
    CMachineInfo* descriptor = registry.FindByIdentifier(identifier);
    if (descriptor == nullptr)
        throw CError("Machine <%s> Not Found", identifier);
    return descriptor;
}

int ParameterIndex(CMachine& machine, const char* name)
{
    char text[256];
    for (int i = 0; i < machine.parameterCount; ++i) {
        machine.GetParameterName(i, text);
        if (std::strcmp(text, name) == 0)
            return i;
    }
    throw CError("Parameter <%s> Not Found", name);
}

void Set(CMachine& machine, const char* name, double value)
{
    machine.SetParameter(ParameterIndex(machine, name), value);
}

CConnector* Port(CMachineContainer* container, const char* name)
{
    for (CConnector* connector : container->connectors) {
        if (std::strcmp(connector->port->name, name) == 0)
            return connector;
    }
    throw CError("Port <%s> Not Found", name);
}

CPattern* NewPattern(CPatternEditor& editor, CMachineContainer* machine, int units, const char* name)
{
    editor.SelectMachine(machine);
    editor.SelectPort(Port(machine, "Control In"));
    editor.SetPatternLength(units);
    CPattern* pattern = editor.AddPattern();
    editor.RenamePattern(name);
    return pattern;
}

void WritePad(CPattern& pattern)
{
    for (int bar = 0; bar < kPhraseBars; ++bar) {
        for (int note : kChords[bar])
            pattern.AddNote(bar * kTicksPerBar, kTicksPerBar - 2, note);
    }
}

void WriteBass(CPattern& pattern)
{
    constexpr int kEighth = 8;
    for (int bar = 0; bar < kPhraseBars; ++bar) {
        for (int step = 0; step < kTicksPerBar / kEighth; ++step) {
            // Root on most eighths, the octave on the offbeats of the second half.
            const int note = kBassRoots[bar] + (step % 2 == 1 && step >= 4 ? 12 : 0);
            pattern.AddNote(bar * kTicksPerBar + step * kEighth, kEighth - 2, note);
        }
    }
}

void WriteDrums(CPattern& pattern)
{
    constexpr int kBeat = 16;
    constexpr int kEighth = 8;
    for (int bar = 0; bar < kPhraseBars; ++bar) {
        const int start = bar * kTicksPerBar;
        const bool last = bar == kPhraseBars - 1;
        for (int step = 0; step < kTicksPerBar / kEighth; ++step) {
            const bool lastEighth = last && step == 7;
            pattern.AddNote(start + step * kEighth, 2, lastEighth ? kOpenHat : kClosedHat);
        }
        pattern.AddNote(start + kBeat, 2, kSnare);
        pattern.AddNote(start + 3 * kBeat, 2, kSnare);
        if (last) {
            pattern.AddNote(start + 3 * kBeat, 2, kClap);
            pattern.AddNote(start + 3 * kBeat + 12, 2, kRimShot);
        }
    }
    pattern.AddNote(0, 2, kCrash);
}

void WriteKick(CPattern& pattern)
{
    constexpr int kBeat = 16;
    for (int tick = 0; tick < pattern.TickCount(); tick += kBeat)
        pattern.AddNote(tick, 4, kKickNote);
}

void WriteCutoffRamp(CPattern& pattern, int propertyId, float from, float to)
{
    const int track = pattern.AddControlTrack(propertyId);
    CControlTrack* cutoff = pattern.ControlTrack(track);
    const int ticks = pattern.TickCount();
    for (int tick = 0; tick < ticks; tick += 8)
        cutoff->SetPoint(tick, from + (to - from) * static_cast<float>(tick) / static_cast<float>(ticks));
}

void BuildDemo(CApplication& application)
{
    CProject& project = application.Project();
    NewProject(project);
    application.ChangeTempo(120.0);
    application.ChangeTicksPerBeat(16.0);
    project.notes = "Corvane Studio demo: a RazuZuri pad and bass in A minor.";

    CStudio& studio = application.Studio();
    CMachineRegistry& registry = application.Registry();
    // Signal flows left to right: sources stacked in the first column, the
    // mixer in the middle, the room and the master on its right and the echo
    // below them. The mixer stands low enough that every source's cable
    // reaches its track from the level or from above, and far enough right
    // that a default GUI opened on the lowest source covers no cable.
    CMachineContainer* master = studio.MasterContainer();
    master->MoveTo(960, 272);

    CMachineContainer* pad = AddProjectMachine(project, FindType(registry, "CorvPlug::KV RazuZuri (Polyphonic)"), 32, 32);
    CMachineContainer* bass = AddProjectMachine(project, FindType(registry, "CorvPlug::KV RazuZuri"), 32, 128);
    CMachineContainer* drums = AddProjectMachine(project, FindType(registry, "CorvPlug::KV VUziD8"), 32, 224);
    CMachineContainer* kick = AddProjectMachine(project, FindType(registry, "CorvPlug::KV Zazud"), 32, 320);

    CMachine& padSynth = *pad->machine;
    Set(padSynth, "Amp Attack", 0.45);
    Set(padSynth, "Amp Sustain", 0.8);
    Set(padSynth, "Amp Release", 0.6);
    Set(padSynth, "VCO2 Detune", 0.25);
    Set(padSynth, "VCF1 Cutoff", 0.35);
    Set(padSynth, "VCF1 Resonance", 0.2);
    Set(padSynth, "VCF1 Env Mod", 0.2);
    Set(padSynth, "Osc Volume", 0.7);

    CMachine& bassSynth = *bass->machine;
    Set(bassSynth, "Amp Attack", 0.0);
    Set(bassSynth, "Amp Decay", 0.3);
    Set(bassSynth, "Amp Sustain", 0.6);
    Set(bassSynth, "Amp Release", 0.15);
    Set(bassSynth, "Filter Decay", 0.3);
    Set(bassSynth, "Filter Sustain", 0.2);
    Set(bassSynth, "VCF1 Cutoff", 0.2);
    Set(bassSynth, "VCF1 Resonance", 0.6);
    Set(bassSynth, "VCF1 Env Mod", 0.7);

    CMachineContainer* mixer = AddProjectMachine(project, FindType(registry, "CorvPlug::KV Mixer-Stereo-8-2"), 544, 272);
    CMachineContainer* echo = AddProjectMachine(project, FindType(registry, "CorvPlug::KV DovoDorez"), 768, 448);
    CMachineContainer* room = AddProjectMachine(project, FindType(registry, "CorvPlug::KV DavarorOdir"), 768, 272);

    // The whole mix plays in a DavarorOdir room on its way to the master.
    studio.Connect(Port(mixer, "OUTPUT"), Port(room, "Line In"), 1.0);
    studio.Connect(Port(room, "Line Out"), Port(master, "Line In"), 0.6);
    studio.Connect(Port(pad, "Line Out"), Port(mixer, "TRK1IN"), CableGainFromPosition(0.93));
    studio.Connect(Port(bass, "Line Out"), Port(mixer, "TRK2IN"), CableGainFromPosition(0.97));
    studio.Connect(Port(drums, "Line Out"), Port(mixer, "TRK3IN"), CableGainFromPosition(0.92));
    studio.Connect(Port(kick, "Line Out"), Port(mixer, "TRK4IN"), CableGainFromPosition(0.93));
    // The echo hears the first send and comes back on the first return.
    studio.Connect(Port(mixer, "AUX1OUT"), Port(echo, "Line In"), 1.0);
    studio.Connect(Port(echo, "Line Out"), Port(mixer, "AUX1IN"), 1.0);

    // Level 0.8 is unity and a centred balance halves each side; 0.89 gives
    // the mix about 3 dB of headroom.
    CMachine& desk = *mixer->machine;
    for (int track = 1; track <= 4; ++track) {
        char name[32];
        std::snprintf(name, sizeof name, "Track %i Level", track);
        Set(desk, name, 0.89);
    }
    Set(desk, "Track 1 AUX1", 0.45);
    Set(desk, "Track 3 AUX1", 0.15);
    Set(desk, "AUX 1 Level", 0.8);

    CPatternEditor& patterns = application.PatternEditor();
    const int phraseUnits = kPhraseBars * kUnitsPerBar;
    CPattern* chords = NewPattern(patterns, pad, phraseUnits, "Chords");
    WritePad(*chords);
    CPattern* bassLine = NewPattern(patterns, bass, phraseUnits, "Bass");
    WriteBass(*bassLine);
    CPattern* bassOpen = NewPattern(patterns, bass, phraseUnits, "Bass Opening");
    WriteBass(*bassOpen);
    WriteCutoffRamp(*bassOpen, ParameterIndex(bassSynth, "VCF1 Cutoff"), 0.2f, 0.55f);
    CPattern* groove = NewPattern(patterns, drums, phraseUnits, "Groove");
    WriteDrums(*groove);
    CPattern* fourOnTheFloor = NewPattern(patterns, kick, phraseUnits, "Kick");
    WriteKick(*fourOnTheFloor);

    CSequenceEditor& song = application.SequenceEditor();
    song.SetLength(kSongBars * kUnitsPerBar);
    const CSequence& sequence = song.Sequence();
    const int padTrack = sequence.IndexOfTrack(sequence.FindTrack(Port(pad, "Control In")));
    const int bassTrack = sequence.IndexOfTrack(sequence.FindTrack(Port(bass, "Control In")));
    const int drumTrack = sequence.IndexOfTrack(sequence.FindTrack(Port(drums, "Control In")));
    const int kickTrack = sequence.IndexOfTrack(sequence.FindTrack(Port(kick, "Control In")));
    for (int phrase = 0; phrase < kSongBars / kPhraseBars; ++phrase) {
        const int position = phrase * phraseUnits;
        song.PlaceEntry(padTrack, position, chords);
        song.PlaceEntry(bassTrack, position, phrase < 2 ? bassLine : bassOpen);
        if (phrase > 0) {
            song.PlaceEntry(drumTrack, position, groove);
            song.PlaceEntry(kickTrack, position, fourOnTheFloor);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: demogen <plug-in folder> <output.cvx>\n");
        return 2;
    }
    try {
        CApplication application;
        CApplication::Settings settings;
        settings.optionsPath = "";
        settings.saveOptions = false;
        settings.startAudio = false;
        settings.plugInFolder = argv[1];
        application.Init(settings);
        BuildDemo(application);
        SaveProjectAs(application.Project(), argv[2]);
    } catch (const CError& error) {
        std::fprintf(stderr, "demogen: %s\n", error.what());
        return 1;
    }
    return 0;
}
