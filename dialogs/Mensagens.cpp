#include "Mensagens.h"

#include "data/Datamodule1.h"

#include <QCoreApplication>

MessageDialog *FRmensagem = nullptr;
MessageDialog *FRmensagem5 = nullptr;
MessageDialog *FRmensagem6 = nullptr;
MessageDialog *FRmensagem8 = nullptr;
MessageDialog *FRmensagem9 = nullptr;
MessageDialog *FRmensagem10 = nullptr;
MessageDialog *FRmensagem12 = nullptr;
MessageDialog *FRmensagem14 = nullptr;

namespace {

using Kind = MessageDialog::Kind;

struct Entry
{
    const char *name;
    MessageDialog **reference;
    Kind kind;
    QStringList lines;
    MessageDialog::Action action;
};

// "Sim" deletes at once (no commit) and acknowledges on top of the question.
MessageDialog::Action deleteCurrentRow(Dataset &(*dataset)())
{
    return [dataset](MessageDialog &question) {
        dataset().remove();
        FRmensagem8->showModalOver(&question);
    };
}

Dataset &clientes() { return Datamodule1->Clientes; }
Dataset &recibos() { return Datamodule1->Recibos; }

const QString kDeleteQuestion = QStringLiteral("Deseja excluir o Registro ?   ");

QList<Entry> catalogue()
{
    return {
        {"FRmensagem", &FRmensagem, Kind::Acknowledgement, {QStringLiteral("Cadastro Salvo")}, {}},
        {"FRmensagem5", &FRmensagem5, Kind::Acknowledgement,
         {QString::fromUtf8("O Nome/Razão Social é"), QStringLiteral("obrigatório !!!")}, {}},
        {"FRmensagem6", &FRmensagem6, Kind::Question, {kDeleteQuestion}, deleteCurrentRow(clientes)},
        {"FRmensagem8", &FRmensagem8, Kind::Acknowledgement, {QString::fromUtf8("Registro excluído !!!")},
         [](MessageDialog &dialog) {
             MessageDialog *question = dialog.beneath();
             dialog.accept();
             if (question)
                 question->accept();
         }},
        {"FRmensagem9", &FRmensagem9, Kind::Acknowledgement, {QString::fromUtf8("Configuração Salva !!!")}, {}},
        {"FRmensagem10", &FRmensagem10, Kind::Question, {kDeleteQuestion}, deleteCurrentRow(recibos)},
        {"FRmensagem12", &FRmensagem12, Kind::Acknowledgement, {QStringLiteral("Recibo Gravado !!!")}, {}},
        {"FRmensagem14", &FRmensagem14, Kind::Acknowledgement,
         {QStringLiteral("Para completar o Backup o "), QString::fromUtf8("Sistema será fechado agora!")},
         [](MessageDialog &dialog) {
             dialog.accept();
             // Leaves every event loop: the screens beneath and the main one.
             QCoreApplication::exit(0);
         }},
    };
}

} // namespace

std::unique_ptr<MessageDialog> createMessageDialog(const QString &name)
{
    for (const Entry &entry : catalogue()) {
        if (name == QLatin1String(entry.name)) {
            auto dialog = std::make_unique<MessageDialog>(name, entry.kind, entry.lines);
            dialog->setAction(entry.action);
            *entry.reference = dialog.get();
            return dialog;
        }
    }
    return nullptr;
}

void clearMessageDialogs()
{
    for (const Entry &entry : catalogue())
        *entry.reference = nullptr;
}
