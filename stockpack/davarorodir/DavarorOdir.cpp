#include "stockpack/davarorodir/DavarorOdir.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "framework/AudioBuffer.h"
#include "framework/ParameterLimit.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "stockpack/common/MachinePorts.h"
#include "stockpack/common/ParameterValues.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/davarorodir/DavarorOdirGUI.h"

namespace {

constexpr std::size_t kTextSize = 24;
/// The longest crossfade between early-reflection tap sets.
constexpr int kMaxFadeSamples = 128;

constexpr const char* kNames[CDavarorOdir::kParameterCount] = {
    "Src Left X", "Src Left Y", "Src Right X", "Src Right Y", "Dst Left X", "Dst Left Y", "Dst Right X",
    "Dst Right Y", "Room Width", "Room Height", "Wall Absorb", "Feedback", "Cutoff", "Gain"};

constexpr double kDefaults[CDavarorOdir::kParameterCount] = {0.2, 0.2, 0.8, 0.2, 0.4, 0.8, 0.6,
                                                             0.8, 0.0, 0.0, 0.5, 0.5, 1.0, 0.7};

} // namespace

double CDavarorOdir::FeedbackAmount(double value)
{
    const double rest = 1.0 - value;
    return (1.0 - rest * rest * rest) * 0.999;
}

double CDavarorOdir::CutoffHz(double value, int rate)
{
    const double quarter = rate / 4.0;
    const double hz = 440.0 * std::exp2(value * (std::log2(quarter / 440.0) + 5.0) - 5.0);
    return std::clamp(hz, 1.0, quarter);
}

CDavarorOdir::CDavarorOdir(CHost* host, const CSkinImages* images)
    : CMachine(host), sampleRate(HostSampleRate(host)), blockSize(HostBlockSize(host)), images(images)
{
    static_assert(kLineInPort == 0 && kLineOutPort == 1);
    CreatePorts(*this, {stock_ports::kStereoLineIn, stock_ports::kStereoLineOut});
    parameterCount = kParameterCount;

    for (int i = 0; i < kParameterCount; ++i)
        values[i] = kDefaults[i];
    // The smallest room (10 m square) holds the most images.
    for (CImageSourceTree& tree : trees)
        tree.Reserve(RoomMetres(0.0), RoomMetres(0.0));
    Rebuild();
}

CDavarorOdir::~CDavarorOdir()
{
    editor.Close();
    DeletePorts(*this);
}

void CDavarorOdir::Rebuild()
{
    impulseLength = std::max(static_cast<int>(sampleRate * CImageSourceTree::kWindowSeconds), 1);
    for (CSparseTapUnit& unit : units)
        unit.SetLength(impulseLength, kPreDelaySamples);
    for (std::vector<double>& impulse : impulses)
        impulse.assign(static_cast<std::size_t>(impulseLength), 0.0);
    impulseView.assign(static_cast<std::size_t>(impulseLength), 0.0);
    tail.SetSampleRate(sampleRate);
    BuildTrees();
    // The first tap set sounds at once, without a fade.
    ComputeImpulses(0);
    ApplyTail();
    tail.JumpToTargets();
    viewChanged = roomChanged = pointsChanged = tailChanged = false;
}

void CDavarorOdir::Point(int xIndex, double width, double height, double& x, double& y) const noexcept
{
    x = (0.8 * values[xIndex] + 0.1) * width;
    y = (0.8 * values[xIndex + 1] + 0.1) * height;
}

void CDavarorOdir::BuildTrees() noexcept
{
    const double width = RoomMetres(values[kRoomWidth]);
    const double height = RoomMetres(values[kRoomHeight]);
    const double reflection = Reflection(values[kWallAbsorb]);
    for (int s = 0; s < 2; ++s) {
        double x = 0.0, y = 0.0;
        Point(s == 0 ? kSrcLeftX : kSrcRightX, width, height, x, y);
        trees[s].Build(x, y, width, height, reflection);
    }
}

void CDavarorOdir::ComputeImpulses(int fadeSamples) noexcept
{
    const double width = RoomMetres(values[kRoomWidth]);
    const double height = RoomMetres(values[kRoomHeight]);
    double lx = 0.0, ly = 0.0, rx = 0.0, ry = 0.0;
    Point(kDstLeftX, width, height, lx, ly);
    Point(kDstRightX, width, height, rx, ry);
    for (int s = 0; s < 2; ++s) {
        double* toLeft = impulses[2 * s].data();
        double* toRight = impulses[2 * s + 1].data();
        trees[s].Impulse(lx, ly, toLeft, impulseLength);
        trees[s].Impulse(rx, ry, toRight, impulseLength);
        units[s].SetTaps(toLeft, toRight, fadeSamples);
    }
    for (int k = 0; k < impulseLength; ++k) {
        const auto at = static_cast<std::size_t>(k);
        impulseView[at] = 0.5 * ((impulses[0][at] + impulses[1][at]) + (impulses[2][at] + impulses[3][at]));
    }
}

