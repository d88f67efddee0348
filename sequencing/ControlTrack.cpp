#include "sequencing/ControlTrack.h"

#include <algorithm>

CControlTrack::CControlTrack(std::int32_t propertyId, int pointCount) : propertyId(propertyId)
{
    points.assign(static_cast<std::size_t>(std::max(0, pointCount)), InitialPoint());
}

CControlPoint CControlTrack::InitialPoint() const
{
    CControlPoint point;
    if (IsVelocity()) {
        point.set = 1;
        point.value = 1.0f;
    }
    return point;
}

int CControlTrack::SetPointCount() const
{
    return static_cast<int>(std::count_if(points.begin(), points.end(),
                                          [](const CControlPoint& point) { return point.set != 0; }));
}

void CControlTrack::SetPoint(int tick, float value)
{
    if (tick < 0 || tick >= PointCount())
        return;
    CControlPoint& point = Point(tick);
    point.set = 1;
    point.value = std::clamp(value, 0.0f, 1.0f);
}

void CControlTrack::ClearPoint(int tick)
{
    if (tick < 0 || tick >= PointCount())
        return;
    Point(tick) = CControlPoint{};
}

void CControlTrack::Resize(int pointCount)
{
    points.resize(static_cast<std::size_t>(std::max(0, pointCount)), InitialPoint());
}
