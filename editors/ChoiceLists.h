#pragma once
// The editors' tool bar pieces: choice lists that are rebuilt only when
// what they should show changed (so an open list is not yanked from under
// the pointer), number boxes that commit on Enter or an arrow step (typing
// "32" never resizes a pattern to 3 on the way), buttons and labels, all
// named by their texts so tests and screen readers find them.
//
// Threads: user-interface thread.

#include <vector>

#include <QString>

class QComboBox;
class QLabel;
class QSpinBox;
class QToolButton;

namespace choice_lists {

struct Item {
    QString text;
    const void* id;   // tells two entries of the same text apart; never dereferenced
};

QComboBox* MakeChoiceList(const QString& name, int minimumWidth);
QSpinBox* MakeBox(const QString& name, int minimum, int maximum, int value);
QToolButton* MakeButton(const QString& text, bool checkable = false);
QLabel* MakeLabel(const QString& text);
/// Shows items with the entry at current chosen (−1: none); leaves the
/// list alone when it already shows exactly that.
void Show(QComboBox* list, const std::vector<Item>& items, int current);
/// The texts a list shows, in order.
std::vector<QString> Texts(const QComboBox* list);

} // namespace choice_lists
