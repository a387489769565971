#pragma once

#include "widgets/FormBase.h"

#include <QDate>

#include <functional>

class Database;
class MessageDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The backup screen: backs up the database the program works on into a file
// named after the destination and the date, waits for the service to finish
// while showing its progress, then hands over to what ends the program. It
// also restores one of the backups of the destination's folder in place of
// the database, after a safety backup of it.
class frmBackupForm : public FormBase
{
    Q_OBJECT
public:
    // The screen is created before the data module and the dialogs: it
    // reaches each of them only when it is shown or clicked.
    struct Collaborators
    {
        std::function<Database &()> database;
        std::function<void()> afterBackup; // FRmensagem14, which ends the program
        std::function<MessageDialog &()> restoreQuestion; // FRmensagem15; its second line names the file
        std::function<void()> afterRestore; // FRmensagem16
    };

    explicit frmBackupForm(Collaborators collaborators, QWidget *parent = nullptr);

    // The day that names the files; tests fix it.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    void Panel1Click();
    // Restores the selected backup, or one chosen in a file dialog when none is selected.
    void Panel2Click();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // The controls are locked and the cursor waits while the service runs, however it ends.
    class Busy
    {
    public:
        explicit Busy(frmBackupForm *form);
        ~Busy();

    private:
        frmBackupForm *m_form;
    };

    void restoreFrom(const QString &file);
    void listBackups();
    QString backupFolder() const;
    void showProgress(const QString &line);
    void setBusy(bool busy);
    void showError(const QString &objectName, const QString &text, const QString &reason);

    QLabel *m_label1;
    QLineEdit *m_destino;
    QLineEdit *m_banco;
    QPushButton *m_panel1;
    QListWidget *m_backups;
    QPushButton *m_panel2;
    QLabel *m_anterior;
    QPlainTextEdit *m_progresso;
    Collaborators m_collaborators;
    std::function<QDate()> m_today;
};
