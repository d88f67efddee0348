#pragma once
// CImageSourceTree: the image sources of one sound source in a rectangular
// two-dimensional room, as a tree whose children are mirror images across
// the walls; images reached by different mirror orders stay separate nodes.
// The nodes live in a pool sized once (Reserve) for the smallest room, so
// Build and Impulse never allocate; a pool that fills stops the tree there.
//
// Threads: Reserve allocates (construction); Build and Impulse run on the
// audio thread.

#include <vector>

class CImageSourceTree {
public:
    static constexpr double kSpeedOfSound = 346.02;   // m/s
    static constexpr double kWindowSeconds = 0.075;

    /// Sizes the pool for rooms of at least minWidth x minHeight metres.
    void Reserve(double minWidth, double minHeight);
    /// Rebuilds the tree for a source at (x, y) in a width x height room
    /// with wall reflection coefficient reflection.
    void Build(double x, double y, double width, double height, double reflection) noexcept;
    /// Fills impulse[0 .. length) with the taps heard at (px, py).
    void Impulse(double px, double py, double* impulse, int length) const noexcept;

    int NodeCount() const { return count; }
    int Capacity() const { return static_cast<int>(nodes.size()); }

private:
    struct Node {
        double x, y, gain;
        int children[4];
        int childCount;
    };

    static int CountNodes(double x, double y, double width, double height);
    int Add(double x, double y, double gain, int depth) noexcept;
    void Collect(int node, int ancestorSlot, double px, double py, double* impulse, int length,
                 double dt) const noexcept;

    std::vector<Node> nodes;
    int count = 0;
    double roomWidth = 10.0, roomHeight = 10.0, reflectionGain = 0.5;
};
