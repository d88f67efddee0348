#pragma once
// CMixerChannel: the processor of one channel (left or right) of one mixer
// strip: a three-band equaliser whose band gains glide toward their targets,
// then a level gain and two send gains that glide toward targets handed in
// with every block.
//
// The bands come from two chains of four one-pole low-passes, at 880 Hz
// (the low band) and at 5000 Hz (whose complement against the input,
// delayed by the chain's three-sample history, is the high band). The mid
// band is what remains, so with all band gains at 1 the three bands add up
// to the input delayed by three samples.
//
// Audio thread only, apart from the setters, which the owning machine calls
// under its lock.

class CMixerChannel {
public:
    static constexpr double kLowCornerHz = 880.0;
    static constexpr double kHighCornerHz = 5000.0;
    static constexpr int kSendCount = 2;

    explicit CMixerChannel(int sampleRate = 44100);

    /// Recomputes the two coefficients only; the filter states are kept.
    void SetSampleRate(int sampleRate);
    void SetBandTargets(double low, double mid, double high);

    struct Targets {
        double level = 0.0;
        double send[kSendCount] = {0.0, 0.0};
    };

    /// Processes frames samples of in: adds e * level to out and, when the
    /// send buffers are given, e * send to each. Returns the largest
    /// |e * level| of the block.
    double Process(const double* in, double* out, double* const sends[kSendCount], const Targets& targets,
                   int frames) noexcept;

    double LevelGain() const { return levelGain; }
    double SendGain(int send) const { return sendGain[send]; }
    double LowGain() const { return lowGain; }
    double MidGain() const { return midGain; }
    double HighGain() const { return highGain; }

private:
    /// One equaliser step on x with the current band gains; glides them and
    /// shifts the history.
    double Equalise(double x) noexcept;

    double l0 = 0, l1 = 0, l2 = 0, l3 = 0;   // low-pass chain
    double h0 = 0, h1 = 0, h2 = 0, h3 = 0;   // reference chain for the high band
    double s1 = 0, s2 = 0, s3 = 0;           // input history, s3 the oldest
    double lowGain = 1.0, midGain = 1.0, highGain = 1.0;
    double levelGain = 1.0;
    double sendGain[kSendCount] = {0.0, 0.0};
    double lowTarget = 1.0, midTarget = 1.0, highTarget = 1.0;
    double lf = 0.0;                         // coefficients
    double hf = 0.0;
};
