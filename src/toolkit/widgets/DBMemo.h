#pragma once

#include <QPlainTextEdit>

#include "toolkit/widgets/TextLimit.h"

class DataSource;
class FieldLink;

// A multi-line text box bound to a field, with a vertical scroll bar. Editing follows the rules
// of DBEdit (auto-edit on typing, refused keys beep, Escape puts back the stored value, the
// text is written before a post and when the focus moves on), except that Enter types a new
// line. At most the field's width in characters can be typed, and a tighter maximum length may
// be set (0: none); a paste longer than the room left is cut at once, in view. Tab moves the
// focus. The data source is not owned. GUI thread only.
class DBMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    DBMemo(DataSource* source, const QString& field, QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& field);
    DataSource* dataSource() const;
    QString fieldName() const;

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }

    // Writes the user's pending text into the row now; throws FieldError or StoreError.
    void updateRecord();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void showField();
    void userChanged();
    void rememberSpan();
    bool startEditing();
    // The field's width or the maximum length, the tighter; 0 for none.
    qsizetype limit() const;
    // Characters that can still be typed in place of the selection.
    qsizetype room() const;

    FieldLink* m_link;
    int m_maxLength = 0;
    bool m_showing = false;
    // The text as last shown or accepted, and the selection or cursor in it, to tell what a
    // change inserted.
    QString m_shown;
    TextLimit::Span m_replaced;
};
