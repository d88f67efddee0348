#include "editors/ChoiceLists.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include "editors/StudioStyle.h"

namespace choice_lists {

QComboBox* MakeChoiceList(const QString& name, int minimumWidth)
{
    auto* list = new QComboBox;
    list->setObjectName(name);
    list->setAccessibleName(name);
    list->setToolTip(name);
    list->setMinimumWidth(minimumWidth);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

QSpinBox* MakeBox(const QString& name, int minimum, int maximum, int value)
{
    auto* box = new QSpinBox;
    box->setObjectName(name);
    box->setAccessibleName(name);
    box->setToolTip(name);
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setKeyboardTracking(false);
    box->setMinimumWidth(70);
    return box;
}

QToolButton* MakeButton(const QString& text, bool checkable)
{
    auto* button = new QToolButton;
    button->setObjectName(text);
    button->setText(text);
    button->setCheckable(checkable);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(false);
    return button;
}

QLabel* MakeLabel(const QString& text)
{
    auto* label = new QLabel(text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, studio_style::kTextDim);
    label->setPalette(palette);
    return label;
}

void Show(QComboBox* list, const std::vector<Item>& items, int current)
{
    bool same = list->count() == static_cast<int>(items.size()) && list->currentIndex() == current;
    for (int i = 0; same && i < list->count(); ++i) {
        const Item& item = items[static_cast<std::size_t>(i)];
        same = list->itemText(i) == item.text &&
               list->itemData(i).value<quintptr>() == reinterpret_cast<quintptr>(item.id);
    }
    if (same)
        return;
    const QSignalBlocker quiet(list);
    list->clear();
    for (const Item& item : items)
        list->addItem(item.text, QVariant::fromValue(reinterpret_cast<quintptr>(item.id)));
    list->setCurrentIndex(current);
}

std::vector<QString> Texts(const QComboBox* list)
{
    std::vector<QString> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->itemText(i));
    return texts;
}

} // namespace choice_lists
