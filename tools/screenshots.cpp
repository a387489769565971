// Pictures of every screen, dialog and preview of the program for the manual,
// drawn by the program itself on the offscreen platform, on a database of
// sample data made for the purpose.
//   quindelo-screenshots FOLDER
#include "app/FRprincipal.h"
#include "app/QtTranslations.h"
#include "app/QuindeloApplication.h"
#include "app/Screens.h"
#include "clients/FRcadastro.h"
#include "clients/FRconsultacli.h"
#include "clients/FRconsultacli2.h"
#include "clients/FRconsultarec.h"
#include "data/DatabaseCreator.h"
#include "data/Datamodule1.h"
#include "data/Statement.h"
#include "dialogs/MessageDialog.h"
#include "mail/EmailSettings.h"
#include "maintenance/frmBackup.h"
#include "receipts/DataExtenso.h"
#include "receipts/Extens.h"
#include "receipts/FRcademitente.h"
#include "receipts/FRconfemail.h"
#include "receipts/FRimagem.h"
#include "receipts/FRrecibo.h"
#include "reportengine/PreviewWindow.h"
#include "reportengine/ReportFonts.h"
#include "reports/FRabrerecibos1.h"
#include "reports/FRabrerecibos2.h"
#include "reports/FRabrerecibos3.h"
#include "reports/FRdeclaracao.h"
#include "reports/FRrelatorios.h"
#include "widgets/CaseEdit.h"
#include "widgets/DateEdit.h"
#include "widgets/ErrorDisplay.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace {

// The day the pictures are taken on, whatever the machine's clock says.
const QDate kToday(2026, 3, 20);

class Camera
{
public:
    explicit Camera(const QDir &folder) : m_folder(folder) {}

    bool allWritten() const { return m_allWritten; }

    // Shows the window at the size it gave itself (or `size`), lets `prepare` set it up, and saves its picture.
    void shoot(QWidget *window, const QString &name, const std::function<void()> &prepare = {}, const QSize &size = {})
    {
        if (size.isValid())
            window->resize(size);
        else if (!window->testAttribute(Qt::WA_Resized))
            window->adjustSize();
        window->show();
        if (prepare)
            prepare();
        save(window, name);
        window->hide();
    }

    // Runs `open`, which opens the window named `objectName` modally, and saves
    // its picture, once `arrange` has set it up, before closing it.
    void shootModal(const QString &objectName, const QString &name, const std::function<void()> &open,
                    const std::function<void(QDialog &)> &arrange = {})
    {
        bool taken = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (taken || !window || window->objectName() != objectName)
                return;
            if (arrange)
                arrange(*window);
            save(window, name);
            taken = true;
            window->reject();
        });
        poll.start();
        open();
        if (!taken)
            fail(name);
    }

    void shootPreview(const QString &name, const std::function<void()> &open)
    {
        shootModal(QStringLiteral("PreviewWindow"), name, open, [](QDialog &window) {
            // Maximised on a 1366 × 768 desktop, most of an A4 page in view.
            auto &preview = static_cast<PreviewWindow &>(window);
            preview.setWindowState(Qt::WindowNoState);
            preview.resize(1366, 740);
            preview.setZoom(0.55);
        });
    }

private:
    void save(QWidget *window, const QString &name)
    {
        QCoreApplication::processEvents();
        const QString file = m_folder.filePath(name + QStringLiteral(".png"));
        if (window->grab().save(file))
            std::printf("wrote %s\n", qPrintable(file));
        else
            fail(file);
    }

    void fail(const QString &what)
    {
        std::fprintf(stderr, "could not write %s\n", qPrintable(what));
        m_allWritten = false;
    }

    QDir m_folder;
    bool m_allWritten = true;
};

