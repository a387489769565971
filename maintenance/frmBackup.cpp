#include "frmBackup.h"

#include "BackupFiles.h"
#include "DatabaseBackup.h"
#include "DatabaseRestore.h"

#include "data/Database.h"
#include "data/DatabaseError.h"
#include "data/ErrorText.h"
#include "dialogs/MessageDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *panelButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *panel = new QPushButton(caption, parent);
    panel->setObjectName(name);
    panel->setFocusPolicy(Qt::NoFocus);
    panel->setCursor(Qt::PointingHandCursor);
    panel->setMinimumHeight(41);
    QFont bold = panel->font();
    bold.setBold(true);
    panel->setFont(bold);
    return panel;
}

} // namespace

frmBackupForm::frmBackupForm(Collaborators collaborators, QWidget *parent)
    : FormBase(QStringLiteral("frmBackup"), QStringLiteral("  Backup dos Dados"), QStringLiteral("Image1"), parent),
      m_collaborators(std::move(collaborators)),
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

    m_panel1 = panelButton(QStringLiteral("Panel1"), QStringLiteral("REALIZAR BACKUP"), body());

    auto *label2 = new QLabel(QStringLiteral("Backups desta pasta"), body());
    label2->setObjectName(QStringLiteral("Label2"));
    m_backups = new QListWidget(body());
    m_backups->setObjectName(QStringLiteral("LBbackups"));
    m_backups->setMinimumHeight(100);
    m_panel2 = panelButton(QStringLiteral("Panel2"), QStringLiteral("RESTAURAR BACKUP"), body());

    m_anterior = new QLabel(body());
    m_anterior->setObjectName(QStringLiteral("lblAnterior"));
    m_anterior->setTextFormat(Qt::PlainText);
    m_anterior->setWordWrap(true);
    m_anterior->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_anterior->hide();

    // The service's own lines, so the user sees the work is under way.
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
    layout->addSpacing(8);
    layout->addWidget(label2);
    layout->addWidget(m_backups);
    layout->addWidget(m_panel2);
    layout->addWidget(m_anterior);
    layout->addWidget(m_progresso, 1);

    connect(m_panel1, &QPushButton::clicked, this, &frmBackupForm::Panel1Click);
    connect(m_panel2, &QPushButton::clicked, this, &frmBackupForm::Panel2Click);
    connect(m_destino, &QLineEdit::editingFinished, this, &frmBackupForm::listBackups);
}

void frmBackupForm::FormShow()
{
    // The backup must see every committed row; the next screen reconnects.
    Database &base = m_collaborators.database();
    base.close();
    const QString database = DatabaseBackup::databasePath(base.databaseName());
    m_banco->setText(database);
    m_destino->setText(DatabaseBackup::defaultDestination(database));
    m_progresso->clear();
    m_anterior->hide();
    listBackups();
}

void frmBackupForm::FormClose()
{
    m_collaborators.database().close();
}

void frmBackupForm::Panel1Click()
{
    const QString database = m_banco->text();
    const QString file = DatabaseBackup::fileName(m_destino->text(), m_today());
    m_progresso->clear();
    try {
        const Busy busy(this);
        DatabaseBackup::makeFolder(database, file);
        DatabaseBackup(DatabaseBackup::kServiceUser, DatabaseBackup::kServicePassword).run(database, file, [this](const QString &line) {
            showProgress(line);
        });
    } catch (const DatabaseError &error) {
        showError(QStringLiteral("ErroBackup"), QStringLiteral("Erro no Backup ! Tente novamente"),
                  errortext::forUser(error));
        return;
    }
    m_progresso->appendPlainText(QStringLiteral("Backup concluído: %1").arg(file));
    m_collaborators.afterBackup();
}

void frmBackupForm::Panel2Click()
{
    QString file;
    if (const QListWidgetItem *item = m_backups->currentItem(); item && item->isSelected())
        file = item->data(Qt::UserRole).toString();
    else
        file = QFileDialog::getOpenFileName(this, QStringLiteral("Restaurar backup"), backupFolder(),
                                            QStringLiteral("Backups (*.gbk)"));
    if (file.isEmpty())
        return;

    MessageDialog &question = m_collaborators.restoreQuestion();
    question.setLine(1, QFileInfo(file).fileName());
    bool yes = false;
    question.ask([&yes](MessageDialog &asked) {
        yes = true;
        asked.accept();
    });
    if (yes)
        restoreFrom(file);
}

void frmBackupForm::restoreFrom(const QString &file)
{
    const QDateTime now(m_today(), QTime::currentTime());
    const QString safetyBackup = DatabaseRestore::safetyBackupName(m_destino->text(), now);
    m_progresso->clear();
    m_anterior->hide();
    DatabaseRestore::Result result;
    try {
        const Busy busy(this);
        // Nothing of the program may hold the file that is about to be replaced.
        m_collaborators.database().close();
        result = DatabaseRestore(DatabaseBackup::kServiceUser, DatabaseBackup::kServicePassword)
                     .run(m_banco->text(), file, safetyBackup, now, [this](const QString &line) { showProgress(line); });
    } catch (const DatabaseError &error) {
        listBackups();
        showError(QStringLiteral("ErroRestauracao"), QStringLiteral("Erro na Restauração ! Tente novamente"),
                  errortext::forUser(error));
        return;
    }
    listBackups();
    m_progresso->appendPlainText(QStringLiteral("Backup restaurado: %1").arg(file));
    m_collaborators.afterRestore();
    m_anterior->setText(result.keptDatabase.isEmpty()
                            ? QStringLiteral("O banco anterior está no backup de segurança %1").arg(result.safetyBackup)
                            : QStringLiteral("Banco anterior guardado em %1 (backup de segurança: %2)")
                                  .arg(result.keptDatabase, result.safetyBackup));
    m_anterior->show();
}

void frmBackupForm::listBackups()
{
    m_backups->clear();
    for (const backupfiles::Entry &entry : backupfiles::list(backupFolder())) {
        auto *item = new QListWidgetItem(backupfiles::describe(entry), m_backups);
        item->setData(Qt::UserRole, entry.path);
    }
}

QString frmBackupForm::backupFolder() const
{
    return QFileInfo(m_destino->text()).absolutePath();
}

void frmBackupForm::showProgress(const QString &line)
{
    m_progresso->appendPlainText(line);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
    m_panel2->setEnabled(!busy);
    m_backups->setEnabled(!busy);
    m_destino->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmBackupForm::showError(const QString &objectName, const QString &text, const QString &reason)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quindelo"), text, QMessageBox::Ok, this);
    box.setObjectName(objectName);
    box.setInformativeText(reason);
    box.exec();
}
