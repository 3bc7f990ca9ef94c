#include "tarvo/fetch/SourceSettings.h"

#include "tarvo/store/Lottery.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <optional>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

struct Entry {
    QString key;
    QString value;
    int line = 0;
};

struct Section {
    QString name;
    int line = 0;
    QList<Entry> entries;
};

// Where a value's comment begins: the first ';' outside double quotes, as Qt's INI reading has it.
qsizetype CommentStart(QStringView raw) {
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'\\') {
            ++i;
        } else if (raw[i] == u'"') {
            quoted = !quoted;
        } else if (raw[i] == u';' && !quoted) {
            return i;
        }
    }
    return raw.size();
}

// Qt's INI escapes: \\, \", \t, \n, \r and \xHHHH. A backslash before anything else stays, so that a
// Windows path written by hand (C:\draws\sd.csv) reads as written.
QString UnescapedValue(QStringView raw) {
    raw = raw.left(CommentStart(raw)).trimmed();
    QString value;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'"')
            continue;
        if (c != u'\\' || i + 1 == raw.size()) {
            value += c;
            continue;
        }
        const QChar next = raw[i + 1];
        if (next == u'x') {
            qsizetype end = i + 2;
            while (end < raw.size() && end < i + 6 && isxdigit(raw[end].toLatin1()))
                ++end;
            if (end > i + 2) {
                value += QChar(char16_t(raw.sliced(i + 2, end - i - 2).toUShort(nullptr, 16)));
                i = end - 1;
                continue;
            }
        }
        static const QHash<QChar, QChar> escapes{
            {u'\\', u'\\'}, {u'"', u'"'}, {u't', u'\t'}, {u'n', u'\n'}, {u'r', u'\r'}};
        if (escapes.contains(next)) {
            value += escapes.value(next);
            ++i;
        } else {
            value += c;
        }
    }
    return value;
}

std::optional<int> SourceNumber(const QString& sectionName) {
    static const QRegularExpression pattern(u"^source(\\d+)$"_s, QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(sectionName);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

QList<Section> SplitSections(const QString& text, QList<SettingsProblem>& problems) {
    QList<Section> sections;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i + 1);
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close < 0) {
                problems.append({lineNumber, u"节名缺少“]”"_s});
                sections.append({QString(), lineNumber, {}});
            } else {
                sections.append({line.mid(1, close - 1).trimmed(), lineNumber, {}});
            }
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0) {
            problems.append({lineNumber, u"无法识别的行（应为 名称=值 或 [节名]）"_s});
            continue;
        }
        if (sections.isEmpty()) {
            problems.append({lineNumber, u"不在任何数据源的节内，已忽略"_s});
            continue;
        }
        sections.last().entries.append(
            {line.left(equals).trimmed().toLower(), UnescapedValue(QStringView(line).sliced(equals + 1)), lineNumber});
    }
    return sections;
}

std::optional<SourceKind> KindNamed(const QString& name) {
    for (SourceKind kind : {SourceKind::Pages, SourceKind::Json, SourceKind::File}) {
        if (SourceKindName(kind).compare(name, Qt::CaseInsensitive) == 0)
            return kind;
    }
    return std::nullopt;
}

// The keys each kind reads; name, kind and lotteries belong to every kind.
QStringList KeysOf(SourceKind kind) {
    switch (kind) {
    case SourceKind::Pages:
        return {u"feed"_s, u"pages"_s};
    case SourceKind::Json:
        return {u"latest"_s, u"history"_s};
    case SourceKind::File:
        return {u"path"_s};
    }
    return {};
}

QString* FieldOf(SourceConfig& source, const QString& key) {
    if (key == u"feed")
        return &source.feed;
    if (key == u"pages")
        return &source.pages;
    if (key == u"latest")
        return &source.latest;
    if (key == u"history")
        return &source.history;
    if (key == u"path")
        return &source.path;
    if (key == u"name")
        return &source.name;
    return nullptr;
}

