#pragma once
// CControlChangeMapperGUIView: the window "ControlChange Mapper": the button
// "Add ControlChange Mapping" over the scrolling "Mapping GUI List", one
// framed row per pair. The rules live in CControlChangeMapperGUI; a row's
// "Remove ControlChange Mapping" posts its request and the list is rebuilt
// from a queued call, after the button's own handler has returned. A timer
// takes the machine's list again (pairs a project appended, numbers that
// training set, a "Train" toggle that popped up).
//
// Threads: user-interface thread.

#include <vector>

#include <QWidget>

#include "machines/ControlChangeMapperGUI.h"

class CControlChangeMapper;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTimer;
class QVBoxLayout;

class CControlChangeMapperGUIView : public QWidget {
public:
    static constexpr int kRefreshMs = 50;
    static constexpr int kRowHeight = 62;

    CControlChangeMapperGUIView(CControlChangeMapper& machine, QWidget* parent);

    CControlChangeMapperGUI& Model() { return model; }
    QPushButton* AddButton() const { return add; }
    QScrollArea* List() const { return scroller; }
    /// The widgets of one row, in list order.
    struct RowWidgets {
        QWidget* frame;
        QPushButton* train;
        QSpinBox* mapIn;
        QSpinBox* mapOut;
        QPushButton* remove;
    };
    const std::vector<RowWidgets>& Rows() const { return rows; }
    /// Shows the machine's list now (the timer does it on its own).
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RebuildRows();
    void ShowValues();
    RowWidgets MakeRow(CMappingGUI* row, int index);

    CControlChangeMapperGUI model;
    QPushButton* add;
    QScrollArea* scroller;
    QWidget* rowArea;
    QVBoxLayout* rowLayout;
    std::vector<RowWidgets> rows;
    QTimer* refresh;
};
