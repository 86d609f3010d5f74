#include "toolkit/widgets/DBNavigator.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMetaEnum>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QToolButton>

#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StaleRows.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBLookupComboBox.h"
#include "toolkit/widgets/FieldLink.h"
#include "toolkit/widgets/RecordDelete.h"

namespace {

constexpr int GlyphSize = 16;

// Plain glyphs in the manner of classic record navigators, drawn once per button.
QIcon glyph(DBNavigator::Button button, const QColor& ink)
{
    QPixmap pixmap(GlyphSize, GlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto triangle = [&](qreal tipX, qreal baseX) {
        QPainterPath path;
        path.moveTo(tipX, 8);
        path.lineTo(baseX, 3);
        path.lineTo(baseX, 13);
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (button) {
    case DBNavigator::First:
        p.drawRect(QRectF(3, 3, 2, 10));
        triangle(5.5, 12);
        break;
    case DBNavigator::Prior:
        triangle(4.5, 11);
        break;
    case DBNavigator::Next:
        triangle(11.5, 5);
        break;
    case DBNavigator::Last:
        triangle(10.5, 4);
        p.drawRect(QRectF(11, 3, 2, 10));
        break;
    case DBNavigator::Insert:
        p.drawRect(QRectF(7, 3, 2, 10));
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case DBNavigator::Delete:
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case DBNavigator::Edit: {
        QPainterPath path;
        path.moveTo(8, 3.5);
        path.lineTo(13, 12);
        path.lineTo(3, 12);
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case DBNavigator::Post:
        p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{QPointF(3.5, 8.5), QPointF(6.5, 11.5), QPointF(12.5, 4.5)});
        break;
    case DBNavigator::Cancel:
        p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
        break;
    case DBNavigator::Refresh: {
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3.5, 3.5, 9, 9), 100 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF{QPointF(7, 1), QPointF(10.5, 3.8), QPointF(7, 6.5)});
        break;
    }
    }
    return QIcon(pixmap);
}

QColor inkOf(DBNavigator::Button button)
{
    switch (button) {
    case DBNavigator::Post: return QColor(0, 128, 0);
    case DBNavigator::Cancel: return QColor(176, 0, 0);
    default: return QColor(0, 0, 128);
    }
}

}

DBNavigator::DBNavigator(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QList<QKeySequence> keys = shortcuts();
    for (int i = 0; i < ButtonCount; ++i) {
        const auto which = Button(i);
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(QMetaEnum::fromType<Button>().valueToKey(i)));
        b->setIcon(glyph(which, inkOf(which)));
        b->setIconSize(QSize(GlyphSize, GlyphSize));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumSize(23, 25);
        connect(b, &QToolButton::clicked, this, [this, which] { click(which); });
        layout->addWidget(b);
        m_buttons[i] = b;
        m_shortcuts[i] = new QShortcut(keys[i], this, [this, which] {
            if (!m_buttons[which]->isHidden() && m_buttons[which]->isEnabled())
                click(which);
        });
        m_shortcuts[i]->setEnabled(false);
    }
    m_save = new QShortcut(saveShortcut(), this, [this] {
        if (!m_buttons[Post]->isHidden() && m_buttons[Post]->isEnabled())
            click(Post);
    });
    m_save->setEnabled(false);
    setHints({});
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(qApp, &QApplication::focusChanged, this, &DBNavigator::updateShortcuts);
    updateButtons();
}

QList<QKeySequence> DBNavigator::shortcuts()
{
    return {QKeySequence(Qt::ALT | Qt::Key_Home),   QKeySequence(Qt::ALT | Qt::Key_PageUp),
            QKeySequence(Qt::ALT | Qt::Key_PageDown), QKeySequence(Qt::ALT | Qt::Key_End),
            QKeySequence(Qt::ALT | Qt::Key_Insert), QKeySequence(Qt::ALT | Qt::Key_Delete),
            QKeySequence(Qt::ALT | Qt::Key_F2),     QKeySequence(Qt::ALT | Qt::Key_Return),
            QKeySequence(Qt::ALT | Qt::Key_Backspace), QKeySequence(Qt::Key_F5)};
}

QKeySequence DBNavigator::saveShortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_S);
}

bool DBNavigator::serves(QWidget* focus) const
{
    if (!focus || !m_source || focus->window() != window())
        return false;
    for (QWidget* w = focus; w && w != window(); w = w->parentWidget()) {
        if (auto* grid = qobject_cast<DBGrid*>(w))
            return grid->dataSource() == m_source;
        if (auto* link = w->findChild<FieldLink*>(QString(), Qt::FindDirectChildrenOnly))
            return link->dataSource() == m_source;
    }
    // A control bound to nothing (a search box, a button): the navigator beside it.
    return parentWidget() && parentWidget()->isAncestorOf(focus);
}

void DBNavigator::updateShortcuts()
{
    const bool mine = serves(QApplication::focusWidget());
    for (QShortcut* shortcut : m_shortcuts)
        shortcut->setEnabled(mine);
    m_save->setEnabled(mine);
}

