#pragma once

#include <QWidget>

class QLabel;

// The picture shown while the program starts: borderless, centred, 400 x 300, with the
// single-computer and the network edition's pictures on top of each other.
class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

    QLabel* PCVNbmp;
    QLabel* NETVNbmp;

    // The edition's picture, drawn here so the program ships no image files.
    static QPixmap editionPicture(bool network);
};