// Reads one [sourceN] section; problems of single keys are said at their line, missing keys at the
// section's line.
std::optional<SourceConfig> ReadSource(const Section& section, int number, QList<SettingsProblem>& problems) {
    SourceConfig source;
    source.number = number;
    QHash<QString, int> lineOf;
    std::optional<SourceKind> kind;
    for (const Entry& entry : section.entries) {
        if (lineOf.contains(entry.key))
            problems.append({entry.line, u"%1= 重复出现，以这一行为准"_s.arg(entry.key)});
        lineOf[entry.key] = entry.line;
        if (entry.key == u"kind") {
            kind = KindNamed(entry.value);
            if (!kind) {
                problems.append({entry.line, u"未知的数据源类型“%1”（可用 pages、json、file）"_s.arg(entry.value)});
                return std::nullopt;
            }
        } else if (entry.key == u"lotteries") {
            source.lotteries.clear();
            for (const QString& code : entry.value.split(u',', Qt::SkipEmptyParts))
                source.lotteries.append(code.trimmed().toLower());
        } else if (QString* field = FieldOf(source, entry.key)) {
            *field = entry.value;
        } else {
            problems.append({entry.line, u"未知的设置项 %1，已忽略"_s.arg(entry.key)});
        }
    }
    if (!kind) {
        problems.append({section.line, u"[%1] 缺少 kind=（pages、json 或 file）"_s.arg(section.name)});
        return std::nullopt;
    }
    source.kind = *kind;
    for (const Entry& entry : section.entries) {
        QString* field = FieldOf(source, entry.key);
        if (field && entry.key != u"name" && !KeysOf(source.kind).contains(entry.key)) {
            problems.append(
                {entry.line, u"%1= 不属于 kind=%2 的数据源，已忽略"_s.arg(entry.key, SourceKindName(*kind))});
            field->clear();
        }
    }
    if (source.name.trimmed().isEmpty())
        source.name = u"数据源%1"_s.arg(number);
    const QStringList faults = SourceProblems(source);
    for (const QString& fault : faults) {
        const QString key = fault.section(u'=', 0, 0);
        problems.append({lineOf.value(key, section.line), fault});
    }
    if (!faults.isEmpty())
        return std::nullopt;
    return source;
}

const QStringList& Placeholders() {
    static const QStringList placeholders{u"{code}"_s, u"{date}"_s};
    return placeholders;
}

QStringList UnknownPlaceholders(const QString& text) {
    static const QRegularExpression braces(u"\\{[^}]*\\}"_s);
    QStringList unknown;
    for (QRegularExpressionMatchIterator it = braces.globalMatch(text); it.hasNext();) {
        const QString found = it.next().captured(0);
        if (!Placeholders().contains(found))
            unknown.append(found);
    }
    return unknown;
}

// Whether a text is an http:// or https:// address with a host; a base address (withPath false) may
// carry a path prefix but no query.
bool IsWebAddress(const QString& text, bool baseOnly) {
    QString filled = text;
    filled.replace(u"{code}"_s, u"sd11x5"_s).replace(u"{date}"_s, u"2026-01-01"_s);
    const QUrl url(filled, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty() &&
           !(baseOnly && (url.hasQuery() || url.hasFragment()));
}

void CheckAddress(const QString& key, const QString& value, bool baseOnly, QStringList& faults) {
    if (value.isEmpty())
        faults.append(u"%1= 缺少地址"_s.arg(key));
    else if (!baseOnly && !UnknownPlaceholders(value).isEmpty())
        return; // said on its own
    else if (baseOnly && value.contains(u'{'))
        faults.append(u"%1= 是主机的基地址，不含占位符"_s.arg(key));
    else if (!IsWebAddress(value, baseOnly))
        faults.append(u"%1= “%2”不是以 http:// 或 https:// 开头的有效地址"_s.arg(key, value));
}

// An address of a source that serves several lotteries names each lottery's own document by {code}.
void CheckNamesTheLottery(const QString& key, const QString& value, const SourceConfig& source, QStringList& faults) {
    if (!value.isEmpty() && !value.contains(u"{code}"_s) && source.lotteries.size() != 1)
        faults.append(
            u"%1= 中没有 {code}：四个彩种会读到同一份开奖。请加上 {code}，或用 lotteries= 只指定一个彩种"_s.arg(key));
    for (const QString& unknown : UnknownPlaceholders(value))
        faults.append(u"%1= 中的 %2 不是可用的占位符（可用 {code}、{date}）"_s.arg(key, unknown));
}

} // namespace

QString SettingsFileName() {
    return u"设置.ini"_s;
}

QString SourceKindName(SourceKind kind) {
    switch (kind) {
    case SourceKind::Pages:
        return u"pages"_s;
    case SourceKind::Json:
        return u"json"_s;
    case SourceKind::File:
        return u"file"_s;
    }
    return {};
}

