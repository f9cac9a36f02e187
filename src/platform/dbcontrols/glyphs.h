#pragma once
// Small pictures drawn in code for the controls' own buttons.
#include <QIcon>

// The glyph of navigator button `button` (0 first ... 9 refresh).
QIcon navigatorGlyph(int button);
