#include "SmtpSender.h"

#include "MailError.h"

#include <QDateTime>
#include <QSysInfo>
#include <QUrl>

#include <curl/curl.h>

namespace {

void initCurlOnce()
{
    // Static initialisation runs once even with several threads sending.
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (initialised != CURLE_OK)
        throw MailError(QStringLiteral("a biblioteca de envio (libcurl) não pôde ser iniciada"));
}

// Everything libcurl was handed lives until the transfer has ended.
struct Transfer
{
    CURL *curl = nullptr;
    curl_mime *mime = nullptr;
    curl_slist *headers = nullptr;
    curl_slist *recipients = nullptr;
    QByteArray url, from, recipient, username, password, authority, body, attachmentName;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const std::atomic_bool *cancel = nullptr;
    QByteArray refusal; // the server's last refusing reply (4xx, 5xx)

    Transfer() : curl(curl_easy_init()) {}
    ~Transfer()
    {
        curl_easy_cleanup(curl);
        curl_mime_free(mime);
        curl_slist_free_all(headers);
        curl_slist_free_all(recipients);
    }
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;
};

int progressCallback(void *data, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *transfer = static_cast<const Transfer *>(data);
    return transfer->cancel && transfer->cancel->load() ? 1 : 0;
}

// Only the server's refusals are kept; what we send (the login among it) is not looked at.
int debugCallback(CURL *, curl_infotype type, char *data, size_t size, void *userData)
{
    if (type == CURLINFO_HEADER_IN) {
        const QByteArray line = QByteArray(data, qsizetype(size)).trimmed();
        if (line.startsWith('4') || line.startsWith('5'))
            static_cast<Transfer *>(userData)->refusal = line;
    }
    return 0;
}

QByteArray crlfLines(const QString &text)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return normalised.toUtf8();
}

QByteArray urlOf(const EmailSettings &settings)
{
    const QString scheme = settings.security == EmailSettings::Security::SslTls ? QStringLiteral("smtps")
                                                                                 : QStringLiteral("smtp");
    QString host = settings.server.trimmed();
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    // The path names us in the greeting (EHLO).
    const QByteArray self = QUrl::toPercentEncoding(QSysInfo::machineHostName());
    return QStringLiteral("%1://%2:%3/").arg(scheme, host).arg(settings.port).toUtf8() + self;
}

QString reasonOf(CURLcode code, const Transfer &transfer, const EmailSettings &settings, const MailMessage &message)
{
    const QByteArray detail = transfer.errorBuffer;
    const QString server = settings.server.trimmed();
    QString reason;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("o servidor %1 não foi encontrado").arg(server);
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("o servidor %1 não pôde ser alcançado na porta %2").arg(server).arg(settings.port);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("o servidor %1 não respondeu").arg(server);
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("o envio foi cancelado");
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("a conexão segura falhou: o servidor não oferece STARTTLS");
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("a conexão segura falhou: o certificado do servidor não é válido para %1 ou não é de "
                              "uma autoridade confiável").arg(server);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ENGINE_INITFAILED:
        return QStringLiteral("a conexão segura falhou");
    case CURLE_LOGIN_DENIED:
        reason = detail.contains("authentication mechanism")
                     ? QStringLiteral("o servidor não aceita usuário e senha nesta conexão (verifique a segurança)")
                     : QStringLiteral("o servidor recusou o usuário ou a senha");
        break;
    case CURLE_SEND_ERROR:
        if (detail.startsWith("RCPT"))
            reason = QStringLiteral("o servidor recusou o endereço %1").arg(message.to);
        else if (detail.startsWith("MAIL"))
            reason = QStringLiteral("o servidor recusou o remetente %1").arg(message.fromAddress);
        else if (detail.startsWith("DATA"))
            reason = QStringLiteral("o servidor recusou a mensagem");
        else
            reason = QStringLiteral("a comunicação com o servidor foi interrompida");
        break;
    case CURLE_WEIRD_SERVER_REPLY:
        reason = QStringLiteral("o servidor recusou a mensagem ou respondeu de forma inesperada");
        break;
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("a comunicação com o servidor foi interrompida");
    default:
        return QStringLiteral("falha no envio (%1)").arg(QString::fromUtf8(curl_easy_strerror(code)));
    }
    // A refusal: the server's own words tell why.
    if (!transfer.refusal.isEmpty())
        reason += QStringLiteral(" (resposta do servidor: %1)").arg(QString::fromUtf8(transfer.refusal));
    return reason;
}

