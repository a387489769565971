#pragma once

#include <QString>

#include <stdexcept>

// What the engine reports: a layout that cannot be read, an expression that
// names nothing, an export that cannot be written. The text is for the user.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};

// A layout file that cannot be read, with the line where reading stopped.
class LayoutError : public ReportError
{
public:
    LayoutError(const QString &file, int line, const QString &problem)
        : ReportError(QStringLiteral("%1, linha %2: %3").arg(file).arg(line).arg(problem)),
          m_line(line),
          m_problem(problem)
    {
    }

    int line() const { return m_line; }
    QString problem() const { return m_problem; }

private:
    int m_line;
    QString m_problem;
};

// Thrown through a preparation or an export that the user cancelled: not an
// error to show, and whatever was being written is thrown away.
class ReportCancelled : public std::exception
{
public:
    const char *what() const noexcept override { return "cancelado pelo usuário"; }
};
