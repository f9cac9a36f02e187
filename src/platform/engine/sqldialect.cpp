#include "sqldialect.h"

#include <algorithm>

#include "fieldvalue.h"
#include "sqlite.h"
#include "sqltokens.h"

#include <QLocale>

namespace {

struct Operand {
    TokenKind kind = TokenKind::Ident; // Ident (a column), String or Number
    QString text;
    int pos = 0;
};

struct Compare {
    Operand lhs, rhs;
    QString op; // "=", "<>", "<", "<=", ">", ">=", "LIKE"
    int pos = 0;
};

struct Item {
    enum Kind { Column, Sum, Count } kind = Column;
    QString column;
    QString name; // alias, or the item as written
    int pos = 0;
};

struct NameRef {
    QString name;
    int pos = 0;
};

[[noreturn]] void failAt(const QString &ctx, int pos, const QString &what)
{
    throw EngineError(QStringLiteral("%1 error at position %2: %3").arg(ctx).arg(pos).arg(what));
}

QString describe(const Token &t)
{
    switch (t.kind) {
    case TokenKind::End:
        return QStringLiteral("the statement ends too early");
    case TokenKind::String:
        return QStringLiteral("unexpected string '%1'").arg(t.text);
    default:
        return QStringLiteral("unexpected \"%1\"").arg(t.text);
    }
}

bool isReserved(const Token &t)
{
    static const char *words[] = {"select", "distinct", "from", "where", "and", "or", "not",
                                  "group", "order", "by", "as", "like", "sum", "count"};
    for (const char *w : words)
        if (t.kind == TokenKind::Ident && t.is(w))
            return true;
    return false;
}

class Parser {
public:
    Parser(const QString &text, QString ctx)
        : text_(text), ctx_(std::move(ctx)), toks_(tokenize(text, ctx_)) {}

    // The statement's own text from token `from` up to the last token taken.
    QString writtenSince(int fromPos) const
    {
        const int end = i_ > 0 ? toks_[i_ - 1].endPos : fromPos;
        return text_.mid(fromPos - 1, end - fromPos).simplified();
    }

    const Token &peek() const { return toks_[i_]; }
    const Token &take() { return toks_[i_ < toks_.size() - 1 ? i_++ : i_]; }
    bool accept(const char *s)
    {
        if (!peek().is(s))
            return false;
        ++i_;
        return true;
    }
    void expect(const char *s, const QString &what)
    {
        if (!accept(s))
            failAt(ctx_, peek().pos, QStringLiteral("%1 expected, %2").arg(what, describe(peek())));
    }
    NameRef name(const QString &what)
    {
        const Token &t = peek();
        if (t.kind != TokenKind::Ident || isReserved(t))
            failAt(ctx_, t.pos, QStringLiteral("%1 expected, %2").arg(what, describe(t)));
        ++i_;
        return {t.text, t.pos};
    }
    void expectEnd()
    {
        if (peek().kind != TokenKind::End)
            failAt(ctx_, peek().pos, describe(peek()));
    }

    std::vector<Compare> condition()
    {
        std::vector<Compare> out;
        do
            out.push_back(compare());
        while (accept("and"));
        return out;
    }

    const QString &context() const { return ctx_; }

private:
    Operand operand()
    {
        const Token &t = peek();
        if (t.kind == TokenKind::String || t.kind == TokenKind::Number
            || (t.kind == TokenKind::Ident && !isReserved(t))) {
            ++i_;
            return {t.kind, t.text, t.pos};
        }
        failAt(ctx_, t.pos, QStringLiteral("a field name or a value expected, %1").arg(describe(t)));
    }

    Compare compare()
    {
        Compare c;
        c.lhs = operand();
        const Token &t = peek();
        static const char *ops[] = {"=", "<>", "<", "<=", ">", ">=", "like"};
        for (const char *op : ops)
            if (t.is(op))
                c.op = QString::fromLatin1(op).toUpper();
        if (c.op.isEmpty())
            failAt(ctx_, t.pos, QStringLiteral("a comparison expected, %1").arg(describe(t)));
        c.pos = t.pos;
        ++i_;
        c.rhs = operand();
        if (c.lhs.kind != TokenKind::Ident && c.rhs.kind != TokenKind::Ident)
            failAt(ctx_, c.lhs.pos, QStringLiteral("a comparison must name a field"));
        if (c.op == QLatin1String("LIKE")
            && (c.lhs.kind != TokenKind::Ident || c.rhs.kind != TokenKind::String))
            failAt(ctx_, c.pos, QStringLiteral("Like needs a field on the left and a string on the right"));
        return c;
    }

