#pragma once

#include <QDateEdit>

// A date picker for day, month and year whose calendar drops down aligned to
// the picker's right edge.
class DateEdit : public QDateEdit
{
    Q_OBJECT
public:
    explicit DateEdit(const QString &objectName, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
