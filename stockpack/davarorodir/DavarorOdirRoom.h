#pragma once
// What DavarorOdir's editor shows of the room, computed from the parameter
// values alone: the room's size and the two sources and two listening
// points in metres (with their labels), and the averaged early impulse the
// machine builds from them (the mean of both sources' taps at both points).
// The editor recomputes these on the user-interface thread when a room
// parameter changes; the audio thread keeps its own copy.

#include <string>
#include <vector>

#include "stockpack/dsp/ImageSourceTree.h"

namespace davarorodir {

struct RoomPoint {
    double x = 0.0;   // metres from the room's left wall
    double y = 0.0;   // metres from the room's near wall
};

struct RoomGeometry {
    double width = 10.0;
    double height = 10.0;
    RoomPoint sourceLeft, sourceRight, pointLeft, pointRight;
};

/// From the 14 parameter values (only 0 .. 9 are used).
RoomGeometry GeometryOf(const double* values);
/// "Src L %.0fM,%.0fM", "Src R ...", "Dst L ...", "Dst R ...".
std::string PointLabel(const char* prefix, const RoomPoint& point);
/// "View Time %.2fms" of an impulse of length samples.
std::string ViewTimeLabel(int length, int sampleRate);

/// The averaged impulse of a room; sized once for the smallest room.
class CRoomImpulse {
public:
    CRoomImpulse();
    /// Fills out with the impulse of the room the values describe, as long
    /// as the machine's (fs x 75 ms).
    void Compute(const double* values, int sampleRate, std::vector<double>& out);

private:
    CImageSourceTree trees[2];
    std::vector<double> taps[4];
};

} // namespace davarorodir
