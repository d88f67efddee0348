#pragma once
// CHDTrack: one row of the recorder panel, and the recording state of one
// recorder track machine: its gain (the volume knob), peak meter, recorded
// time, the WAV file it writes and the "Record Stream" toggle. The view
// draws these; everything here works without one.
//
// Threads: the audio thread (the machine's Work), the user-interface thread
// (toggles, file choice, start and stop all) and the display thread
// (Refresh) each hold the track lock around every use of the file, the
// counters, the recorded time and the meter. Open, Append and Close must be
// called with it held.

#include <atomic>
#include <cstdint>
#include <string>

#include "host/PeakMeter.h"
#include "framework/Mutex.h"
#include "machines/TimeDisplay.h"
#include "samples/WavStreamWriter.h"

class CHost;
class CHDTrackMachine;

class CHDTrack {
public:
    static constexpr int kRowHeight = 42;
    static constexpr int kFileNameCapacity = 1024;   // up to 1023 characters
    static constexpr int kFormatFloat32 = 3;         // WAV format tags
    static constexpr int kFormatPcm16 = 1;
    // The save dialog of "Select File To Save To": choice 1 records float,
    // choice 2 16-bit integers.
    static constexpr const char* kFloatFilterName = "WAV PCM 32-bit Float (*.wav)";
    static constexpr const char* kFloatFilterPattern = "*.wav";
    static constexpr const char* kPcm16FilterName = "WAV PCM 16-bit Integer (*.wav)";
    static constexpr const char* kPcm16FilterPattern = "*.WAV";
    static constexpr const char* kDefaultExtension = "wav";
    /// The header on disk is brought up to date this often while recording,
    /// in recorded time; a crash loses at most this much of a take.
    static constexpr double kHeaderUpdateSeconds = 2.0;

    /// A row for machine (file label "File: ''", float format, idle).
    CHDTrack(CHDTrackMachine* machine, CHost* host, bool stereo);
    /// Closes the file under the track lock first, so it keeps its header.
    ~CHDTrack();
    CHDTrack(const CHDTrack&) = delete;
    CHDTrack& operator=(const CHDTrack&) = delete;

    void Lock() { trackLock.Lock(); }
    void Unlock() { trackLock.Unlock(); }

    // --- Track lock held; each throws "HD Track Not Locked On Open",
    // "... On Write" or "... On Close" when the caller does not hold it. ---

    /// Begins a new file (closing an open one first). False, with the
    /// toggle shown off and the reason in LastError, when the file cannot
    /// be created; an empty file name fails this way.
    bool Open();
    /// One block of frames (right null for mono) in the track's format.
    void Append(const double* left, const double* right, int frames);
    /// Finishes the file with its final header; the toggle shows off.
    void Close();

    // --- Audio thread, track lock held ---
    double GetVolume() const { return volume.load(std::memory_order_relaxed); }
    /// The block's largest absolute values; a mono track gives one twice.
    void FeedMeter(double leftPeak, double rightPeak);
    bool IsRecording() const { return recording; }

    // --- User-interface thread; each takes the track lock ---
    /// The row's "Record Stream" toggle: on opens, off closes. False when
    /// switched on and the file could not be created.
    bool SetRecordStream(bool on);
    /// "Select File To Save To" confirmed with path and filter choice 1
    /// (float) or 2 (16-bit); a recording track is left stopped. False for
    /// a path of 1024 characters or more, which the row cannot hold (it is
    /// refused rather than cut short into another file's name).
    bool ChooseFile(const char* path, int filterChoice);
    /// A file name from a project; too long a name is refused likewise.
    bool SetFileName(const char* path);
    /// The volume knob, a linear gain.
    void SetVolume(double gain) { volume.store(gain, std::memory_order_relaxed); }
    /// The name label shows "Name: %s".
    void SetMachineName(const char* machineName);
    void SetFormatTag(int tag);

    // --- Display thread ---
    /// Lets the meter fall and shows the recorded time, under the track lock.
    void Refresh(std::uint32_t nowMilliseconds);

    // --- Reading, any thread (the values the view shows) ---
    CHDTrackMachine* Machine() const { return machine; }
    bool IsStereo() const { return stereo; }
    std::string FileName();
    std::string NameLabel();
    std::string FileLabel();
    /// Why the last Open failed, "" after one that succeeded.
    std::string LastError();
    /// "Can't Write File <%s>: %s" once after a write to the take failed (a
    /// full disk): the take was ended there, its header counting the frames
    /// on disk, and the toggle shows off. "" otherwise.
    std::string TakeWriteFailure();
    bool IsToggleOn() const { return toggleOn.load(std::memory_order_relaxed); }
    int FormatTag() const { return formatTag.load(std::memory_order_relaxed); }
    double RecordedSeconds();
    std::uint32_t FramesWritten();
    /// The frame count of the header on disk now.
    std::uint32_t HeaderFrames();
    CPeakMeter& Meter() { return meter; }
    CTimeDisplay& TimeDisplay() { return timeDisplay; }
    /// Top of the row in the panel: 42 pixels per row above it.
    int Top() const { return top.load(std::memory_order_relaxed); }
    void SetTop(int pixels) { top.store(pixels, std::memory_order_relaxed); }
    /// Bumped whenever a label or the toggle changes, so a view knows to
    /// repaint.
    int Revision() const { return revision.load(std::memory_order_relaxed); }

private:
    void RequireLock(const char* message) const;
    int SampleRate() const;
    void Changed() { revision.fetch_add(1, std::memory_order_relaxed); }
    void NoteWriteFailure();

    CMutex trackLock;
    CHDTrackMachine* machine;
    CHost* host;
    bool stereo;
    std::atomic<double> volume{1.0};
    CPeakMeter meter;
    CTimeDisplay timeDisplay;
    std::string nameLabel = "Track:";
    std::string fileLabel = "File: ''";
    char fileName[kFileNameCapacity] = {};
    bool recording = false;
    int writeError = 0;             // of the last failed take, until taken
    bool writeFailureUnread = false;
    CWavStreamWriter file;
    double recordedSeconds = 0.0;
    std::uint32_t framesWritten = 0;
    std::atomic<int> formatTag{kFormatFloat32};
    std::atomic<bool> toggleOn{false};
    std::string lastError;
    std::uint32_t headerIntervalFrames = 0;
    std::atomic<int> top{0};
    std::atomic<int> revision{0};
};
