#pragma once
// Grid over a dataset: a table model with one column per field (titled with the field
// name) or per chosen field, and a view that follows the dataset's current record both
// ways. Rows are fetched as they are shown, so a table of 100,000 rows opens at once.
//
// Rows: the dataset's rows in its order; while a new record is pending (Insert) one more
// row stands for it where the engine puts it. The row of the current record shows its
// pending change.
#include "datalink.h"

#include <QAbstractTableModel>
#include <QTableView>

#include <vector>

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int FetchChunk = 256;

    explicit DataSetModel(QObject *parent = nullptr);

    void setDataSource(DataSource *source) { link_.setDataSource(source); }
    DataSource *dataSource() const { return link_.dataSource(); }
    DataSet *dataSet() const { return link_.dataSet(); }
    void setColumns(const QStringList &fieldNames); // empty: every field
    const QStringList &columns() const { return columns_; }
    void setEditable(bool on) { editable_ = on; }
    bool editable() const { return editable_; }

    Field *fieldOf(int column) const;
    int currentRow() const;          // model row of the current record, or -1
    int recordOfRow(int row) const;  // dataset row for a model row; -1 for the new one
    void fetchUpTo(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // The dataset's current record moved (or the rows were rebuilt).
    void currentRowChanged(int row);

private:
    void dataEvent(DataEvent event, Field *field);
    void rebuild();
    void rowChanged(int row);

    DataLink link_;
    QStringList columns_;
    std::vector<int> fieldIndexes_;
    int total_ = 0;       // rows of the dataset when last rebuilt
    int fetched_ = 0;     // dataset rows the model shows
    int newRow_ = -1;     // model row of a pending new record
    int lastCurrent_ = -1;
    bool editable_ = true;
    bool fetchPending_ = false;
};

class DBGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(QStringList columns READ columns WRITE setColumns)
    Q_PROPERTY(bool readOnly READ readOnly WRITE setReadOnly)
public:
    explicit DBGrid(QWidget *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return model_.dataSource(); }
    QStringList columns() const { return model_.columns(); }
    void setColumns(const QStringList &fieldNames) { model_.setColumns(fieldNames); }
    bool readOnly() const { return !model_.editable(); }
    void setReadOnly(bool on);
    DataSetModel *dataModel() { return &model_; }
    // Hands the text of a cell still open for typing to the dataset, as leaving the cell
    // does, and closes the cell editor; nothing when no cell is being typed. Buttons that
    // take no focus (speed buttons) call it before they act on the dataset.
    void commitEdit();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void followDataSet(int row);
    void followView(const QModelIndex &current);
    void fitColumns();

    DataSetModel model_;
    bool syncing_ = false;
};
