#include "editors/DefaultGUIView.h"

#include <cmath>

#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>

#include "editors/StudioStyle.h"

namespace {

// Thin azure groove with a light handle, like the skinned sliders.
const char* const kSliderStyle = R"(
QSlider::groove:horizontal { height: 4px; background: #101113; border: 1px solid #0a0b0c; border-radius: 2px; }
QSlider::sub-page:horizontal { background: #0096cc; border-radius: 2px; }
QSlider::handle:horizontal { width: 9px; margin: -6px 0; border-radius: 3px;
                             background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e2e8ee, stop:1 #8e98a2);
                             border: 1px solid #0a0b0c; }
QSlider::handle:horizontal:hover { background: #ffffff; }
)";

int ToSteps(double value)
{
    return static_cast<int>(std::lround(value * CDefaultGUIView::kSliderSteps));
}

QRect TextRect(const CDefaultGUI::TextBox& box)
{
    return QRect(box.left, box.top, box.right - box.left, box.height);
}

} // namespace

CDefaultGUIView::CDefaultGUIView(CMachine* machine, QWidget* parent)
    : QWidget(parent), machine(machine), model(std::make_unique<CDefaultGUI>(machine))
{
    setObjectName(QString::fromUtf8(CDefaultGUI::kWindowName));
    // Verdana at 9 points where it is installed; elsewhere its stand-in
    // may be wider, and long names are elided rather than cut.
    QFont font(QString::fromUtf8(CDefaultGUI::kFontName));
    font.setPointSize(CDefaultGUI::kFontSize);
    setFont(font);
    setFixedSize(model->GetWidth(), model->GetHeight());
    setAutoFillBackground(false);

    for (int i = 0; i < model->GetParameterCount(); ++i) {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(0, kSliderSteps);
        slider->setStyleSheet(QString::fromUtf8(kSliderStyle));
        slider->setValue(ToSteps(model->GetSliderValue(i)));
        slider->setFocusPolicy(Qt::NoFocus);
        connect(slider, &QSlider::valueChanged, this, [this, i](int value) {
            if (!refreshing)
                model->OnSliderMoved(i, static_cast<double>(value) / kSliderSteps);
        });
        sliders.push_back(slider);
    }
    if (model->HasScrollBar()) {
        const CDefaultGUI::Rect r = model->GetScrollBarRect();
        scrollBar = new QScrollBar(Qt::Vertical, this);
        scrollBar->setGeometry(r.x, r.y, r.width, r.height);
        scrollBar->setRange(0, model->GetScrollRange());
        connect(scrollBar, &QScrollBar::valueChanged, this, [this](int row) {
            model->ScrollTo(row);
            PlaceSliders();
        });
    }
    model->SetRepaintHandler([this] {
        // The model refreshed a row: its slider follows without echoing.
        refreshing = true;
        for (int i = 0; i < static_cast<int>(sliders.size()); ++i) {
            if (sliders[static_cast<std::size_t>(i)]->value() != ToSteps(model->GetSliderValue(i)))
                sliders[static_cast<std::size_t>(i)]->setValue(ToSteps(model->GetSliderValue(i)));
        }
        refreshing = false;
        update();
    });
    PlaceSliders();
}

CDefaultGUIView::~CDefaultGUIView()
{
    model->SetRepaintHandler(nullptr);
}

QSlider* CDefaultGUIView::Slider(int parameter) const
{
    if (parameter < 0 || parameter >= static_cast<int>(sliders.size()))
        return nullptr;
    return sliders[static_cast<std::size_t>(parameter)];
}

void CDefaultGUIView::RefreshRow(int parameter)
{
    model->RefreshRow(parameter);
}

void CDefaultGUIView::RefreshAll()
{
    model->RefreshAll();
}

void CDefaultGUIView::PlaceSliders()
{
    for (int i = 0; i < static_cast<int>(sliders.size()); ++i) {
        QSlider* slider = sliders[static_cast<std::size_t>(i)];
        const bool visible = model->IsSliderVisible(i) && i <= model->GetLastVisibleRow();
        slider->setVisible(visible);
        if (visible) {
            const CDefaultGUI::Rect r = model->GetSliderRect(i);
            slider->setGeometry(r.x, r.y, r.width, r.height);
        }
    }
    update();
}

void CDefaultGUIView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(22, 24, 27));
    const int first = model->GetFirstVisibleRow();
    const int lastRow = model->GetLastVisibleRow();
    for (int row = first; row <= lastRow; ++row) {
        if (((row - first) & 1) != 0)
            painter.fillRect(QRect(0, 4 + CDefaultGUI::kRowHeight * (row - first), width() - (scrollBar ? 17 : 0),
                                   CDefaultGUI::kRowHeight),
                             QColor(28, 30, 34));
        painter.setPen(studio_style::kTextDim);
        painter.drawText(TextRect(model->GetIndexBox(row)), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromStdString(model->GetIndexText(row)));
        painter.setPen(studio_style::kText);
        const QRect nameBox = TextRect(model->GetNameBox(row));
        painter.drawText(nameBox, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(QString::fromUtf8(model->GetName(row)), Qt::ElideRight,
                                                          nameBox.width()));
        painter.setPen(studio_style::kAccentBright);
        const QRect valueBox = TextRect(model->GetValueBox(row));
        painter.drawText(valueBox, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(QString::fromUtf8(model->GetValueText(row)), Qt::ElideRight,
                                                          valueBox.width()));
    }
}
