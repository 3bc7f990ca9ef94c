#include "tarvo/app/RadioGroup.h"

#include <QGridLayout>
#include <QRadioButton>

namespace tarvo {

RadioGroup::RadioGroup(const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(parent)
    , buttons_(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->setSpacing(0);
    const int rows = int((items.size() + columns - 1) / columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        // Items run down the first column, then the next, as a radio group fills its columns.
        layout->addWidget(button, i % rows, i / rows);
    }
    connect(buttons_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = buttons_->button(index))
        button->setChecked(true);
}

QString RadioGroup::itemText(int index) const {
    const QAbstractButton* button = buttons_->button(index);
    return button ? button->text() : QString();
}

} // namespace tarvo