    QString text_;
    QString ctx_;
    std::vector<Token> toks_;
    size_t i_ = 0;
};

const Column &resolve(const Columns &cols, const QString &ctx, const QString &name, int pos,
                      int *index = nullptr)
{
    const int i = findColumn(cols, name);
    if (i < 0)
        failAt(ctx, pos, QStringLiteral("field '%1' not found").arg(name));
    if (index)
        *index = i;
    return cols[size_t(i)];
}

// A literal as a value of the column's type; a blank literal gives an invalid QVariant.
QVariant literalFor(const Column &c, const Operand &lit, const QString &ctx)
{
    if (lit.text.isEmpty())
        return QVariant();
    switch (c.type) {
    case FieldType::Integer:
    case FieldType::Float: {
        bool ok = false;
        const double v = QLocale::c().toDouble(lit.text.trimmed(), &ok);
        if (!ok)
            failAt(ctx, lit.pos, QStringLiteral("'%1' is not a number (field %2)").arg(lit.text, c.name));
        return v;
    }
    case FieldType::Date: {
        if (lit.kind != TokenKind::String)
            failAt(ctx, lit.pos, QStringLiteral("a date literal 'mm/dd/yy' expected (field %1)").arg(c.name));
        const QDate d = parseSqlDate(lit.text);
        if (!d.isValid())
            failAt(ctx, lit.pos, QStringLiteral("'%1' is not a valid date (field %2)").arg(lit.text, c.name));
        return dateToStored(d);
    }
    case FieldType::Picture:
        failAt(ctx, lit.pos, QStringLiteral("field %1 cannot be compared").arg(c.name));
    default:
        return lit.text;
    }
}

QString flipped(const QString &op)
{
    if (op == QLatin1String("<")) return QStringLiteral(">");
    if (op == QLatin1String(">")) return QStringLiteral("<");
    if (op == QLatin1String("<=")) return QStringLiteral(">=");
    if (op == QLatin1String(">=")) return QStringLiteral("<=");
    return op;
}

// '%' and '_' of Like become GLOB's '*' and '?', so matching stays case-sensitive.
QString likeToGlob(const QString &pattern)
{
    QString g;
    for (const QChar ch : pattern) {
        if (ch == QLatin1Char('%')) g += QLatin1Char('*');
        else if (ch == QLatin1Char('_')) g += QLatin1Char('?');
        else if (ch == QLatin1Char('*') || ch == QLatin1Char('?') || ch == QLatin1Char('['))
            g += QLatin1Char('[') + ch + QLatin1Char(']');
        else g += ch;
    }
    return g;
}

QString compileCompare(Compare c, const Columns &cols, const QString &ctx, QVariantList &params)
{
    if (c.lhs.kind != TokenKind::Ident) {
        std::swap(c.lhs, c.rhs);
        c.op = flipped(c.op);
    }
    const Column &col = resolve(cols, ctx, c.lhs.text, c.lhs.pos);
    const QString name = sqlite::quoteIdent(col.name);
    const bool textual = col.type == FieldType::Text || col.type == FieldType::Memo;
    if (c.op == QLatin1String("LIKE")) {
        if (!textual)
            failAt(ctx, c.pos, QStringLiteral("Like needs a text field, %1 is not one").arg(col.name));
        params << likeToGlob(c.rhs.text);
        return QStringLiteral("IFNULL(%1,'') GLOB ?").arg(name);
    }
    const QString blankAware = textual ? QStringLiteral("IFNULL(%1,'')").arg(name) : name;
    if (c.rhs.kind == TokenKind::Ident) {
        const Column &other = resolve(cols, ctx, c.rhs.text, c.rhs.pos);
        const QString rhs = sqlite::quoteIdent(other.name);
        const bool otherText = other.type == FieldType::Text || other.type == FieldType::Memo;
        return QStringLiteral("%1 %2 %3").arg(blankAware, c.op,
                                              otherText ? QStringLiteral("IFNULL(%1,'')").arg(rhs) : rhs);
    }
    const QVariant v = literalFor(col, c.rhs, ctx);
    if (!v.isValid()) { // a blank literal: blank text equals ''; nothing else equals a blank
        if (c.op == QLatin1String("="))
            return QStringLiteral("(%1 IS NULL OR %1 = '')").arg(name);
        if (c.op == QLatin1String("<>"))
            return QStringLiteral("(%1 IS NOT NULL AND %1 <> '')").arg(name);
        if (!textual)
            return QStringLiteral("0");
        params << QString();
        return QStringLiteral("%1 %2 ?").arg(blankAware, c.op);
    }
    params << v;
    if (c.op == QLatin1String("=")) // a NULL never equals a non-blank value: keep the index usable
        return QStringLiteral("%1 = ?").arg(name);
    return QStringLiteral("%1 %2 ?").arg(blankAware, c.op);
}

BoundSql compileCondition(const std::vector<Compare> &cond, const Columns &cols, const QString &ctx)
{
    BoundSql out;
    QStringList parts;
    for (const Compare &c : cond)
        parts << compileCompare(c, cols, ctx, out.params);
    out.sql = parts.join(QStringLiteral(" AND "));
    return out;
}

} // namespace

