#include "tarvo/drawd/DrawSourceOptions.h"

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// "redirect", "redirect=N" with N ≥ 1, or "redirect-to=PORT" with PORT 1..65535.
bool ReadRedirect(const QString& mode, FailRule& rule) {
    rule.mode = FailMode::Redirect;
    if (mode == u"redirect"_s)
        return true;
    bool ok = false;
    if (mode.startsWith(u"redirect="_s)) {
        rule.redirects = mode.mid(9).toInt(&ok);
        return ok && rule.redirects >= 1;
    }
    if (mode.startsWith(u"redirect-to="_s)) {
        const int port = mode.mid(12).toInt(&ok);
        rule.redirectTo = u"http://127.0.0.1:%1"_s.arg(port);
        return ok && port >= 1 && port <= 65535;
    }
    return false;
}

} // namespace

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
    else if (mode.startsWith(u"redirect"_s))
        return ReadRedirect(mode, rule) ? std::optional<FailRule>(rule) : std::nullopt;
    else
        return std::nullopt;
    return rule;
}

} // namespace tarvo
