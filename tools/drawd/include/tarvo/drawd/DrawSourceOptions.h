#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace tarvo {

// How a request the source is told to fail is answered.
enum class FailMode {
    Refused,        // without a substring: nothing listens; with one: the connection closes mid-answer
    NotFound,       // status 404
    Hang,           // no answer until the source stops
    MalformedXml,   // the answer cut short, so a feed document is not well-formed
    GarbagePage,    // noise that is neither XML nor a page with draws
    NoiseMegabytes, // status 200 with several megabytes of that noise (NoiseBodyBytes)
    StatusNot2xx,   // the document asked for, but under status 300 and without a place to go
    Trickle,        // status 200 and a body that never ends: a byte every quarter second until the source stops
    Redirect,       // status 302 to the same path and query with "hop=N" (N the redirects so far), or elsewhere
};

// Requests whose path and query contain `substring` (every request when it is empty) fail so.
struct FailRule {
    FailRule() = default;
    FailRule(FailMode failMode, QString matching, int redirectCount = 0, QString redirectTarget = {})
        : mode(failMode)
        , substring(std::move(matching))
        , redirects(redirectCount)
        , redirectTo(std::move(redirectTarget)) {}

    FailMode mode = FailMode::NotFound;
    QString substring;
    // Redirect: a request is sent on until it has been redirected `redirects` times, then served as
    // usual (0: sent on for ever, a source caught in a loop).
    int redirects = 0;
    // Redirect: the scheme, host and port the request is sent on to, once (with its path and query);
    // empty: this source.
    QString redirectTo;
};

// Reads "MODE[:SUBSTRING]", MODE one of refused, 404, hang, malformed-xml, garbage-page,
// noise-megabytes, 300, trickle, redirect (for ever), redirect=N (N times, then served) or
// redirect-to=PORT (once, to http://127.0.0.1:PORT).
std::optional<FailRule> ParseFailRule(const QString& text);

struct DrawSourceOptions {
    // The local source's own port, which the settings written for it and the scripts name too; 0: any
    // free port (see DrawSource::port()).
    quint16 port = 8511;
    int intervalMinutes = 20;     // minutes between two generated draws of a day
    QString csvFile;              // recorded draws to serve instead of generated ones
    int latencyMs = 0;            // delay before every answer
    QList<FailRule> failRules;    // the first rule whose substring matches applies
    std::optional<QDateTime> now; // a fixed clock (local time); the system clock otherwise
    // PEM files of a certificate and its key: the source answers over https (where the build has TLS).
    QString tlsCertificate;
    QString tlsKey;
};

} // namespace tarvo
