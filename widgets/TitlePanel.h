#pragma once

#include <QFrame>

class PictureButton;
class QLabel;

// The dark-teal panel across the top of a form: its caption, which begins with
// two blanks, and the close picture at its right end.
class TitlePanel : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kHeight = 49;

    TitlePanel(const QString &caption, const QString &closeName, QWidget *parent = nullptr);

    QString caption() const;
    PictureButton *closeButton() const { return m_close; }

private:
    QLabel *m_caption;
    PictureButton *m_close;
};