QStringList SourceProblems(const SourceConfig& source) {
    QStringList faults;
    for (const QString& code : source.lotteries) {
        if (!FindLotteryByCode(code))
            faults.append(u"lotteries= 中的“%1”不是彩种代码（可用 sd11x5、gd11x5、cq11x5、jx11x5）"_s.arg(code));
    }
    switch (source.kind) {
    case SourceKind::Pages:
        CheckAddress(u"feed"_s, source.feed, true, faults);
        CheckAddress(u"pages"_s, source.pages, true, faults);
        break;
    case SourceKind::Json:
        CheckAddress(u"latest"_s, source.latest, false, faults);
        CheckNamesTheLottery(u"latest"_s, source.latest, source, faults);
        if (!source.history.isEmpty()) {
            CheckAddress(u"history"_s, source.history, false, faults);
            CheckNamesTheLottery(u"history"_s, source.history, source, faults);
            if (!source.history.contains(u"{date}"_s))
                faults.append(u"history= 中没有 {date}：它是某一天开奖的地址"_s);
        }
        break;
    case SourceKind::File:
        if (source.path.isEmpty())
            faults.append(u"path= 缺少文件路径"_s);
        CheckNamesTheLottery(u"path"_s, source.path, source, faults);
        break;
    }
    return faults;
}

SourceSettings ReadSourceSettings(const QByteArray& text) {
    SourceSettings settings;
    QString decoded = QString::fromUtf8(text);
    if (decoded.startsWith(QChar(0xfeff)))
        decoded.remove(0, 1);
    decoded.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    QSet<int> numbersSeen;
    for (const Section& section : SplitSections(decoded, settings.problems)) {
        const std::optional<int> number = SourceNumber(section.name);
        if (!number) {
            continue; // another part of the program's settings
        }
        if (*number < 1 || *number > MostSources) {
            settings.problems.append(
                {section.line, u"[%1]：数据源的编号应为 1 到 %2"_s.arg(section.name).arg(MostSources)});
            continue;
        }
        if (numbersSeen.contains(*number)) {
            settings.problems.append({section.line, u"[%1] 重复出现，已忽略这一节"_s.arg(section.name)});
            continue;
        }
        numbersSeen.insert(*number);
        if (std::optional<SourceConfig> source = ReadSource(section, *number, settings.problems))
            settings.sources.append(*source);
    }
    std::sort(settings.sources.begin(), settings.sources.end(),
              [](const SourceConfig& a, const SourceConfig& b) { return a.number < b.number; });
    std::sort(settings.problems.begin(), settings.problems.end(),
              [](const SettingsProblem& a, const SettingsProblem& b) { return a.line < b.line; });
    return settings;
}

SourceSettings LoadSourceSettings(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {{}, {{0, u"无法读取设置文件 %1：%2"_s.arg(path, file.errorString())}}};
    return ReadSourceSettings(file.readAll());
}

namespace {

QString EscapedValue(const QString& value) {
    QString escaped = value;
    escaped.replace(u"\\"_s, u"\\\\"_s).replace(u"\""_s, u"\\\""_s);
    const bool needsQuotes = value != value.trimmed() || value.contains(u',') || value.contains(u';') ||
                             value.contains(u'"') || value.contains(u'=');
    return needsQuotes ? u'"' + escaped + u'"' : escaped;
}

QStringList SourceSectionLines(const QList<SourceConfig>& sources) {
    QStringList lines;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const SourceConfig& source = sources[i];
        lines << u"[source%1]"_s.arg(i + 1) << u"name="_s + EscapedValue(source.name)
              << u"kind="_s + SourceKindName(source.kind);
        SourceConfig copy = source;
        for (const QString& key : KeysOf(source.kind)) {
            const QString value = *FieldOf(copy, key);
            if (!value.isEmpty())
                lines << key + u'=' + EscapedValue(value);
        }
        if (!source.lotteries.isEmpty())
            lines << u"lotteries="_s + EscapedValue(source.lotteries.join(u','));
        lines << QString();
    }
    return lines;
}

} // namespace