DBNavigator::DBNavigator(DataSource* source, QWidget* parent)
    : DBNavigator(parent)
{
    setDataSource(source);
}

void DBNavigator::setDataSource(DataSource* source)
{
    for (auto& link : m_links)
        disconnect(link);
    m_source = source;
    if (source) {
        m_links[0] = connect(source, &DataSource::dataChanged, this, &DBNavigator::updateButtons);
        m_links[1] = connect(source, &DataSource::stateChanged, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

QList<DBNavigator::Button> DBNavigator::allButtons()
{
    return {First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh};
}

void DBNavigator::setVisibleButtons(const QList<Button>& buttons)
{
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setVisible(buttons.contains(Button(i)));
}

QList<DBNavigator::Button> DBNavigator::visibleButtons() const
{
    QList<Button> shown;
    for (int i = 0; i < ButtonCount; ++i)
        if (!m_buttons[i]->isHidden())
            shown.append(Button(i));
    return shown;
}

QStringList DBNavigator::defaultHints()
{
    return {QStringLiteral("First record"), QStringLiteral("Prior record"), QStringLiteral("Next record"),
            QStringLiteral("Last record"),  QStringLiteral("Insert record"), QStringLiteral("Delete record"),
            QStringLiteral("Edit record"),  QStringLiteral("Post edit"),     QStringLiteral("Cancel edit"),
            QStringLiteral("Refresh data")};
}

void DBNavigator::setHints(const QStringList& hints)
{
    const QStringList standard = defaultHints();
    for (int i = 0; i < ButtonCount; ++i) {
        m_hints[i] = i < hints.size() && !hints[i].isEmpty() ? hints[i] : standard[i];
        QString keys = m_shortcuts[i]->key().toString(QKeySequence::NativeText);
        if (i == Post)
            keys += QStringLiteral(", ") + m_save->key().toString(QKeySequence::NativeText);
        m_buttons[i]->setToolTip(QStringLiteral("%1 (%2)").arg(m_hints[i], keys));
    }
}

QStringList DBNavigator::hints() const
{
    return QStringList(std::begin(m_hints), std::end(m_hints));
}

void DBNavigator::setFlat(bool flat)
{
    m_flat = flat;
    for (QToolButton* b : m_buttons)
        b->setAutoRaise(flat);
}

void DBNavigator::updateButtons()
{
    Dataset* ds = m_source ? m_source->dataset() : nullptr;
    const bool active = ds && ds->isActive();
    const bool editing = active && ds->isEditing();
    const bool canModify = active && !ds->isReadOnly();
    const bool hasRow = active && !ds->isEmpty();
    const bool atTop = !hasRow || ds->bof() || ds->recNo() <= 0;
    const bool atBottom = !hasRow || ds->eof() || ds->recNo() >= ds->recordCount() - 1;
    const bool enabled[ButtonCount] = {
        !atTop, !atTop, !atBottom, !atBottom,
        canModify, canModify && hasRow, canModify && hasRow && !editing,
        canModify && editing, canModify && editing, active,
    };
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setEnabled(enabled[i]);
}

void DBNavigator::click(Button which)
{
    Dataset* ds = m_source ? m_source->dataset() : nullptr;
    if (!ds)
        return;
    if (guarded([&] { act(which, *ds); })) {
        // What the user types next belongs to the new row, not to the control they were in.
        if (which == Insert)
            focusFirstField();
        emit clicked(which);
    }
    updateButtons();
}

bool DBNavigator::focusFirstField()
{
    if (!m_source)
        return false;
    auto edits = [this](QWidget* w) {
        if (!w->isVisibleTo(window()) || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
            return false;
        if (auto* grid = qobject_cast<DBGrid*>(w))
            return grid->dataSource() == m_source;
        if (w->property("readOnly").toBool())
            return false;
        if (auto* lookup = qobject_cast<DBLookupComboBox*>(w); lookup && lookup->isReadOnly())
            return false;
        auto* link = w->findChild<FieldLink*>(QString(), Qt::FindDirectChildrenOnly);
        return link && link->dataSource() == m_source;
    };
    QWidget* first = nullptr;
    for (QWidget* w = window()->nextInFocusChain(); w != window(); w = w->nextInFocusChain()) {
        if (!edits(w))
            continue;
        if (parentWidget() && parentWidget()->isAncestorOf(w)) {
            first = w;
            break;
        }
        if (!first)
            first = w;
    }
    if (first)
        first->setFocus(Qt::OtherFocusReason);
    return first;
}

void DBNavigator::act(Button which, Dataset& dataset)
{
    switch (which) {
    case First: dataset.first(); break;
    case Prior: dataset.prior(); break;
    case Next: dataset.next(); break;
    case Last: dataset.last(); break;
    case Insert: dataset.insert(); break;
    case Delete:
        if (m_confirmDelete)
            deleteWithQuestion(dataset);
        else
            dataset.deleteRecord();
        break;
    case Edit: dataset.edit(); break;
    case Post: dataset.post(); break;
    case Cancel: dataset.cancel(); break;
    case Refresh: StaleRows::rereadWithSources(&dataset); break;
    }
}
