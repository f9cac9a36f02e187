#include "chart.h"

#include "dataset.h"

#include <QLocale>

std::vector<QColor> ChartLook::defaultPalette()
{
    return {QColor(255, 0, 0),     QColor(0, 128, 0),     QColor(255, 255, 0),
            QColor(0, 0, 255),     QColor(255, 255, 255), QColor(128, 128, 128),
            QColor(255, 0, 255),   QColor(0, 128, 128),   QColor(0, 0, 128),
            QColor(128, 0, 0),     QColor(0, 255, 0),     QColor(128, 128, 0),
            QColor(128, 0, 128),   QColor(192, 192, 192), QColor(0, 255, 255),
            QColor(0, 0, 0)};
}

BarChart::BarChart() = default;

ChartSeries &BarChart::addSeries(const QString &name, const QString &title)
{
    ChartSeries s;
    s.name = name;
    s.title = title;
    series_.push_back(s);
    return series_.back();
}

ChartSeries *BarChart::seriesByTitle(const QString &title)
{
    for (ChartSeries &s : series_)
        if (s.title == title || s.name == title)
            return &s;
    return nullptr;
}

void BarChart::setActive(const QString &title, bool active)
{
    if (ChartSeries *s = seriesByTitle(title)) {
        s->active = active;
        changed();
    }
}

const ChartSeries *BarChart::activeSeries() const
{
    for (const ChartSeries &s : series_)
        if (s.active)
            return &s;
    return nullptr;
}

void BarChart::clearTitle()
{
    look_.titleLines.clear();
    changed();
}

void BarChart::addTitleLine(const QString &line)
{
    look_.titleLines.append(line);
    changed();
}

void BarChart::setLeftAxisTitle(const QString &text)
{
    look_.leftAxisTitle = text;
    changed();
}

void BarChart::setBottomAxisTitle(const QString &text)
{
    look_.bottomAxisTitle = text;
    changed();
}

void BarChart::refresh() { changed(); }

void BarChart::changed() const
{
    if (listener_)
        listener_();
}

std::vector<BarChart::Point> BarChart::points() const
{
    std::vector<Point> out;
    const ChartSeries *s = activeSeries();
    if (!s || !s->dataSet || !s->dataSet->active())
        return out;
    const Field *value = s->dataSet->findField(s->valueColumn);
    if (!value)
        return out;
    const Field *label = s->dataSet->findField(s->labelColumn);
    const int rows = s->dataSet->recordCount();
    out.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        Point p;
        p.value = s->dataSet->valueAt(row, value->index()).toDouble(); // blank counts as 0
        if (label)
            p.label = s->dataSet->displayTextAt(row, label->index());
        out.push_back(p);
    }
    return out;
}

QString chartValueText(double value)
{
    QString text = QLocale().toString(value, 'f', 3);
    const QChar point = QLocale().decimalPoint().at(0);
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(1);
    }
    return text;
}
