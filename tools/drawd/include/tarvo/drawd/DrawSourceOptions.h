#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

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
};

// Requests whose path and query contain `substring` (every request when it is empty) fail so.
struct FailRule {
    FailMode mode = FailMode::NotFound;
    QString substring;
};

// Reads "MODE[:SUBSTRING]", MODE one of refused, 404, hang, malformed-xml, garbage-page,
// noise-megabytes, 300, trickle.
std::optional<FailRule> ParseFailRule(const QString& text);

struct DrawSourceOptions {
    quint16 port = 8511;          // 0: any free port (see DrawSource::port())
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
