#include "tests/stockpack/editors/MachineEditorRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <map>
#include <numbers>
#include <set>

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTest>
#include <QToolTip>

#include "editors/EditorWindow.h"
#include "editors/MainWindow.h"
#include "editors/StudioGestures.h"
#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"

using namespace mainwindow_test;
using studio_view::CStudioGestures;

namespace editors_test {

EditorRig::EditorRig() = default;

CMachineContainer* EditorRig::Add(const std::string& type)
{
    return AddByMenu(type, QPoint(400, 300));
}

CMachineContainer* EditorRig::Find(const std::string& name)
{
    return Studio().FindByName(name.c_str());
}

QWidget* EditorRig::ShowCustomGui(CMachineContainer* box)
{
    // The box's menu button clicked, "Show Custom GUI" chosen when the menu
    // offers it enabled.
    shown.clear();
    answers.push_back(CStudioGestures::kShowCustomGui);
    const studio_view::Rect button = view->Gestures().MenuButtonRect(box);
    const QPoint pixel = view->ToCanvas(studio_view::Point{box->x + button.x + 3, box->y + button.y + 3});
    QTest::mouseClick(view->Canvas(), Qt::LeftButton, {}, pixel);
    answers.clear();
    if (shown.empty() || shown.back().size() < 3 || shown.back()[2].text != "Show Custom GUI" ||
        !shown.back()[2].enabled)
        return nullptr;
    CEditorWindow* frame = view->EditorWindow(box);
    if (frame == nullptr)
        return nullptr;
    const auto children = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    return children.isEmpty() ? nullptr : children.front();
}

void EditorRig::HideGui(CMachineContainer* box)
{
    view->BoxCommand(box, CStudioGestures::kHideGui);
}

void EditorRig::OpenDemo()
{
    rig.window->Commands().OpenStartProject(DemoPath());
    view->SyncWidgets();
}

QWidget* EditorRig::OpenNew(const std::string& type, int backgroundId, CMachineContainer** box)
{
    CMachineContainer* added = Add(type);
    EXPECT_NE(added, nullptr) << type;
    if (added == nullptr)
        return nullptr;
    if (box != nullptr)
        *box = added;
    QWidget* editor = ShowCustomGui(added);
    EXPECT_NE(editor, nullptr) << type;
    if (editor == nullptr)
        return nullptr;
    const CPicture& background = Skin(backgroundId);
    EXPECT_EQ(editor->size(), QSize(background.GetWidth(), background.GetHeight())) << type;
    Settle();
    return editor;
}

int EditorRig::WidgetsLeftByReopening(const std::string& type, int times)
{
    CMachineContainer* box = Add(type);
    EXPECT_NE(box, nullptr) << type;
    if (box == nullptr)
        return -1;
    // The first opening brings the tool tip and the like into being.
    EXPECT_NE(ShowCustomGui(box), nullptr) << type;
    HideGui(box);
    Settle(50);
    const int widgetsBefore = static_cast<int>(QApplication::allWidgets().size());
    for (int i = 1; i < times; ++i) {
        if (ShowCustomGui(box) == nullptr) {
            ADD_FAILURE() << type << " did not open again at round " << i;
            return -1;
        }
        HideGui(box);
    }
    Settle(50);
    return static_cast<int>(QApplication::allWidgets().size()) - widgetsBefore;
}

void Drag(QWidget* widget, QPoint from, QPoint to)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QTest::mouseMove(widget, (from + to) / 2);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

void Click(QWidget* widget, QPoint at)
{
    // A hover first, as a real pointer arrives: buttons press only from it.
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

QImage Shown(QWidget* editor)
{
    QImage image = editor->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (image.devicePixelRatio() != 1.0)
        image = image.scaled(editor->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return image;
}

const CPicture& Skin(int id)
{
    static std::map<int, CPicture> pictures;
    auto found = pictures.find(id);
    if (found == pictures.end()) {
        CPicture picture;
        QFile file(QString::fromStdString(std::string(STOCK_SKIN_DIR) + "/stockpack_" + std::to_string(id) + ".png"));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            picture.ReadPNG(reinterpret_cast<const unsigned char*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size()));
        }
        found = pictures.emplace(id, std::move(picture)).first;
    }
    return found->second;
}

namespace {
QImage ToImage(const CPicture& picture)
{
    QImage image(picture.GetWidth(), picture.GetHeight(), QImage::Format_RGB32);
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x) {
            const unsigned char* p = picture.PixelAt(x, y);
            image.setPixel(x, y, qRgb(p[0], p[1], p[2]));
        }
    return image;
}
} // namespace

QImage ExpectedKnob(const CPicture& background, const CPicture& strip, int x, int y, int frame)
{
    const int size = strip.GetWidth();
    CPicture panel(size, size, false);
    background.Draw(panel, 0, 0, x, y, size, size);
    strip.Draw(panel, 0, 0, 0, frame * size, size, size);
    return ToImage(panel);
}

QImage ExpectedPicture(const CPicture& background, const CPicture& picture, int x, int y, int sx, int sy, int w,
                       int h)
{
    CPicture panel(w, h, false);
    background.Draw(panel, 0, 0, x, y, w, h);
    picture.Draw(panel, 0, 0, sx, sy, w, h);
    return ToImage(panel);
}

