#pragma once

#include <QDialog>

namespace tarvo {

// The short dialog a new player meets instead of a plan over nothing: no draw source is set and no
// draw is stored. It asks where the draws will come from.
class FirstStartDialog : public QDialog {
    Q_OBJECT
public:
    enum class Choice { SetSources, ImportFile, EnterByHand, ShowDemo };

    explicit FirstStartDialog(QWidget* parent = nullptr);

signals:
    void chosen(Choice choice);
};

} // namespace tarvo
