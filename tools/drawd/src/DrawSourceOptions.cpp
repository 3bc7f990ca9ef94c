#include "tarvo/drawd/DrawSourceOptions.h"

using namespace Qt::StringLiterals;

namespace tarvo {

std::optional<FailRule> ParseFailRule(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    const QString mode = colon < 0 ? text : text.left(colon);
    FailRule rule;
    rule.substring = colon < 0 ? QString() : text.mid(colon + 1);
    if (mode == u"refused"_s)
        rule.mode = FailMode::Refused;
    else if (mode == u"404"_s)
        rule.mode = FailMode::NotFound;
    else if (mode == u"hang"_s)
        rule.mode = FailMode::Hang;
    else if (mode == u"malformed-xml"_s)
        rule.mode = FailMode::MalformedXml;
    else if (mode == u"garbage-page"_s)
        rule.mode = FailMode::GarbagePage;
    else if (mode == u"noise-megabytes"_s)
        rule.mode = FailMode::NoiseMegabytes;
    else if (mode == u"300"_s)
        rule.mode = FailMode::StatusNot2xx;
    else if (mode == u"trickle"_s)
        rule.mode = FailMode::Trickle;
    else
        return std::nullopt;
    return rule;
}

} // namespace tarvo
