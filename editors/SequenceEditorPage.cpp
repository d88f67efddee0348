#include "editors/SequenceEditorPage.h"

#include <QComboBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "editors/ChoiceLists.h"
#include "editors/DisplayPost.h"
#include "editors/SequenceView.h"
#include "editors/StudioStyle.h"
#include "sequencing/EditorGeometry.h"
#include "sequencing/Pattern.h"
#include "sequencing/SequenceEditor.h"

namespace {

/// Choices that appear by themselves (machines placed in the studio,
/// patterns added in the other editor) show up within this time.
constexpr int kSyncMilliseconds = 400;

} // namespace

CSequenceEditorPage::CSequenceEditorPage(CSequenceEditor& editor, CHost& host, QWidget* parent)
    : QWidget(parent), editor(editor),
      displayPost(std::make_unique<CDisplayPost>(this, [this] { RefreshPlayState(); }))
{
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(6);
    patternList = choice_lists::MakeChoiceList(QStringLiteral("Select Pattern"), 160);
    lengthBox = choice_lists::MakeBox(QStringLiteral("Sequence Length"), CSequence::kMinimumLength,
                                      CSequence::kMaximumLength, editor.Length());
    playButton = choice_lists::MakeButton(QStringLiteral("Play Pattern"), true);
    recordButton = choice_lists::MakeButton(QStringLiteral("Record Song"), true);
    stopButton = choice_lists::MakeButton(QStringLiteral("Stop Pattern"));
    loopButton = choice_lists::MakeButton(QStringLiteral("Loop Pattern"), true);
    row->addWidget(choice_lists::MakeLabel(QStringLiteral("Pattern:")));
    row->addWidget(patternList);
    row->addWidget(choice_lists::MakeLabel(QStringLiteral("Length:")));
    row->addWidget(lengthBox);
    row->addSpacing(12);
    row->addWidget(playButton);
    row->addWidget(recordButton);
    row->addWidget(stopButton);
    row->addWidget(loopButton);
    row->addStretch(1);

    grid = new CSequenceView(editor, host);
    scroll = new QScrollArea;
    scroll->setWidget(grid);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Below the last track the grid's own darkness goes on, not the panel's.
    // (The studio's style sheet paints scroll areas, so a palette would not.)
    scroll->viewport()->setObjectName(QStringLiteral("songViewport"));
    scroll->viewport()->setStyleSheet(QStringLiteral("#songViewport { background: %1; }").arg(studio_style::kPanelDark.name()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* ruler = new CSongRuler(editor, host);
    layout->addWidget(bar);
    layout->addWidget(ruler);
    layout->addWidget(scroll, 1);
    connect(scroll->horizontalScrollBar(), &QScrollBar::valueChanged, ruler, &CSongRuler::SetOffset);

    connect(patternList, &QComboBox::activated, this, [this](int index) {
        const auto patterns = this->editor.PatternChoices();
        if (index >= 0 && index < static_cast<int>(patterns.size()))
            this->editor.ChoosePattern(patterns[static_cast<std::size_t>(index)]);
        SyncChoices();
    });
    connect(lengthBox, &QSpinBox::valueChanged, this, [this](int units) {
        this->editor.SetLength(units);
        SyncChoices();
    });
    // Play is a click that (re)starts the song; the button shows the state.
    connect(playButton, &QToolButton::clicked, this, [this] {
        this->editor.Play();
        RefreshPlayState();
    });
    connect(recordButton, &QToolButton::clicked, this, [this](bool down) {
        this->editor.RecordSong(down);
        RefreshPlayState();
    });
    connect(stopButton, &QToolButton::clicked, this, [this] {
        this->editor.Stop();
        RefreshPlayState();
    });
    connect(loopButton, &QToolButton::clicked, this, [this](bool on) { this->editor.SetLoop(on); });
    grid->onTrackSelected = [this] { SyncChoices(); };
    grid->onEdited = [this] { grid->update(); };

    SyncChoices();
    startTimer(kSyncMilliseconds);
}

CSequenceEditorPage::~CSequenceEditorPage() = default;

void CSequenceEditorPage::SyncChoices()
{
    std::vector<choice_lists::Item> items;
    int current = -1;
    const CSequenceTrack* track = editor.SelectedTrack();
    for (CPattern* pattern : editor.PatternChoices()) {
        if (track != nullptr && pattern == track->ChosenPattern())
            current = static_cast<int>(items.size());
        items.push_back({QString::fromStdString(pattern->Name()), pattern});
    }
    choice_lists::Show(patternList, items, current);
    if (lengthBox->value() != editor.Length()) {
        const QSignalBlocker quiet(lengthBox);
        lengthBox->setValue(editor.Length());
    }
    if (shownTracks != editor.Sequence().TrackCount() || shownLength != editor.Length()) {
        shownTracks = editor.Sequence().TrackCount();
        shownLength = editor.Length();
        grid->UpdateExtent();
    }
    grid->update();
}

void CSequenceEditorPage::timerEvent(QTimerEvent*)
{
    if (isVisible())
        SyncChoices();
}

void CSequenceEditorPage::RefreshFromDisplayThread()
{
    displayPost->Post();
}

void CSequenceEditorPage::RefreshPlayState()
{
    editor.UpdateFromPlayback();
    if (playButton->isChecked() != editor.IsPlayButtonDown())
        playButton->setChecked(editor.IsPlayButtonDown());
    if (recordButton->isChecked() != editor.IsRecordButtonDown())
        recordButton->setChecked(editor.IsRecordButtonDown());
    if (loopButton->isChecked() != editor.IsLooping())
        loopButton->setChecked(editor.IsLooping());
    const double position = editor.SongPosition();
    if (grid->SetSongPosition(position) && editor.IsPlaying())
        FollowCursor(position);
}

void CSequenceEditorPage::FollowCursor(double ticks)
{
    QScrollBar* horizontal = scroll->horizontalScrollBar();
    const int x = CEditorGeometry::XOfSongPosition(ticks);
    const int left = horizontal->value() + CEditorGeometry::kNameColumnWidth;
    const int width = scroll->viewport()->width() - CEditorGeometry::kNameColumnWidth;
    if (width > 0 && (x < left || x >= left + width))
        horizontal->setValue(x - CEditorGeometry::kNameColumnWidth - width / 8);
}
