#include "dbgrid.h"

#include "convert.h"
#include "dialogs.h"
#include "errorbox.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

bool inserting(const DataSet *ds)
{
    return ds && ds->state() == DataSetState::Insert;
}

bool editing(const DataSet *ds)
{
    return ds && (ds->state() == DataSetState::Edit || ds->state() == DataSetState::Insert);
}

} // namespace

DataSetModel::DataSetModel(QObject *parent)
    : QAbstractTableModel(parent), link_([this](DataEvent e, Field *f) { dataEvent(e, f); })
{
}

void DataSetModel::setColumns(const QStringList &fieldNames)
{
    columns_ = fieldNames;
    rebuild();
}

Field *DataSetModel::fieldOf(int column) const
{
    if (column < 0 || column >= int(fieldIndexes_.size()) || !link_.active())
        return nullptr;
    return dataSet()->field(fieldIndexes_[size_t(column)]);
}

int DataSetModel::currentRow() const
{
    const DataSet *ds = dataSet();
    if (!ds || !ds->active())
        return -1;
    if (newRow_ >= 0)
        return newRow_;
    const int rec = ds->recNo();
    return rec < fetched_ ? rec : -1;
}

int DataSetModel::recordOfRow(int row) const
{
    if (newRow_ < 0 || row < newRow_)
        return row;
    return row == newRow_ ? -1 : row - 1;
}

void DataSetModel::fetchUpTo(int row)
{
    const int wanted = std::min(total_, std::max(row + 1, 0));
    if (wanted <= fetched_)
        return;
    beginInsertRows({}, fetched_ + (newRow_ >= 0 ? 1 : 0),
                    wanted - 1 + (newRow_ >= 0 ? 1 : 0));
    fetched_ = wanted;
    endInsertRows();
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : fetched_ + (newRow_ >= 0 ? 1 : 0);
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(fieldIndexes_.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    const Field *f = fieldOf(index.column());
    if (!f || !index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole) {
        const bool number = f->dataType() == FieldType::Integer
                            || f->dataType() == FieldType::Float;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const DataSet *ds = dataSet();
    // The current record may carry a pending change: show the record buffer.
    if (index.row() == currentRow() && editing(ds))
        return role == Qt::EditRole ? f->asString() : f->displayText();
    const int rec = recordOfRow(index.row());
    if (rec < 0)
        return {};
    if (role == Qt::EditRole && index.row() == currentRow())
        return f->asString();
    return ds->displayTextAt(rec, f->index());
}

QVariant DataSetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return section == currentRow() ? QVariant(QStringLiteral("\u25B8")) : QVariant();
    const Field *f = fieldOf(section);
    if (f)
        return f->fieldName();
    return section < columns_.size() ? QVariant(columns_[section]) : QVariant();
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const Field *f = fieldOf(index.column());
    if (editable_ && f && !dataSet()->readOnly() && f->dataType() != FieldType::Picture
        && f->dataType() != FieldType::Memo)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    return runHandler([&] {
        DataSet *ds = dataSet();
        const int rec = recordOfRow(index.row());
        if (index.row() != currentRow() && rec >= 0)
            ds->setRecNo(rec); // posts a change pending on another row
        Field *f = fieldOf(index.column());
        if (!f)
            return;
        if (ds->state() == DataSetState::Browse)
            ds->edit();
        assignText(f, value.toString());
    });
}

bool DataSetModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && fetched_ < total_;
}

void DataSetModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || fetchPending_)
        return;
    // The rows come right after the caller's turn: views (and model checkers) ask for more
    // while they still handle another change of this model, and rows inserted inside that
    // notification would overlap it.
    fetchPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            fetchPending_ = false;
            fetchUpTo(fetched_ + FetchChunk - 1);
        },
        Qt::QueuedConnection);
}

void DataSetModel::rebuild()
{
    beginResetModel();
    fieldIndexes_.clear();
    total_ = fetched_ = 0;
    newRow_ = -1;
    if (DataSet *ds = link_.active() ? dataSet() : nullptr) {
        if (columns_.isEmpty()) {
            for (int i = 0; i < ds->fieldCount(); ++i)
                fieldIndexes_.push_back(i);
        } else {
            for (const QString &name : columns_)
                if (const Field *f = ds->findField(name))
                    fieldIndexes_.push_back(f->index());
        }
        total_ = ds->recordCount();
        const int rec = ds->recNo();
        if (inserting(ds)) {
            // The engine keeps rows in the table's order and puts a new one after them.
            newRow_ = total_;
            fetched_ = total_;
        } else {
            fetched_ = std::min(total_, std::max(FetchChunk, rec + 1));
        }
    }
    lastCurrent_ = -1;
    endResetModel();
    rowChanged(currentRow());
}

