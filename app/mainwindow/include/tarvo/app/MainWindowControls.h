#pragma once

#include "tarvo/plan/PlayType.h"

#include <QFont>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace tarvo {

class ClickableImage;
class DrawBanner;
class LineBox;
class RadioGroup;

// The controls of the main window under the names its users and tests know them by (each is also
// its objectName), created with their texts, boxes and first values as a form designer would lay
// them out. The form owns them; this struct only points at them.
struct MainWindowControls {
    // Creates every control on `form`, which must be empty, and sets the keyboard focus order.
    void setup(QWidget* form);

    DrawBanner* imggg = nullptr;
    LineBox* memkj = nullptr;    // the draw history, a line per draw
    LineBox* memjihua = nullptr; // the plan report, a line per plan
    QLabel* lblcode = nullptr;
    QPlainTextEdit* memcode = nullptr;
    RadioGroup* optcaipiao = nullptr;
    RadioGroup* opttype = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* comjushu = nullptr;
    QPushButton* btnrefresh = nullptr;
    QLabel* aaa = nullptr;
    QLineEdit* edtjihuaqishu = nullptr;
    QPushButton* btncopy = nullptr;
    QPushButton* btnnext = nullptr;
    QPushButton* btnkaijiang = nullptr;
    QPushButton* btnclose = nullptr;
    QPushButton* btnfenxi = nullptr; // opens the analysis window
    QPushButton* btnshuju = nullptr; // opens the data window: sources, disagreements
    ClickableImage* imgqq = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* pantx = nullptr;
    QLineEdit* edtcopy = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    // The quiet line above the plan box that says how fresh the selected lottery's draws are.
    QLabel* lblstatus = nullptr;
    QTimer* Timer1 = nullptr;

private:
    void setupTextBoxes(QWidget* form);
    void setupChoices(QWidget* form);
    void setupButtons(QWidget* form);
    void setupPictures(QWidget* form);
    void setupNoticeAndHelpers(QWidget* form);
    void setupStatusLine(QWidget* form);
    void setFocusOrder(QWidget* form);
};

// The window's font: "MS Sans Serif" of 11 pixels, with the families that stand in for it where it is
// missing.
QFont WindowFont();

// The entries of the code-count box for a play type, as the box shows them.
QStringList CodeCountEntries(PlayType type);

} // namespace tarvo