QImage Region(const QImage& shown, int x, int y, int w, int h)
{
    return shown.copy(x, y, w, h).convertToFormat(QImage::Format_RGB32);
}

void Settle(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(5);
    }
}

void SaveScreenshot(QWidget* editor, const std::string& name)
{
    QDir().mkpath(CORVANE_SCREENSHOT_DIR);
    // At 200 % the grab holds twice the pixels; it goes beside the 100 %
    // one.
    std::string file = name;
    if (editor->devicePixelRatioF() != 1.0)
        file.insert(file.rfind('.'), "-200");
    editor->window()->grab().save(QString::fromStdString(std::string(CORVANE_SCREENSHOT_DIR) + "/" + file));
}

std::vector<double> RenderLeft(CMachine* machine, int outputPort, int blocks)
{
    std::vector<double> left;
    for (int b = 0; b < blocks; ++b) {
        CScopedLock<CMachine> hold(*machine);
        machine->Work();
        const CAudioBuffer* out = machine->ports[outputPort]->audio;
        left.insert(left.end(), out->left, out->left + out->length);
    }
    return left;
}

void Queue(CMachine* machine, const ControlEvent& event)
{
    CScopedLock<CMachine> hold(*machine);
    machine->ports[0]->control->Insert(&event);
}

double RmsOf(const std::vector<double>& x, std::size_t start, std::size_t length)
{
    double sum = 0.0;
    for (std::size_t i = start; i < start + length && i < x.size(); ++i)
        sum += x[i] * x[i];
    return length > 0 ? std::sqrt(sum / static_cast<double>(length)) : 0.0;
}

int Frame(double value)
{
    return std::min(100, static_cast<int>(std::trunc(100 * value)));
}

std::string ToolTipFor(CMachine* machine, int parameter, double value)
{
    char name[256] = {}, text[256] = {};
    machine->GetParameterName(parameter, name);
    machine->FormatParameter(parameter, value, text);
    return std::string(name) + " " + text;
}

int CheckKnobs(QWidget* editor, CMachine* machine, const CPicture& background, const panel_layout::Placement& placement,
               int knobId, int smallKnobId)
{
    const QImage shown = Shown(editor);
    int checked = 0;
    for (const auto& placed : placement.cells) {
        if (placed.cell.kind == panel_layout::CellKind::Selector)
            continue;
        const int id = placed.cell.kind == panel_layout::CellKind::Knob ? knobId : smallKnobId;
        const double value = machine->GetParameter(placed.cell.parameter);
        EXPECT_EQ(Region(shown, placed.x, placed.y, placed.width, placed.height),
                  ExpectedKnob(background, Skin(id), placed.x, placed.y, Frame(value)))
            << placed.cell.parameter;
        const QPoint centre(placed.x + placed.width / 2, placed.y + placed.height / 2);
        QTest::mousePress(editor, Qt::LeftButton, {}, centre);
        EXPECT_EQ(QToolTip::text().toStdString(), ToolTipFor(machine, placed.cell.parameter, value));
        QTest::mouseRelease(editor, Qt::LeftButton, {}, centre);
        ++checked;
    }
    return checked;
}

void CheckLayout(const panel_layout::Placement& placement, const CPicture& background, int parameterCount)
{
    std::multiset<int> parameters;
    for (const auto& placed : placement.cells) {
        parameters.insert(placed.cell.parameter);
        EXPECT_GE(placed.x, 12) << placed.cell.parameter;
        EXPECT_LE(placed.x + placed.width, background.GetWidth() - 12) << placed.cell.parameter;
        EXPECT_LE(placed.y + placed.height + 12, background.GetHeight() - 4) << placed.cell.parameter;
        for (const auto& other : placement.cells) {
            if (&other == &placed)
                continue;
            const bool apart = placed.x + placed.width <= other.x || other.x + other.width <= placed.x ||
                               placed.y + placed.height + 11 <= other.y || other.y + other.height + 11 <= placed.y;
            EXPECT_TRUE(apart) << placed.cell.parameter << " meets " << other.cell.parameter;
        }
    }
    EXPECT_EQ(static_cast<int>(parameters.size()), parameterCount);
    for (int i = 0; i < parameterCount; ++i)
        EXPECT_EQ(parameters.count(i), 1u) << i;
}

double SpectralCentroid(const std::vector<double>& x, std::size_t start, std::size_t length, int sampleRate)
{
    double weighted = 0.0;
    double total = 0.0;
    for (std::size_t k = 1; k < length / 2; ++k) {
        std::complex<double> sum;
        const double omega = -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(length);
        for (std::size_t n = 0; n < length; ++n)
            sum += x[start + n] * std::polar(1.0, omega * static_cast<double>(n));
        const double magnitude = std::abs(sum);
        weighted += magnitude * static_cast<double>(k) * sampleRate / static_cast<double>(length);
        total += magnitude;
    }
    return total > 0.0 ? weighted / total : 0.0;
}

} // namespace editors_test