BoundSql compileFilter(const QString &text, const Columns &cols)
{
    if (text.trimmed().isEmpty())
        return {};
    Parser p(text, QStringLiteral("Filter"));
    const std::vector<Compare> cond = p.condition();
    p.expectEnd();
    return compileCondition(cond, cols, p.context());
}

struct ParsedSelect {
    bool distinct = false;
    bool star = false;
    std::vector<Item> items;
    NameRef table;
    std::vector<Compare> where;
    std::vector<NameRef> groupBy, orderBy;
};

namespace {

Item parseItem(Parser &p)
{
    Item it;
    const Token start = p.peek();
    it.pos = start.pos;
    if ((start.is("sum") || start.is("count")) && p.take().pos && p.accept("(")) {
        if (start.is("count")) {
            it.kind = Item::Count;
            p.expect("*", QStringLiteral("\"*\""));
        } else {
            it.kind = Item::Sum;
            it.column = p.name(QStringLiteral("a field name")).name;
        }
        p.expect(")", QStringLiteral("\")\""));
        it.name = p.writtenSince(start.pos);
    } else {
        if (start.is("sum") || start.is("count"))
            failAt(p.context(), p.peek().pos, QStringLiteral("\"(\" expected, %1").arg(describe(p.peek())));
        it.column = p.name(QStringLiteral("a field name")).name;
        it.name = it.column;
    }
    if (p.accept("as"))
        it.name = p.name(QStringLiteral("a column name after As")).name;
    return it;
}

std::vector<NameRef> nameList(Parser &p)
{
    std::vector<NameRef> out;
    p.expect("by", QStringLiteral("By"));
    do
        out.push_back(p.name(QStringLiteral("a field name")));
    while (p.accept(","));
    return out;
}

QString blankAsNull(const Column &c)
{
    const QString n = sqlite::quoteIdent(c.name);
    return c.type == FieldType::Text ? QStringLiteral("NULLIF(%1,'')").arg(n) : n;
}

} // namespace

SelectStatement::SelectStatement(const QString &text) : p_(std::make_unique<ParsedSelect>())
{
    Parser p(text, QStringLiteral("SQL"));
    p.expect("select", QStringLiteral("Select"));
    p_->distinct = p.accept("distinct");
    if (p.accept("*")) {
        p_->star = true;
    } else {
        do
            p_->items.push_back(parseItem(p));
        while (p.accept(","));
    }
    p.expect("from", QStringLiteral("From"));
    p_->table = p.name(QStringLiteral("a table name"));
    if (p.accept("where"))
        p_->where = p.condition();
    if (p.accept("group"))
        p_->groupBy = nameList(p);
    if (p.accept("order"))
        p_->orderBy = nameList(p);
    p.expectEnd();
}

SelectStatement::~SelectStatement() = default;

const QString &SelectStatement::tableName() const
{
    return p_->table.name;
}

static void checkGrouped(const ParsedSelect &s, const Columns &cols, const QString &ctx)
{
    for (const Item &it : s.items) {
        if (it.kind != Item::Column)
            continue;
        const Column &c = resolve(cols, ctx, it.column, it.pos);
        bool grouped = false;
        for (const NameRef &g : s.groupBy)
            grouped = grouped || g.name.compare(c.name, Qt::CaseInsensitive) == 0;
        if (!grouped)
            failAt(ctx, it.pos, QStringLiteral("field %1 is neither grouped nor summed").arg(c.name));
    }
}

