#pragma once

#include "tarvo/plan/PlayType.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

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
class RadioGroup;

// The controls of the main window under the names its users and tests know them by (each is also
// its objectName), created with their texts, boxes and first values as a form designer would lay
// them out. The form owns them; this struct only points at them.
struct MainWindowControls {
    // Creates every control on `form`, which must be empty, and sets the keyboard focus order.
    void setup(QWidget* form);

    DrawBanner* imggg = nullptr;
    QPlainTextEdit* memkj = nullptr;
    QPlainTextEdit* memjihua = nullptr;
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

// Whether a text box still holds, unchanged by its user, the `lines` lines the program last wrote
// into it, so that some of them may stay while the rest is rewritten.
bool KeepsProgramLines(const QPlainTextEdit* memo, qsizetype lines);

// The lines of a text box the program wrote (what its user sees as lines, one per history draw or
// plan report line), counted without reading its whole text.
qsizetype ProgramLineCount(const QPlainTextEdit* memo);

// Replaces the lines of a text box from line `first` (counted from 0) to its end with `text`; with
// `first` at the line count, `text` is added as new lines, and with `first` 0 it is the whole text.
// Check KeepsProgramLines(memo, first) first.
void ReplaceLinesFrom(QPlainTextEdit* memo, qsizetype first, QString text);

// The lines as one text for a text box, each line after the first on a line of its own.
QString JoinedLines(const std::vector<std::string>& lines);

// Moves a text box's view to its last line.
void ScrollToEnd(QPlainTextEdit* memo);

} // namespace tarvo