QByteArray WriteSourceSettings(const QByteArray& original, const QList<SourceConfig>& sources) {
    QString text = QString::fromUtf8(original);
    const bool hadBom = text.startsWith(QChar(0xfeff));
    if (hadBom)
        text.remove(0, 1);
    const QString lineBreak = text.contains(u"\r\n"_s) ? u"\r\n"_s : u"\n"_s;
    QStringList kept;
    qsizetype insertAt = -1;
    bool inSource = false;
    for (const QString& rawLine : text.split(lineBreak)) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inSource = SourceNumber(line.mid(1, line.indexOf(u']') - 1).trimmed()).has_value();
            if (inSource && insertAt < 0)
                insertAt = kept.size();
        }
        if (!inSource)
            kept.append(rawLine);
    }
    while (!kept.isEmpty() && kept.last().trimmed().isEmpty())
        kept.removeLast();
    const QStringList sections = SourceSectionLines(sources);
    if (insertAt < 0 || insertAt >= kept.size()) {
        if (!kept.isEmpty())
            kept.append(QString());
        kept += sections;
    } else {
        for (qsizetype i = 0; i < sections.size(); ++i)
            kept.insert(insertAt + i, sections[i]);
    }
    while (!kept.isEmpty() && kept.last().isEmpty())
        kept.removeLast();
    return ((hadBom ? QString(QChar(0xfeff)) : QString()) + kept.join(lineBreak) + lineBreak).toUtf8();
}

QList<SourceConfig> HostSources(const QString& feedHost, const QString& pageHost) {
    if (feedHost.isEmpty() && pageHost.isEmpty())
        return {};
    SourceConfig source;
    source.name = u"内置数据源"_s;
    source.kind = SourceKind::Pages;
    source.feed = u"http://"_s + feedHost;
    source.pages = u"http://"_s + pageHost;
    return {source};
}

namespace {

std::optional<bool> SwitchValue(const QString& text) {
    const QString value = text.trimmed().toLower();
    if (value == u"on" || value == u"true" || value == u"yes" || value == u"1")
        return true;
    if (value == u"off" || value == u"false" || value == u"no" || value == u"0")
        return false;
    return std::nullopt;
}

QString NormalizedText(const QByteArray& text, bool* hadBom = nullptr) {
    QString decoded = QString::fromUtf8(text);
    const bool bom = decoded.startsWith(QChar(0xfeff));
    if (bom)
        decoded.remove(0, 1);
    if (hadBom)
        *hadBom = bom;
    return decoded;
}

} // namespace

NotifySettings ReadNotifySettings(const QByteArray& text) {
    NotifySettings settings;
    QList<SettingsProblem> ignored;
    QString decoded = NormalizedText(text);
    decoded.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    for (const Section& section : SplitSections(decoded, ignored)) {
        if (section.name.compare(u"notify"_s, Qt::CaseInsensitive) != 0)
            continue;
        for (const Entry& entry : section.entries) {
            const std::optional<bool> value = SwitchValue(entry.value);
            if (value && entry.key == u"tray")
                settings.tray = *value;
            else if (value && entry.key == u"sound")
                settings.sound = *value;
        }
    }
    return settings;
}

QByteArray WriteNotifySettings(const QByteArray& original, const NotifySettings& settings) {
    bool hadBom = false;
    const QString text = NormalizedText(original, &hadBom);
    const QString lineBreak = text.contains(u"\r\n"_s) ? u"\r\n"_s : u"\n"_s;
    const QStringList ours{u"tray="_s + (settings.tray ? u"on"_s : u"off"_s),
                           u"sound="_s + (settings.sound ? u"on"_s : u"off"_s)};
    QStringList lines;
    bool inNotify = false;
    bool written = false;
    for (const QString& rawLine : text.split(lineBreak)) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inNotify = line.mid(1, line.indexOf(u']') - 1).trimmed().compare(u"notify"_s, Qt::CaseInsensitive) == 0;
            lines.append(rawLine);
            if (inNotify && !written) {
                lines += ours;
                written = true;
            }
            continue;
        }
        const QString key = line.section(u'=', 0, 0).trimmed().toLower();
        if (inNotify && (key == u"tray" || key == u"sound"))
            continue;
        lines.append(rawLine);
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (!written) {
        if (!lines.isEmpty())
            lines.append(QString());
        lines << u"[notify]"_s << ours;
    }
    return ((hadBom ? QString(QChar(0xfeff)) : QString()) + lines.join(lineBreak) + lineBreak).toUtf8();
}

} // namespace tarvo
