#pragma once
// Tokens of the local SQL dialect. Strings are delimited by ' or " and hold no escapes:
// a value with its own delimiter inside ends the string early and the rest fails to parse.
#include <QString>

#include <vector>

enum class TokenKind { Ident, Number, String, Symbol, End };

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;  // identifier, symbol, number as written, or the string's contents
    int pos = 0;   // 1-based character position in the statement
    int endPos = 0; // position just after the token
    bool is(const char *keywordOrSymbol) const; // keywords in any letter case
};

// Throws EngineError("<context> error at position N: ...") on a character outside the dialect
// or an unterminated string.
std::vector<Token> tokenize(const QString &text, const QString &context);
