#pragma once
// The program's own files: the folder they lie in (beside the executable) and set.xxt, one
// line holding the path of the CD window's skin picture. The main menu reads set.xxt when
// it opens the CD window; the CD window writes it back when it closes.
#include <QString>

// The executable's folder, unless another one was set.
QString cartellaProgramma();
// Tests keep the program's files in a folder of their own; an empty text returns to the
// executable's.
void impostaCartellaProgramma(const QString &dir);

QString percorsoSetXxt();
// The first line of set.xxt without its line end; a second line is not ours to read.
// Throws RuntimeError when the file is missing or unreadable.
QString leggiSetXxt();
// Replaces set.xxt with one line, `fileSkin` and CR LF. Throws RuntimeError when it cannot.
void scriviSetXxt(const QString &fileSkin);
