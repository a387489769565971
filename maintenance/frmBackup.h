#pragma once

#include "widgets/FormBase.h"

#include <QDate>

#include <functional>

class Database;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The backup screen: backs up the database the program works on into a file
// named after the destination and the date, waits for the service to finish
// while showing its progress, then hands over to what ends the program.
class frmBackupForm : public FormBase
{
    Q_OBJECT
public:
    // The screen is created before the data module: it reaches the program's
    // connection through `database` only when shown. afterBackup follows a
    // completed backup (FRmensagem14, which ends the program).
    frmBackupForm(std::function<Database &()> database, std::function<void()> afterBackup, QWidget *parent = nullptr);

    // The day that names the file; tests fix it.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    void Panel1Click();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // The controls are locked and the cursor waits while the backup runs, however it ends.
    class Busy
    {
    public:
        explicit Busy(frmBackupForm *form);
        ~Busy();

    private:
        frmBackupForm *m_form;
    };

    void setBusy(bool busy);
    void showError(const QString &reason);

    QLabel *m_label1;
    QLineEdit *m_destino;
    QLineEdit *m_banco;
    QPushButton *m_panel1;
    QPlainTextEdit *m_progresso;
    std::function<Database &()> m_database;
    std::function<void()> m_afterBackup;
    std::function<QDate()> m_today;
};
