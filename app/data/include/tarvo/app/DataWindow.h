#pragma once

#include "tarvo/app/DataContext.h"
#include "tarvo/fetch/SourceSettings.h"

#include <QWidget>

class QTabWidget;

namespace tarvo {

class DisagreementsTab;
class EntryTab;
class ExportTab;
class ImportTab;
class SourcesTab;

// 数据管理: a window of its own beside the main window for the draws themselves: where they come from
// (数据源), draws brought by hand (导入 of a file or pasted text, 录入 of one draw), 导出 to a file, and
// the disagreements between origins (开奖分歧). A file dropped on the window is previewed for import.
class DataWindow : public QWidget {
    Q_OBJECT
public:
    // settingsFile: the full path of 设置.ini.
    DataWindow(const QString& settingsFile, DataContext context, QWidget* parent = nullptr);

    // The database the tabs work on (the player's or the demonstration's) and the selected lottery.
    void setDatabaseFile(const QString& databaseFile);
    void setLottery(const QString& lottery);
    void setNotice(const QString& notice);

    // Shows the window in front of the others, on one of its tabs.
    void showSources();
    void showImport();
    void showEntry();
    void showDisagreements();

signals:
    void sourcesSaved(const QList<SourceConfig>& sources);
    void disagreementsLooked();
    // Draws the player brought were stored into the lottery's table.
    void drawsStored(const QString& lottery);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void bringToFront();

    DataContext context_;
    QTabWidget* tabs_;
    SourcesTab* sources_;
    ImportTab* import_;
    EntryTab* entry_;
    ExportTab* export_;
    DisagreementsTab* disagreements_;
};

} // namespace tarvo
