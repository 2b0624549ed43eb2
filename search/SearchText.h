#pragma once

#include <QString>
#include <QStringView>

// The texts a search is made of: the column expression of the statement,
// the keyword test of the content filter and the body with its markup
// taken out. Positions count characters (UTF-16 code units of a QString,
// a surrogate pair being one character) from 0.

// The chosen column names joined by "+" in the order NTitle, NKey, NText;
// the empty text when none is chosen.
QString searchExpression(bool titleChosen, bool summaryChosen, bool bodyChosen);

// The position of the first hit of keyword in text at or after from, or -1.
// Only character starts are tried, and a hit never ends inside a surrogate
// pair. The letters A to Z count as equal to a to z; every other character
// must be equal. An empty keyword is found (at from) in any text that has a
// character at from, and nowhere in an empty text.
qsizetype findKeyword(QStringView text, QStringView keyword, qsizetype from = 0);

// The text with its markup taken out: everything from a "<" to the next ">"
// is removed, except that a code block ("<code>" up to the first "</code>",
// in any letter case) stays whole. A "<" without a ">" after it ends the
// stripping. Character references, blanks and line breaks are not touched.
QString stripTags(const QString& text);

// The same result without a copy where none is needed: returns text itself
// when nothing is removed, otherwise the stripped text, built in buffer
// (whose capacity is reused from one call to the next).
QStringView stripTags(QStringView text, QString& buffer);
