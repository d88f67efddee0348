#include "editors/RecorderPanelView.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QDial>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include "editors/ChoiceLists.h"
#include "gui/DialogServices.h"
#include "editors/DisplayPost.h"
#include "editors/EditorPalette.h"
#include "machines/HDRecorder.h"
#include "machines/HDTrack.h"

namespace {

constexpr int kSyncMilliseconds = 400;
constexpr int kMeterWidth = 160;
constexpr double kMeterFloorDecibels = -48.0;

/// Two bars, left over right, from the meter's levels (linear peaks).
class CLevelBars : public QWidget {
public:
    CLevelBars()
    {
        setFixedSize(kMeterWidth, 18);
    }
    void SetLevels(double left, double right)
    {
        if (left == levels[0] && right == levels[1])
            return;
        levels[0] = left;
        levels[1] = right;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), studio_style::kPanelDark);
        for (int channel = 0; channel < 2; ++channel) {
            const double level = levels[channel];
            const double decibels = level > 0.0 ? 20.0 * std::log10(level) : kMeterFloorDecibels;
            const double fraction = std::clamp(1.0 - decibels / kMeterFloorDecibels, 0.0, 1.0);
            const QRect bar(1, 1 + channel * 8, static_cast<int>(fraction * (width() - 2)), 7);
            const QColor colour = decibels > -1.0 ? QColor(230, 70, 60) : (decibels > -9.0 ? QColor(230, 200, 60) : studio_style::kAccent);
            painter.fillRect(bar, colour);
        }
    }

private:
    double levels[2] = {0.0, 0.0};
};

} // namespace

struct CRecorderPanelView::Row {
    QWidget* widget = nullptr;
    QLabel* name = nullptr;
    QLabel* file = nullptr;
    QComboBox* format = nullptr;
    QDial* volume = nullptr;
    CLevelBars* meter = nullptr;
    QLabel* time = nullptr;
    QToolButton* toggle = nullptr;
    int revision = -1;
};

CRecorderPanelView::CRecorderPanelView(CHDRecorder& recorder, CFileChooser& chooser, CMessageSink& messages, QWidget* parent)
    : QWidget(parent), recorder(recorder), chooser(chooser), messages(messages),
      displayPost(std::make_unique<CDisplayPost>(this, [this] { Refresh(); }))
{
    auto* bar = new QWidget;
    auto* barRow = new QHBoxLayout(bar);
    barRow->setContentsMargins(8, 6, 8, 6);
    globalToggle = choice_lists::MakeButton(QStringLiteral("Record Stream"), true);
    globalToggle->setToolTip(QStringLiteral("Start or stop every track at once"));
    barRow->addWidget(choice_lists::MakeLabel(QStringLiteral("All tracks:")));
    barRow->addWidget(globalToggle);
    barRow->addStretch(1);
    connect(globalToggle, &QToolButton::clicked, this, [this](bool on) {
        Report(this->recorder.SetGlobalRecordStream(on));
        Refresh();
    });

    auto* list = new QWidget;
    rowLayout = new QVBoxLayout(list);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(0);
    rowLayout->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(scroll, 1);
    Refresh();
    startTimer(kSyncMilliseconds);
}

CRecorderPanelView::~CRecorderPanelView() = default;

QWidget* CRecorderPanelView::RowWidget(int index) const
{
    return index >= 0 && index < RowCount() ? rows[static_cast<std::size_t>(index)]->widget : nullptr;
}

void CRecorderPanelView::timerEvent(QTimerEvent*)
{
    if (isVisible())
        Refresh();
}

void CRecorderPanelView::RefreshFromDisplayThread()
{
    displayPost->Post();
}

