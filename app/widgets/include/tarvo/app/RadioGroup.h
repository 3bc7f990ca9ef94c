#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace tarvo {

// A group of radio buttons laid out in columns, known by the position of its checked item.
// clicked(index) is emitted when the user picks an item (not when the program sets one).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QStringList& items, int columns, QWidget* parent = nullptr);

    int itemIndex() const { return buttons_->checkedId(); }
    void setItemIndex(int index);
    QString itemText(int index) const;
    QAbstractButton* itemButton(int index) const { return buttons_->button(index); }
    int count() const { return int(buttons_->buttons().size()); }

signals:
    void clicked(int index);

private:
    QButtonGroup* buttons_;
};

} // namespace tarvo
