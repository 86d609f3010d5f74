#pragma once

#include <array>

#include <QDialog>

#include "profile/Questionnaire.h"

class Dataset;
class HintHook;
class PageControl;
class QLabel;
class QPlainTextEdit;
class RadioGroup;
class TMainDataModule;

// The profile window: the 24 questions of the current person of the Clients page on two tabs,
// the tactic advice on the third. Made once at start-up and shown modally as often as asked;
// closing only hides it. Each click on a question writes that answer at once; the advice is
// worked out from the stored answers each time the window opens or the Tactics tab is picked.
// The answers dataset follows PeopleCompanyDet of the data module, which must outlive the
// window. The constructor opens it and throws StoreError when that fails. GUI thread only.
class TRetail : public QDialog
{
    Q_OBJECT
public:
    explicit TRetail(TMainDataModule& dataModule, QWidget* parent = nullptr);
    ~TRetail() override;

    // Centres the window on the screen and shows it modally for the current person.
    int showForCurrentPerson();

    RadioGroup* radioGroup(int question) const { return m_groups.at(size_t(question - 1)); }

    PageControl* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QLabel* Label3;
    QLabel* Label1;
    QPlainTextEdit* AssertTip;
    QPlainTextEdit* ResponTip;
    QPlainTextEdit* Memo1;
    HintHook* ApplicationEvents1;
    Dataset* QMainTable;

    // True only while stored answers are put into the groups, so that nothing is written back.
    bool Loading = false;

    void AddQuestionsClick();
    void LoadDataClick();
    bool LocateQuestion(int question);
    void RadioGroup1Click(RadioGroup* sender);
    void CalculateClick();

protected:
    // The modal loop; tests replace it so that nothing waits for a user.
    virtual int execModal();

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void PageControl1Change();
    void ApplicationEvents1ShowHint(const QString& hint);
    void Memo1MouseMove();
    // The keyboard focus came to focus: inside a question, its hint goes to the tip boxes.
    void RadioGroupEnter(QWidget* focus);

    QWidget* makeQuestionPage(const QString& caption, int firstQuestion, QLabel*& label, QPlainTextEdit*& tip);
    QPlainTextEdit* makeTipBox(QWidget* parent);
    void buildTactics();
    // Re-reads the current person's rows from the file, new and removed rows included.
    void reread();
    // The stored answers by question; -1 for a question without a row or with an empty answer.
    std::array<int, Questionnaire::QuestionCount> storedAnswers() const;
    void showAnswers(const std::array<int, Questionnaire::QuestionCount>& answers);

    TMainDataModule* m_dataModule;
    std::array<RadioGroup*, Questionnaire::QuestionCount> m_groups{};
    // The application's focus signal, cut first when the window goes: its children losing the
    // focus as they are destroyed must not reach a window already half gone.
    QMetaObject::Connection m_focusFollow;
};
