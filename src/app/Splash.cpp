#include "app/Splash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace {
constexpr int Width = 400;
constexpr int Height = 300;
}

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(Width, Height);
    setCursor(Qt::WaitCursor);
    auto picture = [this](const char* name, bool network) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(0, 0, Width, Height);
        label->setAlignment(Qt::AlignCenter);
        label->setPixmap(editionPicture(network));
        return label;
    };
    PCVNbmp = picture("PCVNbmp", false);
    NETVNbmp = picture("NETVNbmp", true);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QPixmap TSplashForm::editionPicture(bool network)
{
    QImage image(Width, Height, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, Height);
    sky.setColorAt(0, QColor(18, 44, 92));
    sky.setColorAt(1, QColor(52, 110, 170));
    p.fillRect(image.rect(), sky);

    // Five rising bars: the buying roles that a sale has to win over.
    const QColor bars[] = {QColor(240, 190, 60), QColor(120, 200, 120), QColor(100, 170, 230),
                           QColor(230, 120, 90), QColor(190, 150, 220)};
    for (int i = 0; i < 5; ++i)
        p.fillRect(QRect(250 + i * 26, 190 - i * 22, 18, 60 + i * 22), bars[i]);

    p.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(24, 40, 360, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vornadel"));
    QFont sub(QStringLiteral("DejaVu Sans"), 14);
    p.setFont(sub);
    p.drawText(QRect(26, 92, 360, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lite  ·  version 1.0"));
    QFont small(QStringLiteral("DejaVu Sans"), 9);
    p.setFont(small);
    p.drawText(QRect(26, 124, 220, 60), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Accounts, buying roles and client profiles for the solution salesperson"));
    if (network) {
        p.setPen(QPen(QColor(255, 220, 80), 3));
        p.drawRoundedRect(QRect(24, 230, 170, 36), 6, 6);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 12, QFont::Bold));
        p.drawText(QRect(24, 230, 170, 36), Qt::AlignCenter, QStringLiteral("Network edition"));
    } else {
        p.setFont(small);
        p.drawText(QRect(26, 250, 200, 20), Qt::AlignLeft, QStringLiteral("Single-computer edition"));
    }
    p.end();
    return QPixmap::fromImage(image);
}
