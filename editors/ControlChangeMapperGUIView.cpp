#include "editors/ControlChangeMapperGUIView.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "editors/StudioStyle.h"

namespace {

QFont PixelFont(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

// Rows as raised panels on the list's dark well; the "Train" toggle lights
// azure while it waits for a controller.
const char* const kListStyle = R"(
#MappingGUIListArea { background: #16171a; }
#MappingRow { background: #2a2d33; border: 1px solid #0c0d0f; border-radius: 3px; }
#MappingRow QLabel { color: #9ea8b2; }
QPushButton#Train:checked { background: #0096cc; color: white; border: 1px solid #00bbff; }
)";

QSpinBox* NumberBox(const char* name, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, CMappingGUI::kMaxNumber);
    box->setSingleStep(1);
    box->setFont(PixelFont(12));
    box->setMinimumWidth(72);
    return box;
}

} // namespace

CControlChangeMapperGUIView::CControlChangeMapperGUIView(CControlChangeMapper& machine, QWidget* parent)
    : QWidget(parent), model(machine)
{
    setObjectName(QString::fromLatin1(CControlChangeMapperGUI::Caption()));
    setWindowTitle(QString::fromLatin1(CControlChangeMapperGUI::Caption()));
    setFixedSize(CControlChangeMapperGUI::kWidth, CControlChangeMapperGUI::kHeight);
    setStyleSheet(QString::fromLatin1(kListStyle));

    add = new QPushButton(QStringLiteral("Add ControlChange Mapping"), this);
    add->setFont(PixelFont(12));
    add->setGeometry(8, 6, add->sizeHint().width() + 16, 26);
    connect(add, &QPushButton::clicked, this, [this] {
        model.List().AddMapping();
        RebuildRows();
    });

    scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("Mapping GUI List"));
    scroller->setGeometry(8, 40, width() - 16, height() - 48);
    scroller->setWidgetResizable(true);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowArea = new QWidget;
    rowArea->setObjectName(QStringLiteral("MappingGUIListArea"));
    rowLayout = new QVBoxLayout(rowArea);
    rowLayout->setContentsMargins(4, 4, 4, 4);
    rowLayout->setSpacing(4);
    rowLayout->addStretch(1);
    scroller->setWidget(rowArea);
    RebuildRows();

    refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &CControlChangeMapperGUIView::Refresh);
    refresh->start(kRefreshMs);
}

CControlChangeMapperGUIView::RowWidgets CControlChangeMapperGUIView::MakeRow(CMappingGUI* row, int index)
{
    RowWidgets parts{};
    auto* frame = new QFrame(rowArea);
    frame->setObjectName(QStringLiteral("MappingRow"));
    frame->setFixedHeight(kRowHeight);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    parts.frame = frame;
    parts.train = new QPushButton(QStringLiteral("Train (Set Map In To Next Received Control Change)"), frame);
    parts.train->setObjectName(QStringLiteral("Train"));
    parts.train->setCheckable(true);
    parts.train->setFont(PixelFont(12));
    parts.remove = new QPushButton(QStringLiteral("Remove ControlChange Mapping"), frame);
    parts.remove->setObjectName(QStringLiteral("Remove"));
    parts.remove->setFont(PixelFont(12));
    parts.remove->setMinimumWidth(parts.remove->sizeHint().width() + 12);
    parts.mapIn = NumberBox("MapIn", frame);
    parts.mapOut = NumberBox("MapOut", frame);
    auto* inLabel = new QLabel(QStringLiteral("Map In:"), frame);
    auto* outLabel = new QLabel(QStringLiteral("Map Out:"), frame);
    auto* number = new QLabel(QStringLiteral("#%1").arg(index + 1), frame);
    for (QLabel* label : {inLabel, outLabel, number})
        label->setFont(PixelFont(12));

    grid->addWidget(parts.train, 0, 0, 1, 6);
    grid->addWidget(number, 1, 0);
    grid->addWidget(inLabel, 1, 1, Qt::AlignRight);
    grid->addWidget(parts.mapIn, 1, 2);
    grid->addWidget(outLabel, 1, 3, Qt::AlignRight);
    grid->addWidget(parts.mapOut, 1, 4);
    grid->addWidget(parts.remove, 1, 5);
    grid->setColumnStretch(0, 1);

    connect(parts.train, &QPushButton::toggled, this, [row](bool on) { row->SetTraining(on); });
    connect(parts.mapIn, &QSpinBox::valueChanged, this, [row](int value) { row->SetMapIn(value); });
    connect(parts.mapOut, &QSpinBox::valueChanged, this, [row](int value) { row->SetMapOut(value); });
    connect(parts.remove, &QPushButton::clicked, this, [this, row] {
        // The row and this button go only once the click is over.
        row->PostRemove();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (model.List().DeliverPosted())
                    RebuildRows();
            },
            Qt::QueuedConnection);
    });
    return parts;
}

void CControlChangeMapperGUIView::RebuildRows()
{
    for (const RowWidgets& parts : rows)
        delete parts.frame;
    rows.clear();
    int index = 0;
    for (const auto& row : model.List().Rows()) {
        rows.push_back(MakeRow(row.get(), index));
        rowLayout->insertWidget(index, rows.back().frame);
        ++index;
    }
    ShowValues();
}

void CControlChangeMapperGUIView::ShowValues()
{
    const auto& listed = model.List().Rows();
    for (std::size_t i = 0; i < rows.size() && i < listed.size(); ++i) {
        const RowWidgets& parts = rows[i];
        const CMappingGUI& row = *listed[i];
        const QSignalBlocker quietIn(parts.mapIn);
        const QSignalBlocker quietOut(parts.mapOut);
        const QSignalBlocker quietTrain(parts.train);
        parts.mapIn->setValue(row.MapIn());
        parts.mapOut->setValue(row.MapOut());
        parts.train->setChecked(row.Training());
    }
}

void CControlChangeMapperGUIView::Refresh()
{
    switch (model.List().Refresh()) {
    case CMappingGUIList::Change::Rows: RebuildRows(); break;
    case CMappingGUIList::Change::Values: ShowValues(); break;
    case CMappingGUIList::Change::None: break;
    }
}

void CControlChangeMapperGUIView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, 40);
    shade.setColorAt(0, QColor(48, 52, 59));
    shade.setColorAt(1, studio_style::kPanel);
    painter.fillRect(rect(), studio_style::kPanel);
    painter.fillRect(0, 0, width(), 40, shade);
}
