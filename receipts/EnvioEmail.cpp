#include "EnvioEmail.h"

#include "mail/SmtpSender.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <atomic>
#include <memory>

std::optional<QString> enviaComProgresso(const EmailSettings &settings, const MailMessage &message, QWidget *parent)
{
    std::atomic_bool cancel{false};
    std::optional<QString> failure;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            SmtpSender(settings).send(message, &cancel);
        } catch (const MailError &error) {
            failure = error.reason();
        } catch (const std::exception &error) {
            failure = QString::fromUtf8(error.what());
        }
    }));

    QDialog progress(parent);
    progress.setObjectName(QStringLiteral("FRenviando"));
    progress.setWindowTitle(QStringLiteral("Quindelo"));
    progress.setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(&progress);
    auto *label = new QLabel(QStringLiteral("Enviando o e-mail para %1...").arg(message.to), &progress);
    auto *cancelar = new QPushButton(QStringLiteral("Cancelar"), &progress);
    layout->addWidget(label);
    layout->addWidget(cancelar, 0, Qt::AlignRight);
    const auto stop = [&] {
        cancel = true;
        label->setText(QStringLiteral("Cancelando o envio..."));
        cancelar->setEnabled(false);
    };
    QObject::connect(cancelar, &QPushButton::clicked, &progress, stop);
    // Esc or closing the window ask for the same.
    QObject::connect(&progress, &QDialog::rejected, &progress, stop);

    // Queued from the worker: quits the loop even when sending ended before it ran.
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    // Shown at once: as a modal window it keeps a second click off the screen beneath.
    progress.show();
    worker->start();
    loop.exec();
    worker->wait();
    return failure;
}
