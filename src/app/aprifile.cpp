#include "aprifile.h"

#include "dialogs.h"

#include <QDir>

int ApriFile(const QString &FileName, const QString &Params, const QString &Dir, int ShowCmd)
{
    Q_UNUSED(Params);
    Q_UNUSED(ShowCmd);
    QString target = FileName;
    const bool address = target.contains(QStringLiteral("://"))
                         || target.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
    // No length limit: a manual deep in the installation tree opens as well.
    if (!address && !target.isEmpty() && QDir::isRelativePath(target))
        target = QDir(Dir.isEmpty() ? QDir::currentPath() : Dir).absoluteFilePath(target);
    return Dialogs::instance().openWithDesktop(target);
}
