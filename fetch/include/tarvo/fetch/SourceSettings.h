#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tarvo {

// How a draw source publishes its draws.
enum class SourceKind {
    Pages, // the latest-draw feed (XML) and the daily history pages, as the program has always read them
    Json,  // the JSON documents public draw services answer with
    File,  // a CSV or TXT file of draws on this computer
};

// One draw source as the player set it in the settings file, section [sourceN].
struct SourceConfig {
    int number = 0; // N of [sourceN]: sources are tried in this order; 0 for the build-time source
    QString name;   // shown to the player
    SourceKind kind = SourceKind::Pages;
    QString feed;          // Pages: base address of the latest-draw feed host (http[s]://host[:port][/prefix])
    QString pages;         // Pages: base address of the daily history page host
    QString latest;        // Json: address of the newest draws; {code} is the lottery's code
    QString history;       // Json, may be empty: address of one day's draws; {code}, and {date} as yyyy-MM-dd
    QString path;          // File: the file's path, absolute or from the program folder; {code} allowed
    QStringList lotteries; // codes of the lotteries the source serves; empty: all
    bool operator==(const SourceConfig&) const = default;

    // Whether the source serves the lottery of that code.
    bool serves(const QString& lotteryCode) const { return lotteries.isEmpty() || lotteries.contains(lotteryCode); }
};

// Something wrong in the settings file, for the player: the line (from 1; 0 for the file as a whole)
// and the reason in words.
struct SettingsProblem {
    int line = 0;
    QString reason;
    bool operator==(const SettingsProblem&) const = default;
};

// What a settings file says about the draw sources: the valid ones in the order they are tried, and
// what was wrong with the rest (a source with a fault is left out whole; a stray line or key is
// passed over).
struct SourceSettings {
    QList<SourceConfig> sources;
    QList<SettingsProblem> problems;
};

// The most sources a settings file holds: [source1] … [source9].
inline constexpr int MostSources = 9;

// The settings file's name, "设置.ini"; it lies in the program folder.
QString SettingsFileName();

// Reads the text of a settings file in Qt's INI format (UTF-8): sections [source1] … [source9], each
// with name=, kind= (pages, json or file) and that kind's addresses (see SourceConfig), optionally
// lotteries= (codes separated by commas). Sections other than the sources' are left alone. Never
// fails: what cannot be used is said in `problems`.
SourceSettings ReadSourceSettings(const QByteArray& text);

// Reads the settings file at `path`: a missing file gives no source and no problem; an unreadable one
// gives one problem.
SourceSettings LoadSourceSettings(const QString& path);

// What is wrong with one source, in words; empty when it can be used.
QStringList SourceProblems(const SourceConfig& source);

// The settings file's text with its source sections replaced by `sources` (numbered 1, 2, … in
// order): every other section and line stays as it was, so nothing the player wrote elsewhere
// changes. The new sections stand where the first old one stood, or at the end.
QByteArray WriteSourceSettings(const QByteArray& original, const QList<SourceConfig>& sources);

// The one source a build names with its feed and page hosts (host[:port], read over http), called
// 内置数据源; none when both hosts are empty.
QList<SourceConfig> HostSources(const QString& feedHost, const QString& pageHost);

// What the program does when a refresh stores a new draw of the selected lottery: a message beside
// the clock (where the desktop has a tray) and a short sound. Section [notify] of the settings file:
// tray= and sound= each on or off (also true/false, yes/no, 1/0).
struct NotifySettings {
    bool tray = true;
    bool sound = false;
    bool operator==(const NotifySettings&) const = default;
};
NotifySettings ReadNotifySettings(const QByteArray& text);
// The settings file's text with its [notify] section saying `settings`; every other line stays.
QByteArray WriteNotifySettings(const QByteArray& original, const NotifySettings& settings);

// The kind's name in the settings file: pages, json, file.
QString SourceKindName(SourceKind kind);

} // namespace tarvo
