#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/plan/PlanChoices.h"
#include "tarvo/plan/PlanResult.h"
#include "tarvo/plan/PlayType.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace tarvo {

// A command line the tool cannot act on; the message names what is wrong (exit status 2).
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
};

// "--name value" options, "--name" switches and the remaining plain arguments of one command.
struct ParsedArguments {
    QHash<QString, QString> options;
    QSet<QString> switches; // the switches given
    QStringList positional;

    // The value of a required option; throws UsageError when it is missing.
    QString required(const QString& name) const;
    bool has(const QString& switchName) const { return switches.contains(switchName); }
};

// Splits a command's arguments: options of `known` take the next argument as their value, switches of
// `knownSwitches` take none. Any other "--name", or an option without a value, throws UsageError.
ParsedArguments ParseArguments(const QStringList& arguments, const QSet<QString>& known,
                               const QSet<QString>& knownSwitches = {});

// A lottery's name as the tool accepts it; throws UsageError for any other name.
QString RequireLottery(const QString& name);

// A decimal integer, or none when the text is not one.
std::optional<int> WholeNumber(const QString& text);

// A decimal integer option; throws UsageError naming the option when its text is not one.
int WholeNumberOption(const ParsedArguments& parsed, const QString& name);

// The plan a command replays: --type T (0..7 or 前一 … 任五), --item I (position or text of the code-count
// entry), --periods N (default: the count proposed for the entry), --seed S (0 … 86399999).
struct ReplayChoices {
    PlanChoices plan;
    std::uint32_t seed;
};
ReplayChoices ParseReplayChoices(const ParsedArguments& parsed);

// The option names ParseReplayChoices reads, plus `others`.
QSet<QString> ReplayChoiceOptions(const QSet<QString>& others);

// Every draw of a lottery in a database file, oldest first. Throws StoreError when the file is missing or
// cannot be read.
DrawHistory ReadStoredDraws(const QString& database, const QString& lottery);

// A plan replayed over a lottery's stored draws, as `report` and `stats` take it from their command line:
// --db FILE --lottery NAME and the plan choices above. Throws UsageError or StoreError.
struct ReplayedPlan {
    ReplayChoices choices;
    PlanResult result;
};
ReplayedPlan ReplayStoredPlan(const QStringList& arguments);

} // namespace tarvo
