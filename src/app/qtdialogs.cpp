#include "qtdialogs.h"

#include "errorbox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTranslator>
#include <QUrl>

#if __has_include("reportpreview.h")
#include "reportpreview.h"
#define SONARO_HAS_REPORT_PREVIEW 1
#endif
#if __has_include("dbchart.h")
#include "dbchart.h"
#define SONARO_HAS_CHART 1
#endif

namespace {

QWidget *owner()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// A message box whose buttons speak Italian whatever Qt's translations say.
int ask(QMessageBox::Icon icon, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preferred)
{
    QMessageBox box(icon, title, text, buttons, owner());
    box.setDefaultButton(preferred);
    const std::pair<QMessageBox::StandardButton, const char *> captions[] = {
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, "Annulla"},
        {QMessageBox::Yes, "S\u00EC"},
        {QMessageBox::No, "No"}};
    for (const auto &[which, caption] : captions)
        if (QAbstractButton *b = box.button(which))
            b->setText(QString::fromUtf8(caption));
    return box.exec();
}

QString title()
{
    return QGuiApplication::applicationDisplayName();
}

QString runFileDialog(const FileDialogSpec &opts, QFileDialog::AcceptMode mode,
                      const QString &filter)
{
    QFileDialog dialog(owner(), opts.title, opts.initialDir, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(opts.defaultExtension);
    if (mode == QFileDialog::AcceptSave && !opts.askBeforeReplace)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setLabelText(QFileDialog::Accept, mode == QFileDialog::AcceptOpen
                                                 ? QStringLiteral("Apri")
                                                 : QStringLiteral("Salva"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Annulla"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return withDefaultExtension(dialog.selectedFiles().constFirst(), opts.defaultExtension);
}

} // namespace

QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    if (parts.size() % 2 == 1 && !parts.constLast().isEmpty())
        out.append(parts.constLast()); // a lone description: Qt reads its patterns itself
    return out.join(QStringLiteral(";;"));
}

QString withDefaultExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + extension;
}

QString pictureFilter()
{
    QStringList patterns;
    QStringList each;
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format);
        patterns.append(pattern);
        each.append(QStringLiteral("%1 (%2)").arg(QString::fromLatin1(format).toUpper(), pattern));
    }
    each.prepend(QStringLiteral("Tutte le immagini (%1)").arg(patterns.join(QLatin1Char(' '))));
    return each.join(QStringLiteral(";;"));
}

void QtDialogs::message(const QString &text)
{
    ask(QMessageBox::NoIcon, title(), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::information(const QString &text)
{
    return ask(QMessageBox::Information, QStringLiteral("Informazione"), text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
           == QMessageBox::Ok;
}

bool QtDialogs::confirm(const QString &text)
{
    return ask(QMessageBox::Question, QStringLiteral("Conferma"), text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

void QtDialogs::error(const QString &text)
{
    ask(QMessageBox::Critical, title(), text, QMessageBox::Ok, QMessageBox::Ok);
}

QString QtDialogs::openFile(const FileDialogSpec &opts)
{
    return runFileDialog(opts, QFileDialog::AcceptOpen, qtFileFilter(opts.filter));
}

QString QtDialogs::saveFile(const FileDialogSpec &opts)
{
    return runFileDialog(opts, QFileDialog::AcceptSave, qtFileFilter(opts.filter));
}

QString QtDialogs::openPicture(const FileDialogSpec &opts)
{
    QFileDialog dialog(owner(), opts.title, opts.initialDir,
                       opts.filter.isEmpty() ? pictureFilter() : qtFileFilter(opts.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // the preview needs Qt's own dialog
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(opts.defaultExtension);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Apri"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Annulla"));
    auto *preview = new QLabel(&dialog);
    preview->setFixedSize(180, 180);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *size = new QLabel(&dialog);
    size->setAlignment(Qt::AlignCenter);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount() - 1, 1);
        grid->addWidget(size, grid->rowCount() - 1, grid->columnCount() - 1);
    }
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [=](const QString &path) {
        QImageReader reader(path);
        const QSize full = reader.size();
        if (full.isValid() && full.width() > 0)
            reader.setScaledSize(full.scaled(preview->size() - QSize(4, 4), Qt::KeepAspectRatio));
        const QImage image = QFileInfo(path).isFile() ? reader.read() : QImage();
        preview->setPixmap(QPixmap::fromImage(image));
        size->setText(image.isNull() ? QString()
                                     : QStringLiteral("%1 x %2").arg(full.width()).arg(full.height()));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return withDefaultExtension(dialog.selectedFiles().constFirst(), opts.defaultExtension);
}

void QtDialogs::previewReport([[maybe_unused]] Report &report)
{
#ifdef SONARO_HAS_REPORT_PREVIEW
    ReportPreview preview(report, owner());
    preview.exec();
#else
    throw RuntimeError(QStringLiteral("Anteprima di stampa non disponibile"));
#endif
}

void QtDialogs::printChart([[maybe_unused]] DBChart &chart)
{
#ifdef SONARO_HAS_CHART
    if (QPrinterInfo::defaultPrinter().isNull())
        throw RuntimeError(QStringLiteral("Nessuna stampante predefinita installata"));
    QPrinter printer(QPrinter::HighResolution);
    const QPageLayout::Orientation before = printer.pageLayout().orientation();
    printer.setPageOrientation(QPageLayout::Landscape);
    {
        QPainter painter;
        if (!painter.begin(&printer))
            throw RuntimeError(QStringLiteral("Impossibile stampare sulla stampante predefinita"));
        chart.paintChart(painter, QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()));
    }
    printer.setPageOrientation(before);
#else
    throw RuntimeError(QStringLiteral("Stampa del grafico non disponibile"));
#endif
}

int QtDialogs::openWithDesktop(const QString &target)
{
    // The shell's answers: above 32 handed over, 2 file not found, 31 nothing to open it.
    const bool address = target.contains(QStringLiteral("://"))
                         || target.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
    if (!address && !QFileInfo::exists(target))
        return 2;
    const QUrl url = address ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url) ? 42 : 31;
}

int QtDialogs::execModal(QDialog &window)
{
    return window.exec();
}

bool installaTraduzioniQt()
{
    static QTranslator traduzione;
    if (!traduzione.isEmpty())
        return true;
    if (!traduzione.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&traduzione);
}
