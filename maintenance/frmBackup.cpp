#include "frmBackup.h"

#include "DatabaseBackup.h"

#include "data/DatabaseError.h"
#include "data/Database.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kServiceUser = QStringLiteral("sysdba");
const QString kServicePassword = QStringLiteral("tarvolimb");

} // namespace

frmBackupForm::frmBackupForm(std::function<Database &()> database, std::function<void()> afterBackup, QWidget *parent)
    : FormBase(QStringLiteral("frmBackup"), QStringLiteral("  Backup dos Dados"), QStringLiteral("Image1"), parent),
      m_database(std::move(database)),
      m_afterBackup(std::move(afterBackup)),
      m_today([] { return QDate::currentDate(); })
{
    setWindowTitle(QStringLiteral("Backup / Restauração do Banco"));
    setMinimumWidth(560);

    m_label1 = new QLabel(QStringLiteral("Local do Backup"), body());
    m_label1->setObjectName(QStringLiteral("Label1"));

    m_destino = new QLineEdit(body());
    m_destino->setObjectName(QStringLiteral("edtDestino"));
    QPalette grey = m_destino->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    m_destino->setPalette(grey);

    m_banco = new QLineEdit(body());
    m_banco->setObjectName(QStringLiteral("edtBanco"));
    m_banco->setReadOnly(true);
    m_banco->hide();

    m_panel1 = new QPushButton(QStringLiteral("REALIZAR BACKUP"), body());
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFocusPolicy(Qt::NoFocus);
    m_panel1->setCursor(Qt::PointingHandCursor);
    m_panel1->setMinimumHeight(41);
    QFont bold = m_panel1->font();
    bold.setBold(true);
    m_panel1->setFont(bold);

    // The service's own lines, so the user sees the backup is under way.
    m_progresso = new QPlainTextEdit(body());
    m_progresso->setObjectName(QStringLiteral("memProgresso"));
    m_progresso->setReadOnly(true);
    m_progresso->setFocusPolicy(Qt::NoFocus);
    m_progresso->setMaximumBlockCount(500);
    m_progresso->setMinimumHeight(120);

    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(16, 12, 16, 16);
    layout->addWidget(m_label1);
    layout->addWidget(m_destino);
    layout->addSpacing(8);
    layout->addWidget(m_panel1);
    layout->addWidget(m_progresso, 1);

    connect(m_panel1, &QPushButton::clicked, this, &frmBackupForm::Panel1Click);
}

void frmBackupForm::FormShow()
{
    // The backup must see every committed row; the next screen reconnects.
    Database &base = m_database();
    base.close();
    const QString database = DatabaseBackup::databasePath(base.databaseName());
    m_banco->setText(database);
    m_destino->setText(DatabaseBackup::defaultDestination(database));
    m_progresso->clear();
}

void frmBackupForm::FormClose()
{
    m_database().close();
}

void frmBackupForm::Panel1Click()
{
    const QString database = m_banco->text();
    const QString file = DatabaseBackup::fileName(m_destino->text(), m_today());
    m_progresso->clear();
    try {
        const Busy busy(this);
        DatabaseBackup::makeFolder(database, file);
        DatabaseBackup(kServiceUser, kServicePassword).run(database, file, [this](const QString &line) {
            m_progresso->appendPlainText(line);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const DatabaseError &error) {
        showError(error.message());
        return;
    }
    m_progresso->appendPlainText(QStringLiteral("Backup concluído: %1").arg(file));
    m_afterBackup();
}

frmBackupForm::Busy::Busy(frmBackupForm *form)
    : m_form(form)
{
    m_form->setBusy(true);
}

frmBackupForm::Busy::~Busy()
{
    m_form->setBusy(false);
}

void frmBackupForm::setBusy(bool busy)
{
    m_panel1->setEnabled(!busy);
    m_destino->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmBackupForm::showError(const QString &reason)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quindelo"), QStringLiteral("Erro no Backup ! Tente novamente"),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ErroBackup"));
    box.setInformativeText(reason);
    box.exec();
}
