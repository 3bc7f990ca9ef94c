#pragma once

#include "tarvo/store/DrawRow.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

namespace tarvo {

// A draw read from a line of draw text; lines count from 1.
struct TextDraw {
    int line = 0;
    DrawRow row;
};

// A line that names a period but could not be read as a draw.
struct RefusedLine {
    int line = 0;   // from 1
    QString text;   // the line as it stands in the file
    QString reason; // why, in Chinese for the player
};

// What a file or a pasted text of draws gave.
struct DrawTextRead {
    QList<TextDraw> draws;      // readable draws in file order, each period once
    QList<RefusedLine> refused; // in line order
    QString encoding;           // "UTF-8" or "GB18030"
};

// Reads the draws players bring as CSV or TXT files or as pasted text (from a lottery's web page, a
// spreadsheet, a friend's file). Lines end at \n, \r\n or \r.
//
// A line's period is its first run of eight (yymmddNN) or ten (yyyymmddNN) digits, or of six or
// eight digits followed by '-' and the two-digit draw number ("261208-01", "20261208-01"); shorter
// and longer digit runs before it (a row index, a date, a time) are passed over. Its five numbers
// are the next five whole numbers, each 1..11 in one or two digits, or all five written together as
// ten digits ("0102030405"). Any text may stand between the period and the first number (期, ：,
// 开奖号码, a date or a time written with '-', '/' or ':'); between the numbers only separators:
// blanks, tabs, the no-break space, the ideographic space, ',', '，', '、', ';', '+', '|' and
// quotation marks (so quoted CSV fields read). Whatever follows the fifth number is ignored.
//
// Lines without a period (headers, blank lines) are passed over silently. A line with a period
// that does not make a draw is refused with one reason: 日期不存在 (no such calendar day, or draw
// number 00), 早于2000年, 晚于今天 (a day after today + 1: one day of slack for time zones),
// 没有号码 / 只有一个号码 … 只有四个号码, "12 不在 01–11" (the number as written), 号码重复.
// A period on several lines with the same numbers is kept once, from its first line. A period on
// several lines with different numbers is in doubt: every line of it is refused with
// 同一期在文件中出现两次且号码不同, since nothing tells which is right. `today` is the player's date.
DrawTextRead ReadDrawText(const QByteArray& bytes, const QDate& today);

// The text of a draw file: bytes that are valid UTF-8 (with or without a byte order mark, which is
// dropped) read as UTF-8; any other bytes as GB18030, which holds GBK, as Chinese Windows programs
// and spreadsheets save text. `encoding`, when given, is set to "UTF-8" or "GB18030".
QString DecodeDrawFile(const QByteArray& bytes, QString* encoding = nullptr);

} // namespace tarvo
