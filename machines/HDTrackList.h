#pragma once
// CHDTrackList: the recorder panel's rows in order; row i sits at 42 x i
// pixels. The panel owns it and guards it with the panel's list lock.

#include <memory>
#include <vector>

class CHDTrack;
class CHDTrackMachine;

class CHDTrackList {
public:
    CHDTrackList();
    ~CHDTrackList();
    CHDTrackList(const CHDTrackList&) = delete;
    CHDTrackList& operator=(const CHDTrackList&) = delete;

    /// Appends below the existing rows; returns its index.
    int Add(std::unique_ptr<CHDTrack> row);
    /// Takes every row that serves machine out of the list, keeping the
    /// others' order and moving each following row up by one row height.
    std::vector<std::unique_ptr<CHDTrack>> RemoveRowsOf(const CHDTrackMachine* machine);
    /// Takes all rows out.
    std::vector<std::unique_ptr<CHDTrack>> TakeAll();

    int Count() const { return static_cast<int>(rows.size()); }
    /// Null outside 0 .. count - 1.
    CHDTrack* At(int index) const;
    int IndexOf(const CHDTrackMachine* machine) const;

private:
    void PlaceRows();
    std::vector<std::unique_ptr<CHDTrack>> rows;
};
