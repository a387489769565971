#include "Mensagens.h"

#include <QCoreApplication>

namespace {

using Kind = MessageDialog::Kind;

struct Entry
{
    const char *name;
    Kind kind;
    QStringList lines;
    MessageDialog::Action action;
};

const QString kDeleteQuestion = QStringLiteral("Deseja excluir o Registro ?   ");

QList<Entry> catalogue()
{
    return {
        {"FRmensagem", Kind::Acknowledgement, {QStringLiteral("Cadastro Salvo")}, {}},
        {"FRmensagem5", Kind::Acknowledgement,
         {QString::fromUtf8("O Nome/Razão Social é"), QStringLiteral("obrigatório !!!")}, {}},
        {"FRmensagem6", Kind::Question, {kDeleteQuestion}, {}},
        {"FRmensagem8", Kind::Acknowledgement, {QString::fromUtf8("Registro excluído !!!")},
         [](MessageDialog &dialog) {
             MessageDialog *question = dialog.beneath();
             dialog.accept();
             if (question)
                 question->accept();
         }},
        {"FRmensagem9", Kind::Acknowledgement, {QString::fromUtf8("Configuração Salva !!!")}, {}},
        {"FRmensagem10", Kind::Question, {kDeleteQuestion}, {}},
        {"FRmensagem12", Kind::Acknowledgement, {QStringLiteral("Recibo Gravado !!!")}, {}},
        {"FRmensagem14", Kind::Acknowledgement,
         {QStringLiteral("Para completar o Backup o "), QString::fromUtf8("Sistema será fechado agora!")},
         [](MessageDialog &dialog) {
             dialog.accept();
             // Leaves every event loop: the screens beneath and the main one.
             QCoreApplication::exit(0);
         }},
        // The second line names the backup file; the backup screen sets it.
        {"FRmensagem15", Kind::Question, {QStringLiteral("Restaurar este backup ?"), QString()}, {}},
        {"FRmensagem16", Kind::Acknowledgement, {QStringLiteral("Backup restaurado !!!")}, {}},
        {"FRmensagem17", Kind::Question, {QStringLiteral("Descartar o que foi digitado ?")}, {}},
    };
}

} // namespace

std::unique_ptr<MessageDialog> createMessageDialog(const QString &name)
{
    for (const Entry &entry : catalogue()) {
        if (name == QLatin1String(entry.name)) {
            auto dialog = std::make_unique<MessageDialog>(name, entry.kind, entry.lines);
            dialog->setAction(entry.action);
            return dialog;
        }
    }
    return nullptr;
}

void confirmDeletion(MessageDialog &question, MessageDialog &acknowledgement, const std::function<void()> &remove)
{
    // No commit follows: the deletion stays in the open transaction.
    question.ask([&acknowledgement, &remove](MessageDialog &asked) {
        remove();
        acknowledgement.showModalOver(&asked);
    });
}

void confirmDiscard(MessageDialog &question, const std::function<void()> &discard)
{
    question.ask([&discard](MessageDialog &asked) {
        asked.accept();
        discard();
    });
}
