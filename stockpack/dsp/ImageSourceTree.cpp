#include "stockpack/dsp/ImageSourceTree.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kReach = CImageSourceTree::kWindowSeconds * CImageSourceTree::kSpeedOfSound;

double DistanceToRoomSquared(double x, double y, double width, double height)
{
    const double dx = x < 0.0 ? -x : (x > width ? x - width : 0.0);
    const double dy = y < 0.0 ? -y : (y > height ? y - height : 0.0);
    return dx * dx + dy * dy;
}

/// Visits the mirror images of (x, y) that fall within reach, the way the
/// tree creates children.
template <typename Visit>
void ForEachMirror(double x, double y, double width, double height, Visit visit)
{
    const double limit = kReach * kReach;
    const double candidates[4][2] = {{-x, y}, {2.0 * width - x, y}, {x, -y}, {x, 2.0 * height - y}};
    const bool allowed[4] = {x >= 0.0, x <= width, y >= 0.0, y <= height};
    for (int i = 0; i < 4; ++i) {
        if (allowed[i] && DistanceToRoomSquared(candidates[i][0], candidates[i][1], width, height) < limit)
            visit(candidates[i][0], candidates[i][1]);
    }
}

int CountFrom(double x, double y, double width, double height)
{
    int total = 1;
    ForEachMirror(x, y, width, height, [&](double cx, double cy) { total += CountFrom(cx, cy, width, height); });
    return total;
}

} // namespace

int CImageSourceTree::CountNodes(double x, double y, double width, double height)
{
    return CountFrom(x, y, width, height);
}

void CImageSourceTree::Reserve(double minWidth, double minHeight)
{
    // The smallest room holds the most images; the count varies with the
    // source's place, so the places at the edges and the middle of the
    // allowed span (10 % to 90 %) are tried and the largest doubled.
    int most = 1;
    for (double fx : {0.1, 0.3, 0.5, 0.7, 0.9}) {
        for (double fy : {0.1, 0.3, 0.5, 0.7, 0.9})
            most = std::max(most, CountNodes(fx * minWidth, fy * minHeight, minWidth, minHeight));
    }
    nodes.assign(static_cast<std::size_t>(2 * most + 64), Node{});
    count = 0;
}

int CImageSourceTree::Add(double x, double y, double gain, int depth) noexcept
{
    if (count >= static_cast<int>(nodes.size()))
        return -1;
    const int index = count++;
    Node& node = nodes[static_cast<std::size_t>(index)];
    node.x = x;
    node.y = y;
    node.gain = gain;
    node.childCount = 0;
    int children[4];
    int childCount = 0;
    ForEachMirror(x, y, roomWidth, roomHeight, [&](double cx, double cy) {
        const int child = Add(cx, cy, gain * reflectionGain, depth + 1);
        if (child >= 0)
            children[childCount++] = child;
    });
    Node& done = nodes[static_cast<std::size_t>(index)];
    for (int i = 0; i < childCount; ++i)
        done.children[i] = children[i];
    done.childCount = childCount;
    return index;
}

void CImageSourceTree::Build(double x, double y, double width, double height, double reflection) noexcept
{
    roomWidth = width;
    roomHeight = height;
    reflectionGain = reflection;
    count = 0;
    Add(x, y, 1.0, 0);
}

void CImageSourceTree::Collect(int index, int ancestorSlot, double px, double py, double* impulse, int length,
                               double dt) const noexcept
{
    // A node sounds in tap k when its squared distance lies in
    // [(k dt V)^2, ((k + 1) dt V)^2) and every ancestor lies nearer than
    // k dt V; further children are only reached through nearer ancestors.
    const Node& node = nodes[static_cast<std::size_t>(index)];
    const double dx = px - node.x;
    const double dy = py - node.y;
    const double s = dx * dx + dy * dy;
    int slot = static_cast<int>(std::sqrt(s) / kSpeedOfSound / dt);
    // Settle the slot by the same comparisons the definition makes.
    auto d0 = [&](int k) { const double t = k * dt * kSpeedOfSound; return t * t; };
    while (slot > 0 && s < d0(slot))
        --slot;
    while (s >= d0(slot + 1))
        ++slot;
    if (slot > ancestorSlot && slot < length)
        impulse[slot] += node.gain;
    const int childAncestor = std::max(ancestorSlot, slot);
    if (childAncestor + 1 >= length)
        return;
    for (int i = 0; i < node.childCount; ++i)
        Collect(node.children[i], childAncestor, px, py, impulse, length, dt);
}

void CImageSourceTree::Impulse(double px, double py, double* impulse, int length) const noexcept
{
    std::fill(impulse, impulse + length, 0.0);
    if (count == 0 || length <= 0)
        return;
    Collect(0, -1, px, py, impulse, length, kWindowSeconds / length);
}
