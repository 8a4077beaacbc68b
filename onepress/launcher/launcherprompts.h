#ifndef LAUNCHERPROMPTS_H
#define LAUNCHERPROMPTS_H

// Small one-field prompts of the launcher: a new destination name and the
// keyword the output pipeline adds to a document; and a result notice that
// nothing opens yet.

#include <QDialog>
#include <QString>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class ScanDestination;

// The shared form: a label, one line edit, and OK and Cancel at the bottom right.
class Ui_PromptForm
{
public:
    QVBoxLayout *verticalLayout = nullptr;
    QLabel *label = nullptr;
    QLineEdit *lineEdit = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QPushButton *pushButtonOK = nullptr;
    QPushButton *pushButtonCancel = nullptr;

    void setupUi(QDialog *dialog, const QString &labelName, const QString &editName, int width,
                 int height, bool withEdit = true);
};

class Ui_SaveAsDialog : public Ui_PromptForm
{
};
class Ui_AddKeywordsDialog : public Ui_PromptForm
{
};
class Ui_DetectResultDialog : public Ui_PromptForm
{
};

// Centres a dialog on the desktop, halves truncated.
void centreOnDesktop(QWidget *w);

class SaveAsDialog : public QDialog
{
    Q_OBJECT
public:
    SaveAsDialog(ScanDestination *store, QString name, QWidget *parent = nullptr);
    ~SaveAsDialog() override;

    void getNewDestName(QString &name) { name = m_strName; }
    Ui_SaveAsDialog *form() const { return ui; }

public slots:
    void clickedBtnOK();

private:
    void initDialog();
    void loadWordingList();
    void connectMessages();
    void adjustWindow();

    Ui_SaveAsDialog *ui;
    ScanDestination *m_pStore;
    QString m_strName;
};

class AddKeywordsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AddKeywordsDialog(QWidget *parent = nullptr);
    ~AddKeywordsDialog() override;

    // Untrimmed: the caller trims.
    QString getKeywords() const;
    Ui_AddKeywordsDialog *form() const { return ui; }

public slots:
    void clickedBtnOK();

private:
    void initDialog();
    void loadWordingList();
    void connectMessages();
    void adjustWindow();

    Ui_AddKeywordsDialog *ui;
};

class DetectResultDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DetectResultDialog(QWidget *parent = nullptr);
    ~DetectResultDialog() override;

    Ui_DetectResultDialog *form() const { return ui; }

public slots:
    void clickedBtnOK();

private:
    Ui_DetectResultDialog *ui;
};

#endif // LAUNCHERPROMPTS_H
