#pragma once
// The local SQL dialect: filters and Select statements, checked against a table's columns
// and turned into SQLite SQL in which every literal is a bound parameter.
//
//   select    := SELECT [DISTINCT] ( '*' | item {',' item} ) FROM table
//                [WHERE condition] [GROUP BY column {',' column}] [ORDER BY name {',' name}]
//   item      := ( column | SUM '(' column ')' | COUNT '(' '*' ')' ) [AS name]
//   condition := compare {AND compare}            (a filter is a condition alone)
//   compare   := operand ('=' | '<>' | '<' | '<=' | '>' | '>=') operand | column LIKE string
//   operand   := column | string | number       (at least one side of a compare is a column)
//
// A literal takes the type of the column it meets: numbers in quotes for numeric columns,
// 'mm/dd/yy' (or 'mm/dd/yyyy', 'yyyy-mm-dd') for dates. A blank text equals ''.
#include "schema.h"

#include <QString>
#include <QVariantList>

#include <memory>

struct BoundSql {
    QString sql;
    QVariantList params;
    bool isEmpty() const { return sql.isEmpty(); }
};

// A filter text as a WHERE fragment; an empty or blank text gives an empty fragment.
BoundSql compileFilter(const QString &text, const Columns &cols);

struct OutputColumn {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;
    int source = -1; // table column shown, or -1 for Sum/Count
};

struct ParsedSelect; // the syntax tree, before the table's columns are known

struct CompiledSelect {
    QString table;   // as the statement names it
    bool plain = false; // rows are the table's own rows (no distinct, grouping or sums)
    std::vector<OutputColumn> columns;
    BoundSql where;   // plain only: the condition, empty for none
    QString orderBy;  // plain only: "ORDER BY ..." over the table's columns (rowid last)
    BoundSql full;    // the whole statement for SQLite
};

class SelectStatement {
public:
    explicit SelectStatement(const QString &text); // syntax only; throws EngineError
    ~SelectStatement();
    SelectStatement(const SelectStatement &) = delete;
    SelectStatement &operator=(const SelectStatement &) = delete;
    const QString &tableName() const;
    CompiledSelect compile(const Columns &cols) const; // names checked; throws EngineError

private:
    std::unique_ptr<ParsedSelect> p_;
};
