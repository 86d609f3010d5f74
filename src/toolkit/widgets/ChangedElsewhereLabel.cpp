#include "toolkit/widgets/ChangedElsewhereLabel.h"

#include <QApplication>
#include <QKeyEvent>

ChangedElsewhereLabel::ChangedElsewhereLabel(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("ChangedElsewhereLabel"));
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setContentsMargins(0, 0, fontMetrics().averageCharWidth(), 0);
    setMinimumWidth(fontMetrics().horizontalAdvance(notice()) + 2 * fontMetrics().averageCharWidth());
    // F5 may be a navigator's shortcut, which the window never sees as a key; every shortcut
    // is first offered to the focus control, and that is seen here.
    qApp->installEventFilter(this);
}

QString ChangedElsewhereLabel::notice()
{
    return QStringLiteral("Rows were changed by another user; press F5 to see them.");
}

void ChangedElsewhereLabel::noteChanges()
{
    setText(notice());
}

bool ChangedElsewhereLabel::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) && !text().isEmpty()
        && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == window()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F5 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
            clear();
    }
    return false;
}
