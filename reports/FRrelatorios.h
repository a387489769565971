#pragma once

#include "widgets/FormBase.h"

class PictureButton;

// The report menu: a tile per receipt list, each opening its period screen.
class FRrelatoriosForm : public FormBase
{
    Q_OBJECT
public:
    explicit FRrelatoriosForm(QWidget *parent = nullptr);

    void Image5Click();
    void Image2Click();
    void Image3Click();

private:
    void addTile(PictureButton *image, const QString &label, int row, int column);
};

extern FRrelatoriosForm *FRrelatorios;
