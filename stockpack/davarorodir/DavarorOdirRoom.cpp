#include "stockpack/davarorodir/DavarorOdirRoom.h"

#include <algorithm>
#include <cstdio>

#include "stockpack/davarorodir/DavarorOdir.h"

namespace davarorodir {

namespace {

RoomPoint PointOf(const double* values, int xIndex, double width, double height)
{
    // Every point keeps 10 % of each dimension from the walls.
    return {(0.8 * values[xIndex] + 0.1) * width, (0.8 * values[xIndex + 1] + 0.1) * height};
}

} // namespace

RoomGeometry GeometryOf(const double* values)
{
    RoomGeometry room;
    room.width = CDavarorOdir::RoomMetres(values[CDavarorOdir::kRoomWidth]);
    room.height = CDavarorOdir::RoomMetres(values[CDavarorOdir::kRoomHeight]);
    room.sourceLeft = PointOf(values, CDavarorOdir::kSrcLeftX, room.width, room.height);
    room.sourceRight = PointOf(values, CDavarorOdir::kSrcRightX, room.width, room.height);
    room.pointLeft = PointOf(values, CDavarorOdir::kDstLeftX, room.width, room.height);
    room.pointRight = PointOf(values, CDavarorOdir::kDstRightX, room.width, room.height);
    return room;
}

std::string PointLabel(const char* prefix, const RoomPoint& point)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s %.0fM,%.0fM", prefix, point.x, point.y);
    return text;
}

std::string ViewTimeLabel(int length, int sampleRate)
{
    char text[64];
    std::snprintf(text, sizeof text, "View Time %.2fms", sampleRate > 0 ? 1000.0 * length / sampleRate : 0.0);
    return text;
}

CRoomImpulse::CRoomImpulse()
{
    // The smallest room holds the most images.
    for (CImageSourceTree& tree : trees)
        tree.Reserve(CDavarorOdir::RoomMetres(0.0), CDavarorOdir::RoomMetres(0.0));
}

void CRoomImpulse::Compute(const double* values, int sampleRate, std::vector<double>& out)
{
    const int length = std::max(static_cast<int>(sampleRate * CImageSourceTree::kWindowSeconds), 1);
    const RoomGeometry room = GeometryOf(values);
    const double reflection = CDavarorOdir::Reflection(values[CDavarorOdir::kWallAbsorb]);
    trees[0].Build(room.sourceLeft.x, room.sourceLeft.y, room.width, room.height, reflection);
    trees[1].Build(room.sourceRight.x, room.sourceRight.y, room.width, room.height, reflection);
    for (std::vector<double>& tap : taps)
        tap.assign(static_cast<std::size_t>(length), 0.0);
    for (int s = 0; s < 2; ++s) {
        trees[s].Impulse(room.pointLeft.x, room.pointLeft.y, taps[2 * s].data(), length);
        trees[s].Impulse(room.pointRight.x, room.pointRight.y, taps[2 * s + 1].data(), length);
    }
    out.assign(static_cast<std::size_t>(length), 0.0);
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k] = 0.5 * ((taps[0][k] + taps[1][k]) + (taps[2][k] + taps[3][k]));
}

} // namespace davarorodir
