#pragma once

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

// DataSource.h needs Dataset complete for its inline QPointer access.
#include "toolkit/db/Dataset.h"
#include "toolkit/db/DataSource.h"

class QKeySequence;
class QShortcut;
class QToolButton;

// A record navigator: up to ten small buttons that move through a data source's dataset and
// change it (first, prior, next, last, insert, delete, edit, post, cancel, and refresh, which
// reads the rows anew with StaleRows::rereadWithSources). A chosen
// set is visible; each button has a hint (a tooltip, settable in button order) and is enabled
// only when its action makes sense in the dataset's state. Delete asks the delete question
// first (the dataset's own question, else "Delete record?") through the installed
// MessageService. Every action runs under the action guard; after an action that did not fail,
// clicked() reports the button. The buttons take no focus, so a control being edited keeps
// it; instead each visible, enabled button has a key (shortcuts(), shown after the hint in its
// tooltip) that acts while the focus is in a control of the window bound to the navigator's data
// source, or in an unbound control beside the navigator; Ctrl+S (saveShortcut()) also posts. The
// keys leave text editing alone. After an insert the focus goes to the new row's first field.
// The data source is not owned. GUI thread only.
class DBNavigator : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(DataSource* dataSource READ dataSource)
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)

    explicit DBNavigator(QWidget* parent = nullptr);
    explicit DBNavigator(DataSource* source, QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }

    static QList<Button> allButtons();
    void setVisibleButtons(const QList<Button>& buttons);
    QList<Button> visibleButtons() const;

    // Hints in button order; a missing or empty entry keeps the standard hint.
    void setHints(const QStringList& hints);
    QStringList hints() const;
    static QStringList defaultHints();
    // The buttons' keys, in button order.
    static QList<QKeySequence> shortcuts();
    // The second key of post, the one most programs save with.
    static QKeySequence saveShortcut();

    void setFlat(bool flat);
    bool isFlat() const { return m_flat; }
    void setConfirmDelete(bool confirm) { m_confirmDelete = confirm; }

    QToolButton* button(Button which) const { return m_buttons[which]; }
    // Does what pressing the button does, also when it is hidden or disabled.
    void click(Button which);
    // Gives the focus to the first control of the window, in Tab order, that edits the data
    // source's rows: beside the navigator first, else anywhere in the window. Returns whether
    // there was one.
    bool focusFirstField();

signals:
    void clicked(DBNavigator::Button button);

private:
    void updateButtons();
    // Whether the navigator's keys belong to the control with the focus.
    bool serves(QWidget* focus) const;
    void updateShortcuts();
    void act(Button which, Dataset& dataset);

    static constexpr int ButtonCount = 10;
    QPointer<DataSource> m_source;
    QToolButton* m_buttons[ButtonCount];
    QShortcut* m_shortcuts[ButtonCount];
    QShortcut* m_save;
    QString m_hints[ButtonCount];
    bool m_flat = false;
    bool m_confirmDelete = true;
    QMetaObject::Connection m_links[2];
};
