#pragma once
// The control-change mapper's editor, without its window: the window
// "ControlChange Mapper" with "Add ControlChange Mapping" and the list
// "Mapping GUI List" of one row (CMappingGUI) per pair, each with the toggle
// "Train (Set Map In To Next Received Control Change)", "Map In:" and
// "Map Out:" boxes (0 .. 1024) and "Remove ControlChange Mapping".
//
// A row's remove button only posts the request to the list (PostRemove);
// the window delivers it after the click has been handled, so a row never
// goes away while its own button is still at work. The list follows the
// machine: pairs a project appends get rows, numbers that training sets
// show, a button that training released pops up.
//
// Threads: user-interface thread; every change goes through the machine's
// locked editor operations.

#include <memory>
#include <vector>

class CControlChangeMapper;
class CMappingGUIList;

class CMappingGUI {
public:
    static constexpr int kMaxNumber = 1024;

    CMappingGUI(CMappingGUIList& list, int mapIn, int mapOut, bool training)
        : list(list), mapIn(mapIn), mapOut(mapOut), training(training) {}

    int MapIn() const { return mapIn; }
    int MapOut() const { return mapOut; }
    bool Training() const { return training; }

    /// The boxes: each change stores both numbers of the pair.
    void SetMapIn(int value);
    void SetMapOut(int value);
    /// The "Train" toggle.
    void SetTraining(bool on);
    /// "Remove ControlChange Mapping": asks the list, by a posted request.
    void PostRemove();

private:
    friend class CMappingGUIList;
    void Store();

    CMappingGUIList& list;
    int mapIn;
    int mapOut;
    bool training;
};

class CMappingGUIList {
public:
    explicit CMappingGUIList(CControlChangeMapper& machine);

    CControlChangeMapper& Machine() const { return machine; }
    const std::vector<std::unique_ptr<CMappingGUI>>& Rows() const { return rows; }
    /// The row's pair, -1 for a row no longer listed.
    int IndexOf(const CMappingGUI* row) const;

    /// "Add ControlChange Mapping": a new pair (0, 0) and its row.
    void AddMapping();
    /// Queues a row's removal; nothing changes until DeliverPosted.
    void PostRemove(CMappingGUI* row) { posted.push_back(row); }
    bool HasPosted() const { return !posted.empty(); }
    /// Removes the pairs of the rows posted so far; a row posted twice, or
    /// gone meanwhile, is passed over. True when a row went.
    bool DeliverPosted();

    enum class Change { None, Values, Rows };
    /// Takes the machine's list again: Rows when rows came or went (the
    /// window rebuilds them), Values when only numbers or toggles changed.
    Change Refresh();

private:
    CControlChangeMapper& machine;
    std::vector<std::unique_ptr<CMappingGUI>> rows;
    std::vector<CMappingGUI*> posted;
};

/// The window's model: its caption and size, and the list.
class CControlChangeMapperGUI {
public:
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 320;

    explicit CControlChangeMapperGUI(CControlChangeMapper& machine) : list(machine) {}
    static const char* Caption() { return "ControlChange Mapper"; }
    CMappingGUIList& List() { return list; }

private:
    CMappingGUIList list;
};