QByteArray logoBytes()
{
    QFile file(QStringLiteral(":/quindelo/menu/recibos.png"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An issuer, a few clients and a few receipts, as a small business has them.
void fillSampleData(DataModule &dm)
{
    dm.Base.open();
    if (!dm.Tra.inTransaction())
        dm.Tra.startTransaction();
    PreparedStatement(dm.Base, QStringLiteral("insert into EMITENTE (ID_EMITENTE, EMITENTE, CPFCNPJ, CIDADE, FOTO_MARC) "
                                              "values (1, 'OFICINA BOA VISTA LTDA', '12.345.678/0001-95', 'Recife', :FOTO)"))
        .execute(dm.Tra, QVariantList{logoBytes()});

    PreparedStatement cliente(dm.Base, QStringLiteral(
        "insert into CLIENTES (ID_CLIENTE, CLIENTE, CLASSIFICACAO, CPF, CNPJ, EMAIL, TELEFONE, ENDERECO, BAIRRO, CIDADE, UF, CEP) "
        "values (GEN_ID(GEN_CLIENTES_ID, 1), :CLIENTE, :CLASSIFICACAO, :CPF, :CNPJ, :EMAIL, :TELEFONE, :ENDERECO, "
        ":BAIRRO, 'RECIFE', 'PE', :CEP)"));
    const QVariant none;
    cliente.execute(dm.Tra, QVariantList{QStringLiteral("MARIA DAS GRAÇAS OLIVEIRA"), QStringLiteral("FÍSICA"),
                                         QStringLiteral("123.456.789-01"), none,
                                         QStringLiteral("maria.oliveira@exemplo.com.br"), QStringLiteral("(81) 3222-1234"),
                                         QStringLiteral("RUA DA AURORA, 325"), QStringLiteral("BOA VISTA"),
                                         QStringLiteral("50050-000")});
    cliente.execute(dm.Tra, QVariantList{QStringLiteral("MARCOS ANTÔNIO SILVA"), QStringLiteral("FÍSICA"),
                                         QStringLiteral("987.654.321-00"), none, none, QStringLiteral("(81) 99876-5432"),
                                         QStringLiteral("AV. CONDE DA BOA VISTA, 1200"), QStringLiteral("SOLEDADE"),
                                         QStringLiteral("50060-004")});
    cliente.execute(dm.Tra, QVariantList{QStringLiteral("MERCADINHO SÃO JOSÉ LTDA"), QStringLiteral("JURÍDICA"), none,
                                         QStringLiteral("11.222.333/0001-81"), QStringLiteral("compras@saojose.com.br"),
                                         QStringLiteral("(81) 3031-4455"), QStringLiteral("RUA DO BOM JESUS, 90"),
                                         QStringLiteral("RECIFE ANTIGO"), QStringLiteral("50030-170")});
    cliente.execute(dm.Tra, QVariantList{QStringLiteral("JOSÉ CARLOS PEREIRA"), QStringLiteral("FÍSICA"),
                                         QStringLiteral("321.654.987-55"), none, none, QStringLiteral("(81) 98765-0001"),
                                         QStringLiteral("RUA DO HOSPÍCIO, 41"), QStringLiteral("BOA VISTA"),
                                         QStringLiteral("50050-050")});

    PreparedStatement recibo(dm.Base, QStringLiteral(
        "insert into RECIBOS (ID_RECIBO, TIPO, EMITENTE, CPFCNPJEMITENTE, CLIENTE, CPFCNPJCLIENTE, LOCAL, DATA, "
        "DATARECIBO, VALOR, VALOREXTENSO, REFERENTE, OBS) values (GEN_ID(GEN_RECIBOS_ID, 1), :TIPO, :EMITENTE, :DOC, "
        "'OFICINA BOA VISTA LTDA', '12.345.678/0001-95', 'Recife', :DATA, :DATARECIBO, :VALOR, :VALOREXTENSO, "
        ":REFERENTE, :OBS)"));
    struct Sample
    {
        const char *tipo, *nome, *documento;
        QDate data;
        qint64 centavos;
        const char *referente, *obs;
    };
    const Sample samples[] = {
        {"RECEBIMENTO", "MARIA DAS GRAÇAS OLIVEIRA", "123.456.789-01", QDate(2026, 3, 2), 35000,
         "Revisão dos freios e troca de pastilhas", ""},
        {"PAGAMENTO", "MERCADINHO SÃO JOSÉ LTDA", "11.222.333/0001-81", QDate(2026, 3, 5), 12890,
         "Material de limpeza da oficina", "Nota fiscal 4512"},
        {"RECEBIMENTO", "MARCOS ANTÔNIO SILVA", "987.654.321-00", QDate(2026, 3, 11), 128000,
         "Troca do kit de embreagem", "Pago em duas parcelas"},
        {"RECEBIMENTO", "JOSÉ CARLOS PEREIRA", "321.654.987-55", QDate(2026, 3, 18), 24050,
         "Alinhamento, balanceamento e troca de óleo", ""},
    };
    // A taxi driver's monthly service through 2025, for the annual statement.
    const QDate january2025(2025, 1, 15);
    std::vector<Sample> year(std::begin(samples), std::end(samples));
    for (int month = 0; month < 12; ++month)
        year.push_back({"RECEBIMENTO", "MARIA DAS GRAÇAS OLIVEIRA", "123.456.789-01", january2025.addMonths(month),
                        18000 + (month % 4) * 2500, "Manutenção mensal do táxi", ""});
    for (const Sample &sample : year) {
        recibo.execute(dm.Tra, QVariantList{QString::fromUtf8(sample.tipo), QString::fromUtf8(sample.nome),
                                            QString::fromUtf8(sample.documento), sample.data, DataPorExtenso(sample.data),
                                            QVariant::fromValue(Numeric{sample.centavos, -2}),
                                            NumeroPorExtenso(double(sample.centavos) / 100),
                                            QString::fromUtf8(sample.referente), QString::fromUtf8(sample.obs)});
    }
    dm.Tra.commitRetaining();
}

void writeIni(const QString &folder, const QString &database)
{
    QFile ini(QDir(folder).filePath(QStringLiteral("Arquivo.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        throw std::runtime_error("Arquivo.ini could not be written");
    ini.write("[Configuracoes]\nCaminhoBD=" + QFile::encodeName(database) + "\n");
}

// Settings of a typical user, never this machine's.
void writeEmailSettings()
{
    EmailSettings settings;
    settings.server = QStringLiteral("smtp.exemplo.com.br");
    settings.user = QStringLiteral("oficina.boavista@exemplo.com.br");
    settings.password = QStringLiteral("senha-de-exemplo");
    settings.sender = settings.user;
    settings.senderName = QStringLiteral("Oficina Boa Vista");
    emailsettings::save(settings, emailsettings::defaultPath());
}

void shootEverything(Screens &screens, Camera &camera, const QDir &work)
{
    camera.shoot(screens.FRprincipal.get(), QStringLiteral("menu-principal"), {}, QSize(800, 450));
    // The backup screen lists a week of backups and shows the path of a
    // typical installation, not of this machine.
    const QDir backups(work.filePath(QStringLiteral("Backup")));
    backups.mkpath(QStringLiteral("."));
    for (int day = 1; day <= 3; ++day) {
        const QDate date = kToday.addDays(3 * day - 9);
        QFile file(backups.filePath(QStringLiteral("QUINDELO%1.gbk").arg(date.toString(QStringLiteral("ddMMyyyy")))));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(180 + day * 3) * 1024 * 1024 + 1024 * 100 * day)
            || !file.setFileTime(QDateTime(date, QTime(17, 40 + day)), QFileDevice::FileModificationTime))
            throw std::runtime_error("sample backups could not be written");
    }
    camera.shoot(screens.frmBackup.get(), QStringLiteral("backup"), [&] {
        auto *destino = screens.frmBackup->findChild<QLineEdit *>(QStringLiteral("edtDestino"));
        destino->setText(backups.filePath(QStringLiteral("QUINDELO.FDB")));
        emit destino->editingFinished();
        destino->setText(QStringLiteral("/home/maria/Quindelo/Backup/QUINDELO.FDB"));
        screens.frmBackup->findChild<QListWidget *>(QStringLiteral("LBbackups"))->setCurrentRow(0);
    }, QSize(560, 520));

    camera.shoot(screens.FRcadastro.get(), QStringLiteral("cadastro"));
    camera.shoot(screens.FRcademitente.get(), QStringLiteral("emitente"));
    camera.shoot(screens.FRimagem.get(), QStringLiteral("imagem"));
    camera.shoot(screens.FRrecibo.get(), QStringLiteral("recibo"));
    camera.shoot(screens.FRconsultacli.get(), QStringLiteral("consulta-clientes"),
                 [&screens] { screens.FRconsultacli->EDlocalizar->setText(QStringLiteral("MA")); });
    camera.shoot(screens.FRconsultacli2.get(), QStringLiteral("consulta-clientes-recibo"));
    camera.shoot(screens.FRconsultarec.get(), QStringLiteral("consulta-recibos"));
    camera.shoot(screens.FRrelatorios.get(), QStringLiteral("relatorios"));
    camera.shoot(screens.FRabrerecibos1.get(), QStringLiteral("periodo-recebimentos"));
    camera.shoot(screens.FRabrerecibos2.get(), QStringLiteral("periodo-pagamentos"));
    camera.shoot(screens.FRabrerecibos3.get(), QStringLiteral("periodo-todos"));
    FRdeclaracaoForm &declaracao = *screens.FRdeclaracao;
    const auto fillStatement = [&declaracao] {
        declaracao.EDano->setValue(2025);
        declaracao.EDcpfcnpj->setText(QStringLiteral("123.456.789-01"));
        declaracao.EDnome->setText(QStringLiteral("MARIA DAS GRAÇAS OLIVEIRA"));
    };
    camera.shoot(&declaracao, QStringLiteral("declaracao"), fillStatement);
    camera.shoot(screens.FRconfemail.get(), QStringLiteral("configuracao-email"));

    const QList<MessageDialog *> dialogs{screens.FRmensagem5.get(), screens.FRmensagem6.get(), screens.FRmensagem8.get(),
                                         screens.FRmensagem9.get(), screens.FRmensagem10.get(), screens.FRmensagem12.get(),
                                         screens.FRmensagem.get(), screens.FRmensagem14.get()};
    for (MessageDialog *dialog : dialogs)
        camera.shoot(dialog, dialog->objectName().mid(2).toLower());

    // The previews, opened as the user opens them.
    screens.FRrecibo->show();
    camera.shootPreview(QStringLiteral("visualizacao-recibo"), [&screens] { screens.FRrecibo->Image3Click(); });
    camera.shootModal(QStringLiteral("FRemail"), QStringLiteral("email"), [&screens] { screens.FRrecibo->Image4Click(); });
    screens.FRrecibo->hide();
    declaracao.show();
    fillStatement();
    camera.shootPreview(QStringLiteral("declaracao-pagina"), [&declaracao] { declaracao.Panel1Click(); });
    declaracao.hide();
    FRabrerecibos3Form &periodo = *screens.FRabrerecibos3;
    periodo.show();
    periodo.Medtini()->setDate(QDate(2026, 3, 1));
    periodo.Medtfim()->setDate(QDate(2026, 3, 31));
    camera.shootPreview(QStringLiteral("visualizacao-relatorio"), [&periodo] { periodo.Panel1Click(); });
    periodo.hide();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QuindeloApplication app(argc, argv);
    QTranslator qtTexts;
    installQtTranslations(app, qtTexts);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    registerReportFonts();
    if (argc != 2) {
        std::fprintf(stderr, "usage: quindelo-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir work;
    Camera camera(folder);
    // An error shown on a screen would wait for a click that never comes.
    bool screensFailed = false;
    errordisplay::setPresenter([&screensFailed](const QString &text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        screensFailed = true;
    });
    try {
        const QString database = work.filePath(QStringLiteral("QUINDELO.FDB"));
        databasecreator::create(database);
        writeIni(work.path(), database);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.path()));
        writeEmailSettings();
        Screens screens;
        screens.create(work.path());
        fillSampleData(*screens.Datamodule1);
        screens.FRrecibo->setClock([] { return kToday; });
        for (PeriodoForm *periodo : {static_cast<PeriodoForm *>(screens.FRabrerecibos1.get()),
                                     static_cast<PeriodoForm *>(screens.FRabrerecibos2.get()),
                                     static_cast<PeriodoForm *>(screens.FRabrerecibos3.get())})
            periodo->setClock([] { return kToday; });
        screens.FRdeclaracao->setClock([] { return kToday; });
        shootEverything(screens, camera, QDir(work.path()));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return camera.allWritten() && !screensFailed ? 0 : 1;
}
