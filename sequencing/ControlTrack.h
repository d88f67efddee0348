#pragma once
// CControlTrack: one lane of control values of a pattern, one point per
// tick. Property id −1 is the velocity track, whose points give the velocity
// of the notes that start at their tick; any other id is a parameter index
// of the pattern's machine, played as parameter events.

#include <bit>
#include <cstdint>
#include <vector>

/// The velocity a new note gets: 100/127 in single precision.
inline constexpr float kDefaultNoteVelocity = 100.0f / 127.0f;
static_assert(std::bit_cast<std::uint32_t>(kDefaultNoteVelocity) == 0x3f499326u);
/// The same velocity in double precision, for patterns without a velocity
/// track.
inline constexpr double kDefaultPlayVelocity = 100.0 / 127.0;

struct CControlPoint {
    std::uint8_t set = 0;
    float value = 0.0f;   // normalized parameter value, or velocity (1.0 is full)
};

class CControlTrack {
public:
    static constexpr std::int32_t kVelocityId = -1;

    /// Points of a velocity track start set at 1.0, others unset at 0.
    CControlTrack(std::int32_t propertyId, int pointCount);

    bool IsVelocity() const { return propertyId == kVelocityId; }
    std::int32_t PropertyId() const { return propertyId; }
    int PointCount() const { return static_cast<int>(points.size()); }
    const CControlPoint& Point(int tick) const { return points[static_cast<std::size_t>(tick)]; }
    CControlPoint& Point(int tick) { return points[static_cast<std::size_t>(tick)]; }
    bool IsSet(int tick) const { return tick >= 0 && tick < PointCount() && Point(tick).set != 0; }
    int SetPointCount() const;

    void SetPoint(int tick, float value);
    /// Unset, value 0.
    void ClearPoint(int tick);
    /// Points are added at the end as a new track's are, or removed from the
    /// end.
    void Resize(int pointCount);

private:
    CControlPoint InitialPoint() const;

    std::int32_t propertyId;
    std::vector<CControlPoint> points;
};
