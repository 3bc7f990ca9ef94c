#pragma once

#include "tarvo/drawd/DrawSchedule.h"
#include "tarvo/drawd/SourceLottery.h"

#include <QByteArray>
#include <QDate>
#include <QList>

namespace tarvo {

// The latest-draw feed document of a lottery, draws given newest first, written the way the program
// writes a parsed document back (declaration, no indentation, double quotes):
// <?xml version="1.0" encoding="UTF-8"?><openlist lottery="cq11x5"><row issueno="26030544"
// numbers="03,07,01,11,05"/>...</openlist>
QByteArray FeedDocument(const SourceLottery& lottery, const QList<SourceDraw>& newestFirst);

// The daily history page of a lottery, draws given newest first as the sites list them: each draw
// as a line holding only its period (YYMMDDNN, or 20YYMMDDNN where the lottery has long period
// lines) and a line of five <span class="ball_r">NN</span>, each number eight characters after
// "ball".
QByteArray HistoryPage(const SourceLottery& lottery, const QDate& date, const QList<SourceDraw>& newestFirst);

// A JSON draw list as public draw services answer, draws given newest first, written compact:
// {"data":[{"expect":"2026120901","opencode":"01,02,03,04,05","opentime":"2026-12-09 08:40:00"},...]}
// with each draw's time on the schedule of `intervalMinutes` (see DrawTimeOf); a draw whose period
// names no real day has no "opentime".
QByteArray DrawListJson(const QList<SourceDraw>& newestFirst, int intervalMinutes);

// Deterministic noise that is neither XML nor a page holding any draw.
QByteArray GarbageBody();

// The size of the body a "noise-megabytes" rule answers with.
inline constexpr qsizetype NoiseBodyBytes = 4 * 1024 * 1024;

// GarbageBody repeated to NoiseBodyBytes: a source gone wrong that sends far more than any page.
QByteArray NoiseBody();

} // namespace tarvo
