#include "dialogs.h"

#include <QtGlobal>

namespace {
Dialogs *installed = nullptr;
}

Dialogs &Dialogs::instance()
{
    // Asking a person something before anyone said how is a programming error, not a
    // condition to recover from.
    if (!installed)
        qFatal("Dialogs::instance() called before Dialogs::install()");
    return *installed;
}

void Dialogs::install(Dialogs *dialogs)
{
    installed = dialogs;
}