void CDavarorOdir::ApplyTail() noexcept
{
    tail.SetFeedbackTarget(FeedbackAmount(values[kFeedback]));
    tail.SetGainTarget(std::pow(10.0, GainDb(values[kGain]) / 10.0));
    tail.SetCutoff(CutoffHz(values[kCutoff], sampleRate));
}

void CDavarorOdir::ApplyChanges() noexcept
{
    const int fade = std::min(blockSize, kMaxFadeSamples);
    // The editor follows the values on its own display refresh (it never
    // hears from the audio thread), so the view flag is only cleared.
    viewChanged = false;
    if (roomChanged) {
        BuildTrees();
        ComputeImpulses(fade);
        roomChanged = pointsChanged = false;
    } else if (pointsChanged) {
        ComputeImpulses(fade);
        pointsChanged = false;
    }
    if (tailChanged) {
        ApplyTail();
        tailChanged = false;
    }
}

double CDavarorOdir::GetParameter(int index)
{
    return StoredParameter(values, index);
}

void CDavarorOdir::SetParameter(int index, double value)
{
    if (!IsParameterIndex(index, kParameterCount))
        return;
    value = LimitParameter(value, kDefaults[index]);
    CScopedLock<CMachine> hold(*this);
    values[index] = value;
    viewChanged = true;
    if (index >= kDstLeftX && index <= kDstRightY)
        pointsChanged = true;
    else if (index >= kFeedback)
        tailChanged = true;
    else
        roomChanged = true;
}

void CDavarorOdir::EndParameterUpdate()
{
    CMachine::EndParameterUpdate();
    CScopedLock<CMachine> hold(*this);
    viewChanged = roomChanged = pointsChanged = tailChanged = true;
    ApplyChanges();
}

void CDavarorOdir::GetParameterName(int index, char* out)
{
    if (!IsParameterIndex(index, kParameterCount)) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kTextSize, "%s", kNames[index]);
}

void CDavarorOdir::FormatParameter(int index, double value, char* out)
{
    if (!IsParameterIndex(index, kParameterCount)) {
        out[0] = '\0';
        return;
    }
    switch (index) {
    case kRoomWidth:
    case kRoomHeight:
        std::snprintf(out, kTextSize, "%.0fm", RoomMetres(value));
        break;
    case kCutoff:
        std::snprintf(out, kTextSize, "%.0fHz", CutoffHz(value, sampleRate));
        break;
    case kGain:
        std::snprintf(out, kTextSize, "%.2fdB", GainDb(value));
        break;
    default:
        std::snprintf(out, kTextSize, "%i%%", static_cast<int>(100.0 * value));
        break;
    }
}

void CDavarorOdir::SetSampleRate(int rate)
{
    if (rate <= 0)
        return;
    CScopedLock<CMachine> hold(*this);
    if (rate != sampleRate) {
        sampleRate = rate;
        Rebuild();
    }
}

void CDavarorOdir::SetBlockSize(int length)
{
    if (length <= 0)
        return;
    CScopedLock<CMachine> hold(*this);
    blockSize = length;
}

void CDavarorOdir::Work()
{
    ApplyChanges();
    CAudioBuffer* out = ports[kLineOutPort]->audio;
    const CAudioBuffer* in = ports[kLineInPort]->audio;
    const int frames = StereoLineFrames(out, in);
    if (frames == 0)
        return;
    const double* inLeft = in->left;
    const double* inRight = in->right;
    double* outLeft = out->left;
    double* outRight = out->right;
    for (int i = 0; i < frames; ++i) {
        double ll = 0.0, lr = 0.0, preLeft = 0.0;
        double rl = 0.0, rr = 0.0, preRight = 0.0;
        units[0].Process(inLeft[i], ll, lr, preLeft);
        units[1].Process(inRight[i], rl, rr, preRight);
        double tailLeft = 0.0, tailRight = 0.0;
        tail.Process(preLeft, preRight, tailLeft, tailRight);
        outLeft[i] = (ll + rl + tailLeft) * kOutputScale;
        outRight[i] = (lr + rr + tailRight) * kOutputScale;
    }
}

bool CDavarorOdir::GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right)
{
    return SkinEditorRect(images, CDavarorOdirGUI::kBackground, top, left, bottom, right);
}

WindowHandle CDavarorOdir::CreateEditor(WindowHandle parent)
{
    if (images == nullptr || !images->IsComplete())
        return nullptr;
    return editor.Open(parent, std::make_unique<CDavarorOdirGUI>(this, *images, sampleRate));
}

void CDavarorOdir::CloseEditor()
{
    editor.Close();
}