void CRecorderPanelView::Rebuild()
{
    for (auto& row : rows)
        delete row->widget;
    rows.clear();
    shownRows.clear();
    const int count = recorder.RowCount();
    for (int index = 0; index < count; ++index) {
        CHDTrack* track = recorder.Row(index);
        shownRows.push_back(track);
        auto row = std::make_unique<Row>();
        row->widget = new QWidget;
        row->widget->setFixedHeight(CHDTrack::kRowHeight);
        row->widget->setAutoFillBackground(true);
        QPalette palette = row->widget->palette();
        palette.setColor(QPalette::Window, index % 2 == 0 ? editor_palette::kGridBackground : editor_palette::kBlackKeyRow);
        row->widget->setPalette(palette);
        auto* line = new QHBoxLayout(row->widget);
        line->setContentsMargins(8, 2, 8, 2);
        row->name = new QLabel;
        row->name->setMinimumWidth(160);
        row->file = new QLabel;
        row->file->setMinimumWidth(220);
        row->file->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* choose = choice_lists::MakeButton(QStringLiteral("Select File To Save To"));
        row->format = new QComboBox;
        row->format->addItems({QStringLiteral("32-bit Float"), QStringLiteral("16-bit Integer")});
        row->volume = new QDial;
        row->volume->setRange(0, 200);
        row->volume->setFixedSize(34, 34);
        row->volume->setToolTip(QStringLiteral("Volume"));
        row->meter = new CLevelBars;
        row->time = new QLabel;
        row->time->setFont(QFont(QStringLiteral("monospace")));
        row->toggle = choice_lists::MakeButton(QStringLiteral("Record Stream"), true);
        line->addWidget(row->name);
        line->addWidget(row->file, 1);
        line->addWidget(choose);
        line->addWidget(row->format);
        line->addWidget(row->volume);
        line->addWidget(row->meter);
        line->addWidget(row->time);
        line->addWidget(row->toggle);
        row->volume->setValue(static_cast<int>(std::lround(track->GetVolume() * 100.0)));
        row->format->setCurrentIndex(track->FormatTag() == CHDTrack::kFormatPcm16 ? 1 : 0);

        // Each control finds its row again by index: the row may be gone.
        connect(choose, &QToolButton::clicked, this, [this, index] { ChooseFile(index); });
        connect(row->format, &QComboBox::activated, this, [this, index](int choice) {
            if (CHDTrack* current = recorder.Row(index))
                current->SetFormatTag(choice == 1 ? CHDTrack::kFormatPcm16 : CHDTrack::kFormatFloat32);
        });
        connect(row->volume, &QDial::valueChanged, this, [this, index](int percent) {
            if (CHDTrack* current = recorder.Row(index))
                current->SetVolume(percent / 100.0);
        });
        connect(row->toggle, &QToolButton::clicked, this, [this, index](bool on) {
            if (CHDTrack* current = recorder.Row(index))
                if (!current->SetRecordStream(on))
                    messages.ShowError(current->LastError());
            Refresh();
        });
        rowLayout->insertWidget(index, row->widget);
        rows.push_back(std::move(row));
    }
}

void CRecorderPanelView::Refresh()
{
    const int count = recorder.RowCount();
    bool same = count == static_cast<int>(shownRows.size());
    for (int index = 0; same && index < count; ++index)
        same = recorder.Row(index) == shownRows[static_cast<std::size_t>(index)];
    if (!same)
        Rebuild();
    for (int index = 0; index < RowCount(); ++index) {
        CHDTrack* track = recorder.Row(index);
        Row& row = *rows[static_cast<std::size_t>(index)];
        if (track == nullptr)
            continue;
        if (row.revision != track->Revision()) {
            row.revision = track->Revision();
            row.name->setText(QString::fromStdString(track->NameLabel()));
            row.file->setText(QString::fromStdString(track->FileLabel()));
        }
        // A click flips the button before the model has answered; the
        // model's word (a file that could not be made) wins.
        if (row.toggle->isChecked() != track->IsToggleOn())
            row.toggle->setChecked(track->IsToggleOn());
        track->Lock();
        const double left = track->Meter().Level(0);
        const double right = track->Meter().Level(1);
        track->Unlock();
        row.meter->SetLevels(left, right);
        const QString time = QString::fromStdString(track->TimeDisplay().Text());
        if (row.time->text() != time)
            row.time->setText(time);
    }
    if (globalToggle->isChecked() != recorder.IsGlobalToggleOn())
        globalToggle->setChecked(recorder.IsGlobalToggleOn());
}

void CRecorderPanelView::ChooseFile(int index)
{
    const std::string filter = std::string(CHDTrack::kFloatFilterName) + ";;" + CHDTrack::kPcm16FilterName;
    const auto path = chooser.ChooseSavePath(filter, CHDTrack::kDefaultExtension);
    CHDTrack* track = recorder.Row(index);
    if (!path.has_value() || track == nullptr)
        return;
    const int choice = rows[static_cast<std::size_t>(index)]->format->currentIndex() == 1 ? 2 : 1;
    if (!track->ChooseFile(path->c_str(), choice))
        messages.ShowError("The file name is too long: " + *path);
    Refresh();
}

void CRecorderPanelView::Report(const std::vector<std::string>& problems)
{
    for (const std::string& problem : problems)
        messages.ShowError(problem);
}
