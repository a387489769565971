#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

class PictureButton;
class TitlePanel;

// What the tiles open. The screens are created elsewhere; an opener left
// empty makes its tile do nothing.
struct MenuOpeners
{
    std::function<void()> FRcadastro;
    std::function<void()> FRrecibo;
    std::function<void()> frmBackup;
    std::function<void()> FRrelatorios;
    std::function<void()> FRcademitente;
    std::function<void(const QUrl &)> manual;
};

// The main menu, the program's main window: six picture tiles that open the
// screens modally, and the close picture that ends the program.
class FRprincipalForm : public QWidget
{
    Q_OBJECT
public:
    explicit FRprincipalForm(QWidget *parent = nullptr);

    // The manual is a page installed beside the program.
    static QUrl manualUrl(const QString &programFolder);

    void setOpeners(const MenuOpeners &openers);

    void Image1Click();
    void Image2Click();
    void Image3Click();
    void Image4Click();
    void Image7Click();
    void Image8Click();
    void Image9Click();
    void Label1Click();
    void Label8Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    PictureButton *addTile(int row, int column, const QString &imageName, const QString &picture, const QString &hint,
                           const QString &labelName, const QString &caption, PictureButton **label);
    static void run(const std::function<void()> &opener);

    TitlePanel *m_title;
    MenuOpeners m_openers;
};