void DataSetModel::rowChanged(int row)
{
    if (lastCurrent_ >= 0 && lastCurrent_ < rowCount() && lastCurrent_ != row) {
        emit dataChanged(index(lastCurrent_, 0), index(lastCurrent_, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, lastCurrent_, lastCurrent_);
    }
    lastCurrent_ = row;
    if (row >= 0 && columnCount() > 0) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, row, row);
    }
    emit currentRowChanged(row);
}

void DataSetModel::dataEvent(DataEvent event, Field *)
{
    const DataSet *ds = dataSet();
    switch (event) {
    case DataEvent::Opened:
    case DataEvent::Closed:
    case DataEvent::DataChanged:
        rebuild();
        return;
    case DataEvent::StateChanged:
        if (inserting(ds) != (newRow_ >= 0)) {
            rebuild();
            return;
        }
        rowChanged(currentRow());
        return;
    case DataEvent::RecordChanged:
        if (ds && ds->active() && newRow_ < 0)
            fetchUpTo(ds->recNo());
        rowChanged(currentRow());
        return;
    case DataEvent::FieldChanged:
        rowChanged(currentRow());
        return;
    }
}

DBGrid::DBGrid(QWidget *parent) : QTableView(parent)
{
    setModel(&model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setAlternatingRowColors(false);
    setWordWrap(false);
    // Titles start where the values do, so a wide column's title shows even when the column
    // runs past the grid's right edge.
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(fontMetrics().height() + 4);
    model_.setEditable(true);
    connect(&model_, &DataSetModel::currentRowChanged, this, &DBGrid::followDataSet);
    connect(&model_, &QAbstractItemModel::modelReset, this, &DBGrid::fitColumns);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { followView(current); });
}

void DBGrid::setDataSource(DataSource *source)
{
    model_.setDataSource(source);
}

void DBGrid::setReadOnly(bool on)
{
    model_.setEditable(!on);
    setEditTriggers(on ? NoEditTriggers
                       : (DoubleClicked | EditKeyPressed | AnyKeyPressed | SelectedClicked));
    setSelectionBehavior(on ? SelectRows : SelectItems);
}

void DBGrid::commitEdit()
{
    QWidget *editor = indexWidget(currentIndex());
    if (!editor || state() != EditingState)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DBGrid::followDataSet(int row)
{
    if (syncing_)
        return;
    WriteGuard guard(syncing_);
    if (row < 0) {
        selectionModel()->clearCurrentIndex();
        return;
    }
    const int column = std::max(currentIndex().column(), 0);
    const QModelIndex target = model_.index(row, column);
    if (target != currentIndex()) {
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        scrollTo(target);
    }
}

void DBGrid::followView(const QModelIndex &current)
{
    if (syncing_ || !current.isValid() || current.row() == model_.currentRow())
        return;
    DataSet *ds = model_.dataSet();
    const int rec = model_.recordOfRow(current.row());
    if (!ds || rec < 0)
        return;
    WriteGuard guard(syncing_);
    if (!runHandler([&] { ds->setRecNo(rec); })) {
        // The move failed (a pending change that cannot be posted): stay on the record.
        const int back = model_.currentRow();
        if (back >= 0)
            selectionModel()->setCurrentIndex(model_.index(back, current.column()),
                                              QItemSelectionModel::ClearAndSelect);
    }
}

void DBGrid::fitColumns()
{
    const int charWidth = fontMetrics().averageCharWidth();
    for (int c = 0; c < model_.columnCount(); ++c) {
        const Field *f = model_.fieldOf(c);
        if (!f)
            continue;
        int chars = f->displayWidth() > 0 ? f->displayWidth() : f->size();
        if (f->dataType() != FieldType::Text)
            chars = 10;
        chars = std::clamp<int>(std::max<int>(chars, int(f->fieldName().size())), 4, 40);
        // The title's own font may be wider than the cells' (bold headers).
        const int title = horizontalHeader()->fontMetrics().horizontalAdvance(f->fieldName()) + 16;
        setColumnWidth(c, std::max(chars * charWidth + 12, title));
    }
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    DataSet *ds = model_.dataSet();
    const bool canModify = ds && ds->active() && !ds->readOnly() && model_.editable();
    if (canModify && state() != EditingState) {
        if (event->key() == Qt::Key_Insert) {
            runHandler([&] { ds->insert(); });
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
            runHandler([&] {
                if (Dialogs::instance().confirm(QStringLiteral("Eliminare il record?")))
                    ds->deleteRecord();
            });
            return;
        }
        if (event->key() == Qt::Key_Escape && editing(ds)) {
            runHandler([&] { ds->cancel(); });
            return;
        }
    }
    QTableView::keyPressEvent(event);
}
