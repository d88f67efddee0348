#pragma once
// CurveShape: the exponential segment shared by the envelopes and the glide
// units. A curve c bends the unit ramp x -> x into
//     value(x) = (1 - e^(c x)) / (1 - e^c),
// which still runs from 0 at x = 0 to exactly 1 at x = 1; c = 0 is the
// straight line. Positive c rises fast and settles, negative c starts slow.

#include <cmath>

struct CurveShape {
    double curve = 0.0;
    double denominator = 1.0;   // 1 - e^c, or 1 for the straight line

    /// Curves beyond +-64 (values far outside 0 .. 1) are held there, where
    /// the exponentials stay finite; NaN is taken as the straight line.
    static CurveShape FromCurve(double c)
    {
        if (!(c == c))
            c = 0.0;
        c = c < -64.0 ? -64.0 : c > 64.0 ? 64.0 : c;
        CurveShape shape;
        shape.curve = c;
        shape.denominator = c == 0.0 ? 1.0 : 1.0 - std::exp(c);
        return shape;
    }
    /// Parameter v in 0..1 to the curve (v - 0.5) * 16.
    static double CurveFromParameter(double v) { return (v - 0.5) * 16.0; }

    bool Straight() const { return curve == 0.0; }

    double Value(double x) const
    {
        if (Straight())
            return x;
        return (1.0 - std::exp(curve * x)) / denominator;
    }

    /// The position whose value is y, limited to 0..1.
    double Position(double y) const
    {
        double x;
        if (Straight()) {
            x = y;
        } else {
            const double argument = 1.0 - y * denominator;
            x = argument > 0.0 ? std::log(argument) / curve : 1.0;
        }
        if (!(x > 0.0))
            return 0.0;
        return x < 1.0 ? x : 1.0;
    }
};
