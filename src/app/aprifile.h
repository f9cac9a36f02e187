#pragma once
// Opening a file or an address with the desktop's default program.
#include <QString>

// Hands the file or address to the desktop with its default action and returns the
// desktop's status (greater than 32 when handed over), which no caller needs to look at.
// A relative file name is taken in `Dir`, or in the current directory when `Dir` is empty.
// Parameters and show command are accepted for the callers' sake; the desktop opens a
// document in its own window.
int ApriFile(const QString &FileName, const QString &Params, const QString &Dir, int ShowCmd);
