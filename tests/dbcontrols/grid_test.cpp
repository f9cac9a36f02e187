// The grid over a dataset (model checked with QAbstractItemModelTester) and the navigator.
#include "fixture.h"

#include "dbgrid.h"
#include "dbnavigator.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <sqlite3.h>

using Kind = ScriptedDialogs::Kind;

namespace {

// Fills autori.db of the current folder with `rows` names, straight through SQLite.
void fillAuthors(int rows)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open("autori.db", &db), SQLITE_OK);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO autori (Nome) VALUES (?)", -1, &st, nullptr);
    for (int i = 0; i < rows; ++i) {
        const QByteArray name = QStringLiteral("Autore %1").arg(i, 6, 10, QLatin1Char('0')).toUtf8();
        sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

QModelIndex cell(const DBGrid &grid, int row, const QString &field)
{
    const DataSetModel *m = const_cast<DBGrid &>(grid).dataModel();
    for (int c = 0; c < m->columnCount(); ++c)
        if (m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == field)
            return m->index(row, c);
    return {};
}

} // namespace

TEST_F(CatalogueTest, GridShowsEveryFieldTitledByNameOrTheChosenOnes)
{
    DBGrid grid;
    QAbstractItemModelTester tester(grid.dataModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    grid.setDataSource(&dsTracks);
    DataSetModel *m = grid.dataModel();
    ASSERT_EQ(m->columnCount(), tracks.fieldCount());
    for (int c = 0; c < m->columnCount(); ++c)
        EXPECT_EQ(m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                  tracks.field(c)->fieldName());

    grid.setColumns({QStringLiteral("Nome"), QStringLiteral("Tempo"), QStringLiteral("Versione"),
                     QStringLiteral("Note")});
    ASSERT_EQ(m->columnCount(), 4);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Tempo"));
    EXPECT_EQ(m->rowCount(), tracks.recordCount());
    EXPECT_EQ(m->index(2, 0).data().toString(), at(tracks, 2, QStringLiteral("Nome")));
    // Every title fits its column and starts at its left edge, so a column running past the
    // grid's edge still shows its title.
    const QFontMetrics header = grid.horizontalHeader()->fontMetrics();
    for (int c = 0; c < m->columnCount(); ++c) {
        const QString title = m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        EXPECT_GT(grid.columnWidth(c), header.horizontalAdvance(title)) << title.toStdString();
    }
    EXPECT_TRUE(grid.horizontalHeader()->defaultAlignment() & Qt::AlignLeft);
}

TEST_F(CatalogueTest, GridAndDatasetFollowEachOther)
{
    DBGrid grid;
    grid.resize(500, 300);
    grid.setDataSource(&dsCd);
    grid.setReadOnly(true);
    showActive(grid);
    EXPECT_EQ(grid.currentIndex().row(), 0);

    cds.setRecNo(5);
    EXPECT_EQ(grid.currentIndex().row(), 5) << "the grid follows the dataset";

    const QModelIndex target = grid.dataModel()->index(2, 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(target).center());
    EXPECT_EQ(cds.recNo(), 2) << "the dataset follows the grid";
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(cds.recNo(), 3);
    cds.last();
    EXPECT_EQ(grid.currentIndex().row(), cds.recordCount() - 1);
}

TEST_F(CatalogueTest, ReadOnlyGridRefusesTyping)
{
    DBGrid grid;
    grid.setDataSource(&dsCd);
    grid.setReadOnly(true);
    showActive(grid);
    const QModelIndex title = cell(grid, 0, QStringLiteral("Titolo"));
    EXPECT_FALSE(grid.dataModel()->flags(title) & Qt::ItemIsEditable);
    grid.setCurrentIndex(title);
    QTest::keyClicks(&grid, QStringLiteral("abc"));
    EXPECT_EQ(cds.state(), DataSetState::Browse);
}

TEST_F(CatalogueTest, GridEditsInPlaceAndPostsWhenMovingOn)
{
    DBGrid grid;
    grid.resize(600, 300);
    grid.setDataSource(&dsTracks);
    grid.setColumns({QStringLiteral("Nome"), QStringLiteral("Tempo")});
    showActive(grid);
    QAbstractItemModelTester tester(grid.dataModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QModelIndex name = cell(grid, 1, QStringLiteral("Nome"));
    ASSERT_TRUE(grid.dataModel()->flags(name) & Qt::ItemIsEditable);
    grid.setCurrentIndex(name);
    EXPECT_EQ(tracks.recNo(), 1);
    QTest::keyClick(&grid, Qt::Key_F2);
    auto *editor = grid.viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr) << "F2 opens an editor";
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Nuova canzone"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits on its next turn
    EXPECT_EQ(tracks.state(), DataSetState::Edit);
    EXPECT_EQ(name.data().toString(), QStringLiteral("Nuova canzone")) << "the pending change shows";

    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(tracks.state(), DataSetState::Browse) << "moving on posts";
    EXPECT_EQ(at(tracks, 1, QStringLiteral("Nome")), QStringLiteral("Nuova canzone"));
}

// A speed button takes no focus, so a cell being typed stays open when one is clicked: the
// window commits it first.
TEST_F(CatalogueTest, CommitEditHandsAnOpenCellToTheDataset)
{
    DBGrid grid;
    grid.resize(600, 300);
    grid.setDataSource(&dsTracks);
    grid.setColumns({QStringLiteral("Nome")});
    showActive(grid);
    grid.commitEdit(); // no cell open: nothing happens
    EXPECT_EQ(tracks.state(), DataSetState::Browse);

    const QModelIndex name = cell(grid, 2, QStringLiteral("Nome"));
    grid.setCurrentIndex(name);
    QTest::keyClick(&grid, Qt::Key_F2);
    auto *editor = grid.viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Scritta ma non lasciata"));
    EXPECT_NE(tracks.fieldByName(QStringLiteral("Nome"))->asString(),
              QStringLiteral("Scritta ma non lasciata"));
    grid.commitEdit();
    EXPECT_EQ(tracks.state(), DataSetState::Edit);
    EXPECT_EQ(tracks.fieldByName(QStringLiteral("Nome"))->asString(),
              QStringLiteral("Scritta ma non lasciata"));
    EXPECT_EQ(grid.indexWidget(name), nullptr) << "the editor is closed";
    tracks.post();
    EXPECT_EQ(at(tracks, 2, QStringLiteral("Nome")), QStringLiteral("Scritta ma non lasciata"));
}

TEST_F(CatalogueTest, PendingNewRecordShowsAsALastRow)
{
    DBGrid grid;
    QAbstractItemModelTester tester(grid.dataModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    grid.setDataSource(&dsAuthors);
    const int rows = authors.recordCount();
    authors.append();
    EXPECT_EQ(grid.dataModel()->rowCount(), rows + 1);
    EXPECT_EQ(grid.currentIndex().row(), rows);
    authors.fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Nuovo"));
    EXPECT_EQ(grid.dataModel()->index(rows, 0).data().toString(), QStringLiteral("Nuovo"));
    authors.cancel();
    EXPECT_EQ(grid.dataModel()->rowCount(), rows);
}

TEST_F(CatalogueTest, GridFetchesRowsAsTheyAreShownOnAHundredThousandRows)
{
    authors.close();
    fillAuthors(100000);
    authors.open();
    const int total = authors.recordCount();
    ASSERT_GT(total, 100000);

    {
        DataSetModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
        m.setDataSource(&dsAuthors);
        EXPECT_LT(m.rowCount(), 1000) << "only the first rows are fetched";
        ASSERT_TRUE(m.canFetchMore({}));
        const int first = m.rowCount();
        m.fetchMore({});
        QApplication::processEvents();
        EXPECT_EQ(m.rowCount(), first + DataSetModel::FetchChunk);
        authors.last();
        EXPECT_EQ(m.rowCount(), total);
        EXPECT_FALSE(m.canFetchMore({}));
        EXPECT_EQ(m.index(total - 1, 0).data().toString(), QStringLiteral("Autore 099999"));
        authors.first();
    }
    DBGrid grid;
    grid.resize(400, 300);
    grid.setDataSource(&dsAuthors);
    grid.setReadOnly(true);
    showActive(grid);
    const int shown = grid.dataModel()->rowCount();
    EXPECT_LT(shown, 1000);
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QApplication::processEvents();
    EXPECT_GT(grid.dataModel()->rowCount(), shown) << "scrolling down fetches more";
    authors.last();
    EXPECT_EQ(grid.currentIndex().row(), total - 1);
    EXPECT_EQ(grid.currentIndex().data().toString(), QStringLiteral("Autore 099999"));
}

TEST_F(CatalogueTest, NavigatorShowsTheChosenButtonsWithTheirHints)
{
    DBNavigator nav;
    nav.setVisibleButtons({QStringLiteral("first"), QStringLiteral("prior"), QStringLiteral("next"),
                           QStringLiteral("last")});
    nav.setHints({QStringLiteral("Primo Cd"), QStringLiteral("Prec. Cd"), QStringLiteral("Pross. Cd"),
                  QStringLiteral("Ultimo Cd")});
    nav.setDataSource(&dsCd);
    EXPECT_FALSE(nav.button(DBNavigator::First)->isHidden());
    EXPECT_TRUE(nav.button(DBNavigator::Insert)->isHidden());
    EXPECT_TRUE(nav.button(DBNavigator::Refresh)->isHidden());
    EXPECT_EQ(nav.button(DBNavigator::Prior)->toolTip(), QStringLiteral("Prec. Cd"));
    EXPECT_EQ(nav.button(DBNavigator::Last)->toolTip(), QStringLiteral("Ultimo Cd"));
    EXPECT_FALSE(nav.button(DBNavigator::Prior)->isEnabled()) << "already on the first CD";

    QList<DBNavigator::Button> clicks;
    QObject::connect(&nav, &DBNavigator::clicked, [&](DBNavigator::Button b) {
        clicks.append(b);
        EXPECT_EQ(cds.recNo(), b == DBNavigator::Next ? 1 : cds.recordCount() - 1)
            << "the click event comes after the move";
    });
    QTest::mouseClick(nav.button(DBNavigator::Next), Qt::LeftButton);
    QTest::mouseClick(nav.button(DBNavigator::Last), Qt::LeftButton);
    EXPECT_EQ(clicks, (QList<DBNavigator::Button>{DBNavigator::Next, DBNavigator::Last}));
    EXPECT_FALSE(nav.button(DBNavigator::Next)->isEnabled());
}

TEST_F(CatalogueTest, NavigatorDeletesOnlyAfterConfirmation)
{
    DBNavigator nav;
    nav.setDataSource(&dsTracks);
    const int rows = tracks.recordCount();
    QList<DBNavigator::Button> clicks;
    QObject::connect(&nav, &DBNavigator::clicked, [&](DBNavigator::Button b) { clicks.append(b); });

    dialogs.expectConfirm(false);
    QTest::mouseClick(nav.button(DBNavigator::Delete), Qt::LeftButton);
    EXPECT_EQ(tracks.recordCount(), rows);
    dialogs.expectConfirm(true);
    QTest::mouseClick(nav.button(DBNavigator::Delete), Qt::LeftButton);
    EXPECT_EQ(tracks.recordCount(), rows - 1);
    EXPECT_EQ(dialogs.texts(Kind::Confirm),
              QStringList(2, QStringLiteral("Eliminare il record?")));
    EXPECT_EQ(clicks.size(), 2);
}

TEST_F(CatalogueTest, NavigatorInsertsEditsPostsAndCancels)
{
    DBNavigator nav;
    nav.setDataSource(&dsTracks);
    QList<DBNavigator::Button> clicks;
    QObject::connect(&nav, &DBNavigator::clicked, [&](DBNavigator::Button b) {
        clicks.append(b);
        if (b == DBNavigator::Insert) // what the CD form does with a new track
            tracks.fieldByName(QStringLiteral("Codice"))->setAsString(QStringLiteral("X001"));
    });
    const int rows = tracks.recordCount();
    EXPECT_FALSE(nav.button(DBNavigator::Post)->isEnabled());
    nav.press(DBNavigator::Insert);
    EXPECT_EQ(tracks.state(), DataSetState::Insert);
    EXPECT_TRUE(nav.button(DBNavigator::Post)->isEnabled());
    EXPECT_FALSE(nav.button(DBNavigator::Edit)->isEnabled());
    nav.press(DBNavigator::Post);
    EXPECT_EQ(tracks.recordCount(), rows + 1);
    nav.press(DBNavigator::Edit);
    EXPECT_EQ(tracks.state(), DataSetState::Edit);
    nav.press(DBNavigator::Cancel);
    EXPECT_EQ(tracks.state(), DataSetState::Browse);
    EXPECT_EQ(clicks, (QList<DBNavigator::Button>{DBNavigator::Insert, DBNavigator::Post,
                                                  DBNavigator::Edit, DBNavigator::Cancel}));
}

TEST_F(CatalogueTest, FailedNavigatorActionShowsTheErrorAndNoClick)
{
    DBNavigator nav;
    nav.setDataSource(&dsCd);
    int clicks = 0;
    QObject::connect(&nav, &DBNavigator::clicked, [&] { ++clicks; });
    nav.press(DBNavigator::Insert);
    ASSERT_EQ(clicks, 1);
    // A CD without Codice cannot be stored.
    cds.fieldByName(QStringLiteral("Titolo"))->setAsString(QStringLiteral("Senza codice"));
    dialogs.expectError();
    nav.press(DBNavigator::Post);
    EXPECT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(cds.state(), DataSetState::Insert) << "the failed post stays pending";
}
