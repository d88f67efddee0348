#include "machines/ControlChangeMapperGUI.h"

#include <algorithm>

#include "machines/ControlChangeMapper.h"

void CMappingGUI::SetMapIn(int value)
{
    mapIn = std::clamp(value, 0, kMaxNumber);
    Store();
}

void CMappingGUI::SetMapOut(int value)
{
    mapOut = std::clamp(value, 0, kMaxNumber);
    Store();
}

void CMappingGUI::Store()
{
    const int index = list.IndexOf(this);
    if (index >= 0)
        list.Machine().SetMapping(index, mapIn, mapOut);
}

void CMappingGUI::SetTraining(bool on)
{
    training = on;
    const int index = list.IndexOf(this);
    if (index >= 0)
        list.Machine().SetTraining(index, on);
}

void CMappingGUI::PostRemove()
{
    list.PostRemove(this);
}

CMappingGUIList::CMappingGUIList(CControlChangeMapper& machine) : machine(machine)
{
    Refresh();
}

int CMappingGUIList::IndexOf(const CMappingGUI* row) const
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].get() == row)
            return static_cast<int>(i);
    return -1;
}

void CMappingGUIList::AddMapping()
{
    machine.AddMapping();
    Refresh();
}

bool CMappingGUIList::DeliverPosted()
{
    bool removed = false;
    std::vector<CMappingGUI*> requests;
    requests.swap(posted);
    for (CMappingGUI* row : requests) {
        const int index = IndexOf(row);
        if (index < 0)
            continue;
        machine.RemoveMapping(index);
        rows.erase(rows.begin() + index);
        removed = true;
    }
    return removed;
}

CMappingGUIList::Change CMappingGUIList::Refresh()
{
    Change change = Change::None;
    const int count = machine.MappingCount();
    if (count != static_cast<int>(rows.size())) {
        // Pairs only come at the end (added, loaded) and go through this
        // list, so the rows that stay keep their pairs.
        while (static_cast<int>(rows.size()) > count) {
            // A request of a row that goes here must not land on a new row
            // that happens to take its place in memory.
            std::erase(posted, rows.back().get());
            rows.pop_back();
        }
        while (static_cast<int>(rows.size()) < count)
            rows.push_back(std::make_unique<CMappingGUI>(*this, 0, 0, false));
        change = Change::Rows;
    }
    for (int i = 0; i < count; ++i) {
        CControlChangeMapper::Mapping pair;
        if (!machine.GetMapping(i, &pair))
            continue;
        CMappingGUI& row = *rows[i];
        if (row.mapIn != pair.mapIn || row.mapOut != pair.mapOut || row.training != pair.training) {
            row.mapIn = pair.mapIn;
            row.mapOut = pair.mapOut;
            row.training = pair.training;
            if (change == Change::None)
                change = Change::Values;
        }
    }
    return change;
}
