#pragma once

#include <QString>

#include <stdexcept>

// Why a message could not be sent or the settings not be read or written,
// in Portuguese, ready to be shown to the user.
class MailError : public std::runtime_error
{
public:
    explicit MailError(const QString &reason) : std::runtime_error(reason.toUtf8().toStdString()), m_reason(reason) {}
    QString reason() const { return m_reason; }

private:
    QString m_reason;
};

// What the user reads around a reason.
inline QString enderecoInvalido(const QString &address)
{
    return QStringLiteral("Endereço de e-mail inválido: %1").arg(address);
}

inline QString falhaNoEnvio(const QString &reason)
{
    return QStringLiteral("Não foi possível enviar o e-mail: %1.").arg(reason);
}
