#pragma once
// Fitting text into items: paragraphs, word wrap and cutting at a width (internal).
#include "reportlayout.h"

#include <QStringList>

// The paragraphs of a text (CR LF, LF or CR separated).
QStringList reportParagraphs(const QString &text);

// Breaks a text into lines no wider than `width` mm, at blanks where possible; a word
// longer than a line is cut between characters.
QStringList wrapReportText(const ReportFonts &fonts, int font, const QString &text,
                           double width);

// The longest start of `text` no wider than `width` mm.
QString cutReportText(const ReportFonts &fonts, int font, const QString &text, double width);
