#pragma once

#include <QString>
#include <QVector>

// What a bracketed expression asks for: a field of the current row
// ([ibqEvento."VALOR"]) or the sum of a field over the rows a data band has
// printed so far ([SUM(<ibqEvento."VALOR">,MasterData1)]).
struct Expression
{
    enum class Kind { Field, Sum };
    Kind kind = Kind::Field;
    QString dataSource;
    QString field;
    QString band; // Sum only
};

// A text with bracketed expressions among literal pieces.
class TextTemplate
{
public:
    struct Part
    {
        QString literal;
        int expression = -1; // index into expressions(), or -1 for a literal piece
    };

    TextTemplate() = default;
    static TextTemplate literal(const QString &text);
    // Throws ReportError naming what is wrong.
    static TextTemplate parse(const QString &text);
    static Expression parseExpression(const QString &text);

    QString source() const { return m_source; }
    bool isLiteral() const { return m_expressions.isEmpty(); }
    const QVector<Part> &parts() const { return m_parts; }
    const QVector<Expression> &expressions() const { return m_expressions; }

private:
    QString m_source;
    QVector<Part> m_parts;
    QVector<Expression> m_expressions;
};
