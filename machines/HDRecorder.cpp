#include "machines/HDRecorder.h"

#include <memory>

#include "framework/ScopedLock.h"
#include "machines/HDTrack.h"
#include "machines/HDTrackMachine.h"

CHDRecorder::CHDRecorder() = default;

CHDRecorder::~CHDRecorder()
{
    std::vector<std::unique_ptr<CHDTrack>> rows;
    {
        CScopedLock<CMutex> hold(listLock);
        rows = tracks.TakeAll();
    }
    for (auto& row : rows) {
        if (CHDTrackMachine* machine = row->Machine())
            machine->DetachRow(row.get());
        row.reset();   // closes its file under its lock
    }
}

int CHDRecorder::AddRow(CHDTrackMachine* machine, CHost* host, bool stereo)
{
    auto row = std::make_unique<CHDTrack>(machine, host, stereo);
    CScopedLock<CMutex> hold(listLock);
    return tracks.Add(std::move(row));
}

void CHDRecorder::RemoveRow(CHDTrackMachine* machine)
{
    CScopedLock<CMutex> hold(listLock);
    std::vector<std::unique_ptr<CHDTrack>> removed = tracks.RemoveRowsOf(machine);
    // Destroyed inside the list lock, so a refresh never sees a row going.
    removed.clear();
}

void CHDRecorder::LockAll()
{
    if (blockLock != nullptr)
        blockLock->Lock();
    listLock.Lock();
    for (int i = 0; i < tracks.Count(); ++i)
        tracks.At(i)->Lock();
}

void CHDRecorder::UnlockAll()
{
    for (int i = 0; i < tracks.Count(); ++i)
        tracks.At(i)->Unlock();
    listLock.Unlock();
    if (blockLock != nullptr)
        blockLock->Unlock();
}

std::vector<std::string> CHDRecorder::StartAll()
{
    std::vector<std::string> failures;
    LockAll();
    for (int i = 0; i < tracks.Count(); ++i) {
        CHDTrack* track = tracks.At(i);
        if (!track->Open() && track->FileName() != "")
            failures.push_back(track->LastError());
    }
    globalToggle = true;
    UnlockAll();
    return failures;
}

void CHDRecorder::StopAll()
{
    LockAll();
    for (int i = 0; i < tracks.Count(); ++i)
        tracks.At(i)->Close();
    globalToggle = false;
    UnlockAll();
}

std::vector<std::string> CHDRecorder::SetGlobalRecordStream(bool on)
{
    if (on)
        return StartAll();
    StopAll();
    return {};
}

void CHDRecorder::OnSongRecording(bool on)
{
    SetGlobalRecordStream(on);
}

std::vector<std::string> CHDRecorder::TakeWriteFailures()
{
    std::vector<std::string> failures;
    {
        CScopedLock<CMutex> hold(listLock);
        for (int i = 0; i < tracks.Count(); ++i) {
            std::string failure = tracks.At(i)->TakeWriteFailure();
            if (!failure.empty())
                failures.push_back(std::move(failure));
        }
    }
    return failures;
}

void CHDRecorder::Refresh(std::uint32_t nowMilliseconds)
{
    CScopedLock<CMutex> hold(listLock);
    for (int i = 0; i < tracks.Count(); ++i)
        tracks.At(i)->Refresh(nowMilliseconds);
}

int CHDRecorder::RowCount()
{
    CScopedLock<CMutex> hold(listLock);
    return tracks.Count();
}

CHDTrack* CHDRecorder::Row(int index)
{
    CScopedLock<CMutex> hold(listLock);
    return tracks.At(index);
}

int CHDRecorder::RowIndexOf(const CHDTrackMachine* machine)
{
    CScopedLock<CMutex> hold(listLock);
    return tracks.IndexOf(machine);
}

int CHDRecorder::ArmedCount()
{
    CScopedLock<CMutex> hold(listLock);
    int armed = 0;
    for (int i = 0; i < tracks.Count(); ++i) {
        if (!tracks.At(i)->FileName().empty())
            ++armed;
    }
    return armed;
}
