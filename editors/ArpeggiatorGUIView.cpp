#include "editors/ArpeggiatorGUIView.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

#include "editors/EditorPalette.h"
#include "editors/StudioStyle.h"
#include "machines/Arpeggiator.h"

namespace {

constexpr int kToolBarHeight = 32;

// Cells by column shade: the played columns in two alternating greys, the
// ones past the length sunk towards the background.
const QColor kLightColumn(50, 55, 62);
const QColor kDarkColumn(39, 43, 49);
const QColor kBeyondColumn(25, 27, 30);
const QColor kCellOnBeyond(0, 72, 98);

QFont PixelFont(int pixels, bool bold = false)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* ToolBarLabel(const char* text, int x, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setFont(PixelFont(12));
    label->setGeometry(x, 5, label->sizeHint().width(), 22);
    return label;
}

QSpinBox* UpDown(const char* name, int lowest, int highest, int x, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(lowest, highest);
    box->setFont(PixelFont(12));
    box->setGeometry(x, 5, 52, 22);
    return box;
}

const char* const kNoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

} // namespace

CArpeggiatorGUIView::CArpeggiatorGUIView(CArpeggiator& machine, QWidget* parent) : QWidget(parent), model(machine)
{
    setObjectName(QStringLiteral("ArpeggiatorGUI"));
    setFixedSize(CArpeggiatorGUI::kWidth, CArpeggiatorGUI::kHeight);
    setMouseTracking(false);
    ToolBarLabel("TPB:", 8, this);
    stepsPerBeat = UpDown("TPB", CArpeggiator::kMinStepsPerBeat, CArpeggiator::kMaxStepsPerBeat, 42, this);
    ToolBarLabel("Length:", 108, this);
    length = UpDown("Length", 1, CArpeggiator::kMaxSteps, 156, this);
    stepsPerBeat->setValue(model.StepsPerBeat());
    length->setValue(model.Length());
    connect(stepsPerBeat, &QSpinBox::valueChanged, this, [this](int value) {
        model.SetStepsPerBeat(value);
        update();
    });
    connect(length, &QSpinBox::valueChanged, this, [this](int value) {
        model.SetLength(value);
        update();
    });
    refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &CArpeggiatorGUIView::Refresh);
    refresh->start(kRefreshMs);
}

void CArpeggiatorGUIView::Refresh()
{
    if (!model.Refresh())
        return;
    {
        const QSignalBlocker quiet(stepsPerBeat);
        stepsPerBeat->setValue(model.StepsPerBeat());
    }
    {
        const QSignalBlocker quiet(length);
        length->setValue(model.Length());
    }
    update();
}

void CArpeggiatorGUIView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), studio_style::kPanel);
    PaintToolBar(painter);
    PaintGrid(painter);
}

void CArpeggiatorGUIView::PaintToolBar(QPainter& painter)
{
    QLinearGradient shade(0, 0, 0, kToolBarHeight);
    shade.setColorAt(0, QColor(48, 52, 59));
    shade.setColorAt(1, studio_style::kPanelDark);
    painter.fillRect(0, 0, width(), kToolBarHeight, shade);
    painter.setPen(QColor(12, 13, 15));
    painter.drawLine(0, kToolBarHeight, width(), kToolBarHeight);

    // The held note, as the grid's bottom row plays it.
    QString held = QStringLiteral("-");
    if (model.HeldNote() >= 0) {
        const int note = model.HeldNote();
        held = QString::fromLatin1(kNoteNames[((note % 12) + 12) % 12]) + QString::number(note / 12 - 1);
    }
    painter.setFont(PixelFont(12));
    painter.setPen(studio_style::kTextDim);
    painter.drawText(QRect(220, 5, 92, 22), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("Note: ") + held);

    painter.setFont(PixelFont(13, true));
    painter.setPen(studio_style::kAccentBright);
    painter.drawText(QRect(8, 40, 200, 18), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("KV ARPEGGIATOR"));
    painter.setFont(PixelFont(11));
    painter.setPen(studio_style::kTextDim);
    painter.drawText(QRect(8, 58, 304, 14), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Click a step to switch it, drag to paint"));
}

void CArpeggiatorGUIView::PaintGrid(QPainter& painter)
{
    using G = CArpeggiatorGUI;
    painter.setFont(PixelFont(9));
    painter.setPen(studio_style::kTextDim);
    // Step numbers over the first column of each group of four.
    for (int column = 0; column < G::kColumns; column += 4)
        painter.drawText(QRect(G::kGridX + column * G::kCellSize, G::kGridY - 12, 24, 11),
                         Qt::AlignLeft | Qt::AlignBottom, QString::number(column + 1));
    // Semitones above the held note, the held note itself at the bottom.
    const struct {
        int row;
        const char* text;
    } rowLabels[] = {{0, "+11"}, {4, "+7"}, {7, "+4"}, {11, "Root"}};
    for (const auto& label : rowLabels)
        painter.drawText(QRect(4, G::kGridY + label.row * G::kCellSize - 2, G::kGridX - 8, 12),
                         Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(label.text));

    painter.fillRect(G::kGridX - 1, G::kGridY - 1, G::kGridWidth + 2, G::kGridHeight + 2, QColor(12, 13, 15));
    for (int column = 0; column < G::kColumns; ++column) {
        const G::ColumnShade shade = model.ShadeOf(column);
        const QColor back = shade == G::ColumnShade::Light ? kLightColumn
                            : shade == G::ColumnShade::Dark ? kDarkColumn
                                                            : kBeyondColumn;
        const QColor on = shade == G::ColumnShade::BeyondLength ? kCellOnBeyond : editor_palette::kNoteFill;
        for (int row = 0; row < G::kRows; ++row) {
            const QRect cell(G::kGridX + column * G::kCellSize, G::kGridY + row * G::kCellSize, G::kCellSize,
                             G::kCellSize);
            painter.fillRect(cell.adjusted(0, 0, -1, -1), model.Cell(row, column) ? on : back);
        }
    }
    const int playing = model.PlayingColumn();
    if (playing >= 0 && playing < G::kColumns) {
        painter.setPen(editor_palette::kPlayCursor);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(G::kGridX + playing * G::kCellSize - 1, G::kGridY - 1, G::kCellSize, G::kGridHeight + 1);
    }
    painter.setFont(PixelFont(10));
    painter.setPen(studio_style::kTextDim);
    painter.drawText(QRect(G::kGridX, G::kGridY + G::kGridHeight + 2, G::kGridWidth, 12), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Steps 1-%1 play, %2 per beat").arg(model.Length()).arg(model.StepsPerBeat()));
}

void CArpeggiatorGUIView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    model.OnMousePress(at.x(), at.y());
    update();
}

void CArpeggiatorGUIView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    model.OnMouseMove(at.x(), at.y());
    update();
}

void CArpeggiatorGUIView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    model.OnMouseRelease(at.x(), at.y());
}