namespace {

const QString sqlContext = QStringLiteral("SQL");

// The result's columns; returns whether the statement groups or sums.
bool outputColumns(const ParsedSelect &s, const Columns &cols, CompiledSelect &out)
{
    bool aggregate = !s.groupBy.empty();
    for (int i = 0; s.star && i < int(cols.size()); ++i)
        out.columns.push_back({cols[size_t(i)].name, cols[size_t(i)].type, cols[size_t(i)].size, i});
    for (const Item &it : s.items) {
        OutputColumn oc;
        oc.name = it.name;
        if (it.kind == Item::Count) {
            oc.type = FieldType::Integer;
            aggregate = true;
        } else {
            const Column &c = resolve(cols, sqlContext, it.column, it.pos, &oc.source);
            oc.type = c.type;
            oc.size = c.size;
            if (it.kind == Item::Sum) {
                if (c.type != FieldType::Integer && c.type != FieldType::Float)
                    failAt(sqlContext, it.pos, QStringLiteral("Sum needs a numeric field, %1 is not one").arg(c.name));
                oc.source = -1;
                aggregate = true;
            }
        }
        out.columns.push_back(oc);
    }
    if (aggregate && s.star)
        failAt(sqlContext, s.table.pos, QStringLiteral("\"*\" cannot be grouped"));
    return aggregate;
}

// SQLite expressions of the result's columns, without their aliases.
QStringList columnExpressions(const ParsedSelect &s, const Columns &cols, const CompiledSelect &out)
{
    QStringList exprs;
    for (size_t i = 0; i < out.columns.size(); ++i) {
        const OutputColumn &oc = out.columns[i];
        if (oc.source >= 0)
            exprs << (out.plain ? sqlite::quoteIdent(cols[size_t(oc.source)].name) : blankAsNull(cols[size_t(oc.source)]));
        else if (s.items[i].kind == Item::Count)
            exprs << QStringLiteral("COUNT(*)");
        else
            exprs << QStringLiteral("SUM(%1)").arg(sqlite::quoteIdent(cols[size_t(findColumn(cols, s.items[i].column))].name));
    }
    return exprs;
}

// A blank text sorts as '' does, so rows equal in a column stay ordered by the next one.
QString sortKey(const Column &c)
{
    const QString n = sqlite::quoteIdent(c.name);
    return c.type == FieldType::Text && !c.required ? QStringLiteral("IFNULL(%1,'')").arg(n) : n;
}

// Order by names a result column (an alias too) or a column of the table.
QStringList orderTerms(const ParsedSelect &s, const Columns &cols, const CompiledSelect &out)
{
    QStringList order;
    for (const NameRef &o : s.orderBy) {
        int outIndex = -1;
        for (size_t i = 0; i < out.columns.size() && outIndex < 0; ++i)
            if (out.columns[i].name.compare(o.name, Qt::CaseInsensitive) == 0)
                outIndex = int(i);
        // Grouped and distinct results already hold blanks as NULL: sort by the column itself.
        if (outIndex >= 0 && (!out.plain || out.columns[size_t(outIndex)].source < 0))
            order << sqlite::quoteIdent(out.columns[size_t(outIndex)].name);
        else if (outIndex >= 0)
            order << sortKey(cols[size_t(out.columns[size_t(outIndex)].source)]);
        else
            order << sortKey(resolve(cols, sqlContext, o.name, o.pos));
    }
    // With a condition, scanning the rows and sorting the few found beats walking an index
    // in order and reading every row to test it; "+" keeps SQLite off the index for ordering.
    if (out.plain && !out.where.isEmpty())
        for (QString &term : order)
            term.prepend(QLatin1Char('+'));
    return order;
}

} // namespace

CompiledSelect SelectStatement::compile(const Columns &cols) const
{
    const ParsedSelect &s = *p_;
    CompiledSelect out;
    out.table = s.table.name;
    const bool aggregate = outputColumns(s, cols, out);
    if (aggregate)
        checkGrouped(s, cols, sqlContext);
    out.plain = !aggregate && !s.distinct;
    out.where = compileCondition(s.where, cols, sqlContext);
    const QStringList exprs = columnExpressions(s, cols, out);
    QStringList named, group;
    for (size_t i = 0; i < out.columns.size(); ++i)
        named << exprs[qsizetype(i)] + QStringLiteral(" AS ") + sqlite::quoteIdent(out.columns[i].name);
    for (const NameRef &g : s.groupBy)
        group << blankAsNull(resolve(cols, sqlContext, g.name, g.pos));
    QStringList order = orderTerms(s, cols, out);
    if (out.plain) {
        // Without an order of its own a selection comes in the table's browse order: its
        // text key (Codice for archivio), then the natural order.
        if (order.isEmpty()) {
            const auto key = std::find_if(cols.begin(), cols.end(), [](const Column &c) {
                return c.primaryKey && c.type != FieldType::Integer;
            });
            if (key != cols.end() && std::count_if(cols.begin(), cols.end(),
                                                   [](const Column &c) { return c.primaryKey; }) == 1)
                order << sqlite::quoteIdent(key->name);
        }
        order << QStringLiteral("rowid");
        out.orderBy = QStringLiteral("ORDER BY ") + order.join(QStringLiteral(", "));
    } else if (order.isEmpty() && s.distinct && group.isEmpty()) {
        order = exprs; // distinct values come sorted (the year boxes list them)
    }
    QString sql = QStringLiteral("SELECT ") + (s.distinct ? QStringLiteral("DISTINCT ") : QString())
                  + named.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + sqlite::quoteIdent(s.table.name);
    if (!out.where.isEmpty())
        sql += QStringLiteral(" WHERE ") + out.where.sql;
    if (!group.isEmpty())
        sql += QStringLiteral(" GROUP BY ") + group.join(QStringLiteral(", "));
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    out.full = {sql, out.where.params};
    return out;
}
