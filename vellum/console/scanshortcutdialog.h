#ifndef SCANSHORTCUTDIALOG_H
#define SCANSHORTCUTDIALOG_H

#include <QDialog>
#include <QString>

class ScanShortcutMenu;

namespace Ui {
class SaveAsDialog;
}

// Name and icon of a profile, for Save As (a new name is required) and for
// Rename (any name that is not empty).
class ScanShortcutDialog : public QDialog
{
    Q_OBJECT
public:
    ScanShortcutDialog(bool saveAs, ScanShortcutMenu *store, QWidget *parent = nullptr);
    ~ScanShortcutDialog() override;

    void getScanShortcutInfo(QString &name, QString &icon) const;

    // Stores a picked image in the profile icons directory under the lower-case
    // MD5 of its content plus its suffix, once; the icon name, or an empty
    // text when the file cannot be read or is no image.
    static QString storeIconFile(const QString &imagePath, const QString &iconsDir);

public slots:
    void clickedBtnBrowse();
    void clickedBtnSave();

private:
    Ui::SaveAsDialog *ui;
    bool m_saveAs;
    ScanShortcutMenu *m_store;
    QString m_iconName;
    QString m_profileName;
};

#endif
