#pragma once

#include "tarvo/fetch/SourceSettings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvo {

// 数据源: the draw sources of the settings file 设置.ini, tried in the order listed. It shows what was
// wrong in the file (line and reason), lets the player add, remove, reorder and edit sources and
// switch the word said when a draw arrives (tray message, sound), and writes the file only when the
// player saves, with every source valid; everything else in the file stays as the player wrote it.
class SourcesTab : public QWidget {
    Q_OBJECT
public:
    // settingsFile: the full path of 设置.ini.
    explicit SourcesTab(QString settingsFile, QWidget* parent = nullptr);

    // Reads the file anew (the sources shown and its problems).
    void reload();
    // A line above the list, e.g. that the window shows demonstration draws; empty: none.
    void setNotice(const QString& notice);

signals:
    // The file was written with these sources.
    void saved(const QList<SourceConfig>& sources);

private:
    void buildForm();
    void showSources();
    void showCurrent();
    void takeEdits();
    void addSource();
    void removeSource();
    void moveSource(int step);
    void chooseFile();
    void save();

    QString settingsFile_;
    QList<SourceConfig> sources_;
    NotifySettings loadedNotify_;
    int current_ = -1;
    bool showing_ = false; // the form is being filled: its edits are not the player's

    QLabel* notice_;
    QLabel* fileLine_;
    QListWidget* problems_;
    QListWidget* list_;
    QLineEdit* name_;
    QComboBox* kind_;
    QLabel* firstLabel_;
    QLineEdit* first_;
    QLabel* secondLabel_;
    QLineEdit* second_;
    QPushButton* browse_;
    QLineEdit* lotteries_;
    QLabel* faults_;
    QCheckBox* trayMessage_;
    QCheckBox* sound_;
    QPushButton* save_;
};

} // namespace tarvo
