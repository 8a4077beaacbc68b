#ifndef TASKSHORTCUTDIALOG_H
#define TASKSHORTCUTDIALOG_H

// Names a new task or renames the shown one and gives it a button picture,
// stored once in the user's icon folder under the MD5 of its content.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class TaskShortcut;

class Ui_TaskShortcutDialog
{
public:
    QLabel *labelText = nullptr;
    QLineEdit *lineEditText = nullptr;
    QLabel *labelGraphicsText = nullptr;
    QLabel *labelImage = nullptr;
    QPushButton *pushButtonBrowse = nullptr;
    QPushButton *pushButtonOK = nullptr;
    QPushButton *pushButtonCancel = nullptr;
    void setupUi(QDialog *dialog);
};

class TaskShortcutDialog : public QDialog
{
    Q_OBJECT
public:
    TaskShortcutDialog(bool create, TaskShortcut *store, QWidget *parent = nullptr);
    ~TaskShortcutDialog() override;

    void getTaskShortcutInfo(QString &name, QString &icon);
    // Copies a picture into the user's icon folder; the stored file name, or
    // empty when the file is no readable picture or could not be stored.
    static QString storeIcon(const QString &file, QString *problem = nullptr);
    // The picture chooser; tests replace the system dialog.
    static void setFileChooser(QString (*chooser)(QWidget *, const QString &, const QString &,
                                                  const QString &));
    Ui_TaskShortcutDialog *form() const { return ui; }

public slots:
    void clickedBtnBrowse();
    void clickedBtnOK();

private:
    void initDialog();
    void loadWordingList();
    void connectMessages();
    void loadResource();

    Ui_TaskShortcutDialog *ui;
    bool m_bCreate;
    TaskShortcut *m_pStore;
    QString m_strIcon;
    QString m_strName;
};

#endif // TASKSHORTCUTDIALOG_H
