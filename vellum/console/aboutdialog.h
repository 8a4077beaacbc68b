#ifndef ABOUTDIALOG_H
#define ABOUTDIALOG_H

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;

// The modal About box: product name, version line, picture and licence page.
// Self-contained (its picture and licence are in its own resources), since the
// launcher shows the same box.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

    static QString versionLine();

private:
    void initDialog();
    void loadWordingList();
    void loadIcon();
    void loadLicenseFile();
    void adjustWindow();

    QLabel *m_labelAboutImage;
    QLabel *m_labelName;
    QLabel *m_labelVersion;
    QTextEdit *m_textEditLicense;
    QPushButton *m_pushButtonOK;
};

#endif
