#pragma once

#include <QObject>

// Reports every hint (tooltip) of the application just before it is shown, so a window can
// copy the text elsewhere. It watches the whole application while it lives; the hint itself
// is shown as usual. GUI thread only.
class HintHook : public QObject
{
    Q_OBJECT
public:
    explicit HintHook(QObject* parent = nullptr);
    ~HintHook() override;

signals:
    void hintShown(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
