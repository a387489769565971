#include "FRimagem.h"

#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "data/ErrorText.h"
#include "reportengine/PictureDecoding.h"
#include "widgets/DBImage.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>

namespace {

constexpr int kPreviewSize = 160;

} // namespace

QStringList FiltrosDoDialogo(const QString &filtro)
{
    const QStringList parts = filtro.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // The dialog reads the patterns from the parentheses of the text.
        const QString text = parts.at(i);
        const QString patterns = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (text.contains(QLatin1Char('(')) ? text : QStringLiteral("%1 (%2)").arg(text, patterns));
    }
    return filters;
}

QString PastaDeDados()
{
    const QString home = qEnvironmentVariable("QUINDELO_HOME");
    return home.isEmpty() ? QDir::home().filePath(QStringLiteral("Quindelo")) : home;
}

QString EscolheImagem(QWidget *parent, const QString &proposed)
{
    QFileDialog dialog(parent, QStringLiteral("Abrir"));
    dialog.setObjectName(QStringLiteral("opdImagem"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(FiltrosDoDialogo(FRimagemForm::kFiltro));
    const QFileInfo info(proposed);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());

    auto *preview = new QLabel(&dialog);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setFixedSize(kPreviewSize, kPreviewSize);
    preview->setFrameStyle(QFrame::Box | QFrame::Plain);
    preview->setAlignment(Qt::AlignCenter);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString &path) {
        // Decoded at the preview's size, so a large picture does not hold the dialog up.
        QImageReader reader(path);
        const QSize size = reader.size();
        if (size.isValid())
            reader.setScaledSize(size.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio));
        const QImage image = reader.read();
        preview->setPixmap(QPixmap::fromImage(image));
    });

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

FRimagemForm::FRimagemForm(DataModule &dataModule, QWidget *parent)
    : FormBase(QStringLiteral("FRimagem"), QStringLiteral("  Configurações do Sistema"), QStringLiteral("Image1"), parent),
      m_dm(dataModule),
      m_chooser(EscolheImagem),
      m_proposto(QDir(PastaDeDados()).filePath(QStringLiteral("Logomarca/Logomarca.bmp")))
{
    setWindowTitle(QStringLiteral("Carregar Imagem"));
    QWidget *area = body();
    area->setFixedSize(420, 330);

    Shape1 = new QFrame(area);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setGeometry(20, 16, 380, 200);
    DBImage1 = new DBImage(QStringLiteral("DBImage1"), area);
    DBImage1->setGeometry(24, 20, 372, 192);
    DBImage1->setDataField(&m_dm.Emitente, QStringLiteral("FOTO_MARC"));
    DBImage1->setEnabled(false);

    Panel1 = PictureButton::textPanel(QStringLiteral("Panel1"), QStringLiteral("Clique aqui e localize a LOGOMARCA"), area);
    Panel1->setGeometry(20, 230, 380, 40);
    Panel2 = PictureButton::textPanel(QStringLiteral("Panel2"), QStringLiteral("Excluir Logomarca"), area);
    Panel2->setGeometry(20, 278, 380, 40);

    connect(Panel1, &PictureButton::clicked, this, [this] { guarded([this] { CarregarImagem(); }); });
    connect(Panel2, &PictureButton::clicked, this, [this] { guarded([this] { Panel2Click(); }); });
}

void FRimagemForm::FormShow()
{
    m_dm.Emitente.open();
}

void FRimagemForm::CarregarImagem()
{
    const QString arquivo = m_chooser(this, m_proposto);
    if (arquivo.isEmpty())
        return;
    m_proposto = arquivo;
    Dataset &emitente = m_dm.Emitente;
    try {
        QFile file(arquivo);
        if (!file.open(QIODevice::ReadOnly))
            throw DatabaseError(QStringLiteral("Não foi possível ler o arquivo: %1.").arg(errortext::fileProblem(file)));
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw DatabaseError(QStringLiteral("Não foi possível ler o arquivo: %1.").arg(errortext::fileProblem(file)));
        // Only a picture takes the stored logo's place; it is stored as the file's bytes.
        if (!picturedecoding::isPicture(bytes))
            throw DatabaseError(QStringLiteral("O arquivo não é uma imagem BMP, JPEG ou PNG."));
        emitente.open();
        emitente.edit();
        emitente.fieldByName(QStringLiteral("FOTO_MARC")).setValue(bytes);
        emitente.post();
        m_dm.Tra.commitRetaining();
    } catch (const std::exception &error) {
        QApplication::beep();
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Quindelo"),
                        QStringLiteral("Erro ao carregar a imagem \"%1\" . ").arg(arquivo.toUpper())
                            + errordisplay::textOf(error),
                        QMessageBox::Ok, this);
        box.exec();
    }
}

void FRimagemForm::Panel2Click()
{
    Dataset &emitente = m_dm.Emitente;
    emitente.edit();
    emitente.fieldByName(QStringLiteral("FOTO_MARC")).clear();
    emitente.post();
    m_dm.Tra.commitRetaining();
}
