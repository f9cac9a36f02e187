#include "sqltokens.h"

#include "dataset.h"

bool Token::is(const char *s) const
{
    if (kind != TokenKind::Ident && kind != TokenKind::Symbol)
        return false;
    return text.compare(QLatin1String(s), Qt::CaseInsensitive) == 0;
}

static bool identStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

static bool identPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The operator or punctuation at i, or an empty text for a character outside the dialect.
static QString symbolAt(const QString &s, int i)
{
    static const char *twoChar[] = {"<=", ">=", "<>"};
    for (const char *op : twoChar)
        if (s.mid(i, 2) == QLatin1String(op))
            return QLatin1String(op);
    return QStringLiteral("=<>,()*").contains(s[i]) ? QString(s[i]) : QString();
}

std::vector<Token> tokenize(const QString &s, const QString &context)
{
    std::vector<Token> out;
    const int n = int(s.size());
    int i = 0;
    auto fail = [&](int at, const QString &what) {
        throw EngineError(QStringLiteral("%1 error at position %2: %3").arg(context).arg(at + 1).arg(what));
    };
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i + 1;
        if (identStart(c)) {
            int j = i;
            while (j < n && identPart(s[j]))
                ++j;
            t.kind = TokenKind::Ident;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())
                   || (c == QLatin1Char('-') && i + 1 < n && s[i + 1].isDigit() && !out.empty()
                       && out.back().kind == TokenKind::Symbol)) {
            int j = c == QLatin1Char('-') ? i + 1 : i; // a sign right after an operator
            while (j < n && s[j].isDigit())
                ++j;
            if (j < n && s[j] == QLatin1Char('.')) {
                ++j;
                while (j < n && s[j].isDigit())
                    ++j;
            }
            if (j < n && identPart(s[j]))
                fail(j, QStringLiteral("unexpected \"%1\" in a number").arg(s[j]));
            t.kind = TokenKind::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int close = int(s.indexOf(c, i + 1));
            if (close < 0)
                fail(i, QStringLiteral("the string starting here has no closing %1").arg(c));
            t.kind = TokenKind::String;
            t.text = s.mid(i + 1, close - i - 1);
            i = close + 1;
        } else {
            t.kind = TokenKind::Symbol;
            t.text = symbolAt(s, i);
            if (t.text.isEmpty())
                fail(i, QStringLiteral("\"%1\" is not understood").arg(c));
            i += int(t.text.size());
        }
        t.endPos = i + 1;
        out.push_back(t);
    }
    Token end;
    end.pos = n + 1;
    end.endPos = n + 1;
    out.push_back(end);
    return out;
}
