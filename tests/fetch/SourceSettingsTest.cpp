#include "tarvo/fetch/SourceSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tarvo {

inline void PrintTo(const SettingsProblem& problem, std::ostream* out) {
    *out << problem.line << ": " << problem.reason.toStdString();
}

namespace {

// A file as a player writes it by hand: good sources out of order, others with faults.
const QByteArray PlayersFile = u"; 我的数据源\n"                                      // 1
                               u"[General]\n"                                         // 2
                               u"theme=blue\n"                                        // 3
                               u"\n"                                                  // 4
                               u"[source2]\n"                                         // 5
                               u"name=备用 JSON\n"                                    // 6
                               u"kind=json\n"                                         // 7
                               u"latest=https://api.example.cn/{code}/latest.json\n"  // 8
                               u"history=https://api.example.cn/{code}/{date}.json\n" // 9
                               u"[source1]\n"                                         // 10
                               u"name=官方页面 ; 注释\n"                              // 11
                               u"kind=pages\n"                                        // 12
                               u"feed=http://127.0.0.1:8511\n"                        // 13
                               u"pages=https://draws.example.cn:8443/mirror/\n"       // 14
                               u"[source3]\n"                                         // 15
                               u"kind=file\n"                                         // 16
                               u"path=D:\\开奖\\{code}.csv\n"                         // 17
                               u"[source4]\n"                                         // 18
                               u"kind=ftp\n"                                          // 19
                               u"[source12]\n"                                        // 20
                               u"name=太多\n"                                         // 21
                               u"[source5]\n"                                         // 22
                               u"kind=json\n"                                         // 23
                               u"latest=ftp://example.cn/{code}\n"                    // 24
                               u"[source6]\n"                                         // 25
                               u"kind=pages\n"                                        // 26
                               u"feed=http://a.example.cn\n"                          // 27
                               u"这一行不是设置\n"                                    // 28
                               u"[source7]\n"                                         // 29
                               u"kind=file\n"                                         // 30
                               u"path=sd.csv\n"                                       // 31
                               u"[source8]\n"                                         // 32
                               u"kind=json\n"                                         // 33
                               u"latest=https://one.example.cn/draws.json\n"          // 34
                               u"history=https://one.example.cn/{day}.json\n"         // 35
                               u"[source9]\n"                                         // 36
                               u"name=只有山东\n"                                     // 37
                               u"kind=file\n"                                         // 38
                               u"path=\"C:/开奖, 山东.csv\"\n"                        // 39
                               u"lotteries=sd11x5\n"_s.toUtf8();                      // 40

TEST(SourceSettings, ReadsTheValidSourcesInTheirOrderAndSaysWhatIsWrongWithTheRestByLine) {
    const SourceSettings settings = ReadSourceSettings(PlayersFile);

    QStringList names;
    for (const SourceConfig& source : settings.sources)
        names << u"%1 %2"_s.arg(source.number).arg(source.name);
    EXPECT_EQ(names, (QStringList{u"1 官方页面"_s, u"2 备用 JSON"_s, u"3 数据源3"_s, u"9 只有山东"_s}));
    ASSERT_EQ(settings.sources.size(), 4);
    EXPECT_EQ(settings.sources[0].kind, SourceKind::Pages);
    EXPECT_EQ(settings.sources[0].pages, u"https://draws.example.cn:8443/mirror/"_s);
    EXPECT_EQ(settings.sources[1].history, u"https://api.example.cn/{code}/{date}.json"_s);
    EXPECT_EQ(settings.sources[2].path, u"D:\\开奖\\{code}.csv"_s) << "a Windows path written by hand";
    EXPECT_EQ(settings.sources[3].path, u"C:/开奖, 山东.csv"_s);
    EXPECT_EQ(settings.sources[3].lotteries, QStringList{u"sd11x5"_s});
    EXPECT_TRUE(settings.sources[3].serves(u"sd11x5"_s));
    EXPECT_FALSE(settings.sources[3].serves(u"gd11x5"_s));

    QList<int> problemLines;
    for (const SettingsProblem& problem : settings.problems)
        problemLines << problem.line;
    // source4's kind, source12's number, source5's address, source6's missing pages (at its section)
    // and the stray line, source7's path without {code}, source8's placeholder and missing {code}.
    EXPECT_EQ(problemLines, (QList<int>{19, 20, 24, 25, 28, 31, 34, 35, 35, 35}))
        << ::testing::PrintToString(settings.problems);
    EXPECT_TRUE(settings.problems[0].reason.contains(u"ftp"_s));
    EXPECT_TRUE(settings.problems[1].reason.contains(u"1 到 9"_s));
    EXPECT_TRUE(settings.problems[3].reason.contains(u"pages="_s));
    EXPECT_TRUE(settings.problems[5].reason.contains(u"{code}"_s));
}

TEST(SourceSettings, AMissingFileHasNoSourceAndNoProblem) {
    QTemporaryDir dir;
    const SourceSettings settings = LoadSourceSettings(dir.filePath(SettingsFileName()));
    EXPECT_TRUE(settings.sources.isEmpty());
    EXPECT_TRUE(settings.problems.isEmpty());
    EXPECT_TRUE(ReadSourceSettings("\xff\xfe garbage \x01\x02").sources.isEmpty());
}

TEST(SourceSettings, WritingReplacesOnlyTheSourceSectionsAndQtReadsWhatWasWritten) {
    const QByteArray original = "; comment kept\r\n[General]\r\ntheme=blue\r\n\r\n[source1]\r\nname=old\r\n"
                                "kind=pages\r\nfeed=http://old\r\npages=http://old\r\n[notify]\r\ntray=off\r\n";
    SourceConfig json;
    json.name = u"接口, 主"_s;
    json.kind = SourceKind::Json;
    json.latest = u"https://api.example.cn/{code}.json?key=a;b"_s;
    SourceConfig file;
    file.name = u" 本机 "_s;
    file.kind = SourceKind::File;
    file.path = u"D:\\开奖\\{code}.csv"_s;

    const QByteArray written = WriteSourceSettings(original, {json, file});
    EXPECT_TRUE(written.startsWith("; comment kept\r\n[General]\r\ntheme=blue\r\n\r\n[source1]\r\n")) << written.data();
    EXPECT_TRUE(written.contains("[notify]\r\ntray=off\r\n")) << written.data();
    EXPECT_FALSE(written.contains("old")) << written.data();

    const SourceSettings reread = ReadSourceSettings(written);
    EXPECT_TRUE(reread.problems.isEmpty()) << ::testing::PrintToString(reread.problems);
    ASSERT_EQ(reread.sources.size(), 2);
    EXPECT_EQ(reread.sources[0].name, json.name);
    EXPECT_EQ(reread.sources[0].latest, json.latest);
    EXPECT_EQ(reread.sources[1].name, file.name);
    EXPECT_EQ(reread.sources[1].path, file.path);

    QTemporaryDir dir;
    QFile out(dir.filePath(SettingsFileName()));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(written);
    out.close();
    QSettings qt(out.fileName(), QSettings::IniFormat);
    EXPECT_EQ(qt.value(u"source1/name"_s).toString(), json.name);
    EXPECT_EQ(qt.value(u"source1/latest"_s).toString(), json.latest);
    EXPECT_EQ(qt.value(u"source2/path"_s).toString(), file.path);
    EXPECT_EQ(qt.value(u"notify/tray"_s).toString(), u"off"_s);

    // The tray and sound switches live in [notify], which the sources' writing left alone.
    EXPECT_EQ(ReadNotifySettings(written), (NotifySettings{false, false}));
    EXPECT_EQ(ReadNotifySettings("[source1]\ntray=off\n"), (NotifySettings{true, false})) << "defaults";
    const QByteArray switched = WriteNotifySettings(written, {true, true});
    EXPECT_EQ(ReadNotifySettings(switched), (NotifySettings{true, true}));
    EXPECT_EQ(ReadSourceSettings(switched).sources, reread.sources);
    EXPECT_EQ(QString::fromUtf8(switched).count(u"tray="_s), 1) << switched.data();
    EXPECT_EQ(ReadNotifySettings(WriteNotifySettings("; only a comment\n", {false, true})),
              (NotifySettings{false, true}));
}

} // namespace
} // namespace tarvo