void check(CURLcode code)
{
    if (code != CURLE_OK)
        throw MailError(QStringLiteral("falha ao preparar a mensagem (%1)").arg(QString::fromUtf8(curl_easy_strerror(code))));
}

} // namespace

SmtpSender::SmtpSender(EmailSettings settings) : m_settings(std::move(settings)) {}

void SmtpSender::send(const MailMessage &message, const std::atomic_bool *cancel) const
{
    if (!mailheaders::isValidAddress(message.to))
        throw MailError(enderecoInvalido(message.to));
    if (!mailheaders::isValidAddress(message.fromAddress))
        throw MailError(enderecoInvalido(message.fromAddress));
    initCurlOnce();
    Transfer transfer;
    if (!transfer.curl)
        throw MailError(QStringLiteral("a biblioteca de envio (libcurl) não pôde ser iniciada"));
    CURL *curl = transfer.curl;
    transfer.cancel = cancel;

    transfer.url = urlOf(m_settings);
    check(curl_easy_setopt(curl, CURLOPT_URL, transfer.url.constData()));
    check(curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps"));
    if (m_settings.security == EmailSettings::Security::StartTls)
        check(curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL)));
    transfer.authority = qgetenv(kTestAuthorityVariable);
    if (!transfer.authority.isEmpty())
        check(curl_easy_setopt(curl, CURLOPT_CAINFO, transfer.authority.constData()));
    if (!m_settings.user.isEmpty()) {
        transfer.username = m_settings.user.toUtf8();
        transfer.password = m_settings.password.toUtf8();
        check(curl_easy_setopt(curl, CURLOPT_USERNAME, transfer.username.constData()));
        check(curl_easy_setopt(curl, CURLOPT_PASSWORD, transfer.password.constData()));
    }

    transfer.from = '<' + message.fromAddress.toUtf8() + '>';
    transfer.recipient = '<' + message.to.toUtf8() + '>';
    check(curl_easy_setopt(curl, CURLOPT_MAIL_FROM, transfer.from.constData()));
    transfer.recipients = curl_slist_append(nullptr, transfer.recipient.constData());
    check(curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, transfer.recipients));

    const QByteArray headerLines[] = {
        "Date: " + mailheaders::date(QDateTime::currentDateTime()),
        "From: " + mailheaders::mailbox(message.fromName, message.fromAddress),
        "To: " + mailheaders::mailbox(QString(), message.to),
        "Subject: " + mailheaders::encodeText(message.subject),
        "Message-ID: " + mailheaders::messageId(message.fromAddress),
    };
    for (const QByteArray &line : headerLines)
        transfer.headers = curl_slist_append(transfer.headers, line.constData());
    check(curl_easy_setopt(curl, CURLOPT_HTTPHEADER, transfer.headers));

    transfer.mime = curl_mime_init(curl);
    curl_mimepart *text = curl_mime_addpart(transfer.mime);
    transfer.body = crlfLines(message.text);
    check(curl_mime_data(text, transfer.body.constData(), size_t(transfer.body.size())));
    check(curl_mime_type(text, "text/plain; charset=UTF-8"));
    check(curl_mime_encoder(text, "quoted-printable"));
    if (!message.attachmentName.isEmpty()) {
        curl_mimepart *file = curl_mime_addpart(transfer.mime);
        transfer.attachmentName = message.attachmentName.toUtf8();
        check(curl_mime_data(file, message.attachment.constData(), size_t(message.attachment.size())));
        check(curl_mime_filename(file, transfer.attachmentName.constData()));
        check(curl_mime_type(file, message.attachmentType.constData()));
        check(curl_mime_encoder(file, "base64"));
    }
    check(curl_easy_setopt(curl, CURLOPT_MIMEPOST, transfer.mime));

    const long timeout = m_timeoutSeconds;
    check(curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout));
    check(curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout));
    check(curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L));
    check(curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeout));
    // Sending runs off the user-interface thread: no signals for timeouts.
    check(curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L));
    check(curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, transfer.errorBuffer));
    check(curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L));
    check(curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &progressCallback));
    check(curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer));
    // The debug callback sees the server's replies; nothing is printed.
    check(curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &debugCallback));
    check(curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &transfer));
    check(curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L));

    const CURLcode result = curl_easy_perform(curl);
    if (result != CURLE_OK)
        throw MailError(reasonOf(result, transfer, m_settings, message));
}
