#include "tests/gui/GuiTestSupport.h"

#include <cstdio>

#include "gui/LiteControl.h"

namespace gui_test {

CPicture SolidPicture(int width, int height, int r, int g, int b, int a)
{
    CPicture picture(width, height, a >= 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            SetPixel(picture, x, y, r, g, b, a);
    }
    return picture;
}

Pixel PixelOf(const CPicture& picture, int x, int y)
{
    const unsigned char* p = picture.PixelAt(x, y);
    return {p[0], p[1], p[2], picture.HasAlpha() ? p[3] : -1};
}

void SetPixel(CPicture& picture, int x, int y, int r, int g, int b, int a)
{
    unsigned char* p = picture.PixelAt(x, y);
    p[0] = static_cast<unsigned char>(r);
    p[1] = static_cast<unsigned char>(g);
    p[2] = static_cast<unsigned char>(b);
    if (picture.HasAlpha())
        p[3] = static_cast<unsigned char>(a);
}

CPicture NumberedStrip(int width, int height, int frames)
{
    CPicture strip(width, height * frames, false);
    for (int k = 0; k < frames; ++k) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                SetPixel(strip, x, k * height + y, k, 255 - k, 7);
        }
    }
    return strip;
}

void CRecordingWindow::Present(const CPicture&, int x, int y, int w, int h)
{
    presented.push_back({x, y, w, h, container != nullptr && container->GetLock().IsLockedByCaller()});
}

void CRecordingWindow::ShowToolTip(const CLiteControl&, const char* text)
{
    toolTips.emplace_back(text);
    toolTipLocked.push_back(container != nullptr && container->GetLock().IsLockedByCaller());
}

void CRecordingWindow::StartTimer(CLiteControl& control, int intervalMs)
{
    timersStarted.emplace_back(&control, intervalMs);
}

void CRecordingWindow::StopTimer(CLiteControl& control)
{
    timersStopped.push_back(&control);
}

void CRecordingContainer::OnSliderPressed(CLiteSlider* slider, double value)
{
    notices.push_back({"pressed", slider, value, GetLock().IsLockedByCaller()});
}

void CRecordingContainer::OnSliderMoved(CLiteSlider* slider, double value)
{
    notices.push_back({"moved", slider, value, GetLock().IsLockedByCaller()});
}

void CRecordingContainer::OnButtonClicked(CLiteButton* button)
{
    notices.push_back({"clicked", button, 0.0, GetLock().IsLockedByCaller()});
}

int CRecordingContainer::Count(const std::string& what) const
{
    int count = 0;
    for (const Notice& notice : notices)
        count += notice.what == what ? 1 : 0;
    return count;
}

CParameterMachine::CParameterMachine(CCorvHost* host, int parameters) : CEngineMachine(host, {}, parameters) {}

void CParameterMachine::GetParameterName(int index, char* out)
{
    static const char* const kNames[] = {"Cutoff", "Resonance", "Attack", "Release"};
    ++nameReads;
    std::snprintf(out, 64, "%s", kNames[index & 3]);
}

void CParameterMachine::FormatParameter(int, double value, char* out)
{
    ++formatReads;
    std::snprintf(out, 64, "%.1f%%", value * 100.0);
}

void CParameterMachine::SetParameter(int index, double value)
{
    sets.push_back({index, value, IsLockedByCaller(), containerLock != nullptr && containerLock->IsLockedByCaller()});
    CEngineMachine::SetParameter(index, value);
}

CBoundMachineRig::CBoundMachineRig(int parameters)
{
    machine = studio.Add<CParameterMachine>("Bound", parameters);
    studio.host.SetParameterChangeHandler([this](CMachine* changed, int index, double value) {
        notifications.push_back({index, value});
        changed->SetParameter(index, value);
    });
}

} // namespace gui_test
