#include "editors/ProjectInfoView.h"

#include <QTextDocument>

#include "project/Project.h"

CProjectInfoView::CProjectInfoView(CProject& project, QWidget* parent) : QPlainTextEdit(parent), project(project)
{
    setPlaceholderText(QStringLiteral("Notes on this project: what it is, who played what, ideas for later."));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    document()->setDocumentMargin(10);
    QFont font = this->font();
    font.setPointSizeF(font.pointSizeF() + 1.0);
    setFont(font);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing)
            this->project.notes = toPlainText().toStdString();
    });
    ShowNotes();
}

void CProjectInfoView::ShowNotes()
{
    showing = true;
    setPlainText(QString::fromStdString(project.notes));
    showing = false;
}
