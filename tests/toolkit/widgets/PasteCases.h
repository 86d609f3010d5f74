#pragma once

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

// Pastes over a selection into a text of width 20, where the text around the selection, or the
// text replaced, shares characters with the paste: the saved text is the text around the
// selection with the start of the paste that fits between, never a cut inside the kept text.
// "E" stands for an emoji (two UTF-16 units, one character). Each case comes pasted by Ctrl+V and
// committed by an input method.
inline void pasteCases()
{
    QTest::addColumn<bool>("inputMethod");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("from");  // the selection, in characters of stored
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("saved");
    const auto e = [](QString text) { return text.replace(u'E', QString::fromUtf8("\xF0\x9F\x98\x80")); };
    const auto row = [&](const char* name, const char* stored, int from, int to, const char* pasted, const char* saved) {
        for (const bool inputMethod : {false, true})
            QTest::addRow("%s, %s", inputMethod ? "input method" : "paste", name)
                << inputMethod << e(stored) << from << to << e(pasted) << e(saved);
    };
    row("all: emoji replaced by letters then emoji", "EEEEEEEEEEEEEEEEEEEE", 0, 20, "aaaaaaaaaaaaaaaEEEEEE",
        "aaaaaaaaaaaaaaaEEEEE");
    row("all: replaced by the same letters, more of them", "xxxxxxxxxxxxxxxxxxxx", 0, 20,
        "xxxxxxxxxxxxxxxxxxxxxxxxx", "xxxxxxxxxxxxxxxxxxxx");
    row("middle: the replaced text ends as the paste does", "helloWORLD12345", 5, 10, "abcdefghiWORLD",
        "helloabcdefghiW12345");
    row("middle: the text before ends as the paste starts", "qqqqxxxxxxxxxx", 4, 6, "qqqqqqqqq",
        "qqqqqqqqqqqqxxxxxxxx");
    row("start: the replaced text starts the paste", "abcdefghijEEEEEE", 0, 3, "abcdefghij", "abcdefgdefghijEEEEEE");
    row("end: the replaced text ends the paste", "abcdef", 3, 6, "xxxxxxxxxxxxxxxxxdef", "abcxxxxxxxxxxxxxxxxx");
    row("end: at the cursor after the same letters", "kkkkkkkkkkkk", 12, 12, "kkkkkkkkk", "kkkkkkkkkkkkkkkkkkkk");
    row("middle: at the cursor between emoji", "EEEEEEEEEEEEEEEEEE", 9, 9, "ExE", "EEEEEEEEEExEEEEEEEEE");
}

// The current row of pasteCases().
struct PasteCase
{
    bool inputMethod;
    QString stored;
    int from, to;
    QString pasted, saved;
};

inline PasteCase fetchPasteCase()
{
    QFETCH(bool, inputMethod);
    QFETCH(QString, stored);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, pasted);
    QFETCH(QString, saved);
    return {inputMethod, stored, from, to, pasted, saved};
}

// The UTF-16 position of a character position of text.
inline int units(const QString& text, int characters)
{
    const QList<uint> points = text.toUcs4().mid(0, characters);
    const QString head = QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size());
    return int(head.size());
}

// Puts text in place of the control's selection as the user would: Ctrl+V, or an input method's commit.
inline void insertInto(QWidget* control, const QString& text, bool inputMethod)
{
    if (inputMethod) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(control, &commit);
    } else {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(control, Qt::Key_V, Qt::ControlModifier);
    }
}
