#include "ui/main/PickDate.h"

#include <QFrame>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "toolkit/widgets/MonthCalendar.h"

TPickDateForm::TPickDateForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("PickDateForm"));
    setWindowTitle(QStringLiteral("Pick Date"));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Panel);
    Bevel1->setFrameShadow(QFrame::Sunken);
    MonthCalendar1 = new MonthCalendar(Bevel1);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    auto* bevelLayout = new QVBoxLayout(Bevel1);
    bevelLayout->setContentsMargins(4, 4, 4, 4);
    bevelLayout->addWidget(MonthCalendar1);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    // Enter in the calendar accepts as OK does; a double-click only picks the day.
    connect(MonthCalendar1, &MonthCalendar::returnPressed, Button1, &QPushButton::click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Bevel1);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

void TPickDateForm::FormCreate()
{
    MonthCalendar1->setSelectedDate(QDate::currentDate());
}

int TPickDateForm::showModalWindow()
{
    adjustSize();
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    return exec();
}

QDate TPickDateForm::date() const
{
    return MonthCalendar1->selectedDate();
}
