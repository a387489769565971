#pragma once

#include "widgets/FormBase.h"

#include <functional>

class DataModule;
class DBImage;
class PictureButton;
class QFrame;

// Loads a picture file as the issuer's logo, stored byte for byte and
// committed at once, or removes the logo.
class FRimagemForm : public FormBase
{
    Q_OBJECT
public:
    // The file filter of the open-picture dialog, one "text|patterns" pair after another.
    static inline const QString kFiltro =
        QStringLiteral("Bitmaps (*.bmp)|*.bmp|Jpeg (*.jpg)|*.jpg|Png (*.png)|*.png");

    // Asks for a picture file, proposing one; the empty text when cancelled.
    using FileChooser = std::function<QString(QWidget *parent, const QString &proposed)>;

    explicit FRimagemForm(DataModule &dataModule, QWidget *parent = nullptr);

    // Tests put their own chooser in place of the file dialog.
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    // The file the next dialog proposes: Logomarca/Logomarca.bmp in the data
    // folder at first, then the file chosen last.
    QString proposedFile() const { return m_proposto; }

    void FormShow() override;
    void CarregarImagem();
    void Panel2Click();

    DBImage *DBImage1;
    QFrame *Shape1;
    PictureButton *Panel1;
    PictureButton *Panel2;


private:
    DataModule &m_dm;
    FileChooser m_chooser;
    QString m_proposto;
};

// The name filters of a file dialog for a filter in "text|patterns|..." form.
QStringList FiltrosDoDialogo(const QString &filtro);

// The program's data folder: $QUINDELO_HOME, or ~/Quindelo.
QString PastaDeDados();

// The file dialog with a picture preview beside the file list.
QString EscolheImagem(QWidget *parent, const QString &proposed);
