#pragma once

#include <QLineEdit>

class DataSource;
class FieldLink;
class LineEditLimit;

// A one-line edit bound to a field. It shows the field's text and follows the current row.
// Typing starts editing through the data source (auto-edit); when the dataset cannot edit,
// the keystroke is refused with a beep, and so is a character the field's type cannot take
// (integer fields take digits and signs only). At most the field's width in characters can be
// typed or pasted; a longer paste is cut at once. A loaded value shows from its start.
// Escape puts back the stored value. The text is written to the field before a post, on
// Enter and when the focus moves to another control, and only if the user changed it; a
// value the field refuses (FieldError) is shown in the error box and the text stays.
// Owns nothing but its link; the data source is not owned. GUI thread only.
class DBEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    DBEdit(DataSource* source, const QString& field, QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& field);
    DataSource* dataSource() const;
    QString fieldName() const;

    // Writes the user's pending text into the row now; throws FieldError or StoreError.
    void updateRecord();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    void userEdited();
    bool startEditing();

    FieldLink* m_link;
    LineEditLimit* m_limit;
};
