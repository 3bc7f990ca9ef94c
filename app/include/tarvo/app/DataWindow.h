#pragma once

#include "tarvo/fetch/SourceSettings.h"

#include <QWidget>

class QTabWidget;

namespace tarvo {

class DisagreementsTab;
class SourcesTab;

// 数据管理: a window of its own beside the main window for where the draws come from: the draw sources
// (数据源) and the disagreements between them (开奖分歧).
class DataWindow : public QWidget {
    Q_OBJECT
public:
    // settingsFile: the full path of 设置.ini; databaseFile: the database whose disagreements it lists
    // (see setDatabaseFile).
    DataWindow(const QString& settingsFile, QString databaseFile, QWidget* parent = nullptr);

    void setDatabaseFile(const QString& databaseFile);
    void setNotice(const QString& notice);

    // Shows the window in front of the others, on the sources' tab or the disagreements'.
    void showSources();
    void showDisagreements();

signals:
    void sourcesSaved(const QList<SourceConfig>& sources);
    void disagreementsLooked();

private:
    void bringToFront();

    QString databaseFile_;
    QTabWidget* tabs_;
    SourcesTab* sources_;
    DisagreementsTab* disagreements_;
};

} // namespace tarvo
