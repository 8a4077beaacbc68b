#ifndef OPTIONDIALOGS_H
#define OPTIONDIALOGS_H

// Options of the task being edited: the text-recognition language, the
// blank-page threshold and the watermark.

#include "taskshortcut.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;

class OcrSettingDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OcrSettingDialog(QWidget *parent = nullptr);
    QListWidget *languages() const { return m_pList; }

private:
    QLabel *m_pLabel;
    QListWidget *m_pList;
};

class BlankImageSizeDialog : public QDialog
{
    Q_OBJECT
public:
    BlankImageSizeDialog(int threshold, QWidget *parent = nullptr);
    int getBlankPageThreshold() const { return m_nThreshold; }
    QSlider *slider() const { return m_pSlider; }

public slots:
    void clickedBtnOK();

private:
    int m_nThreshold;
    QSlider *m_pSlider;
};

class Ui_WatermarkSettingDialog
{
public:
    QLabel *labelCharacters, *labelFontName, *labelFontSize;
    QLineEdit *lineEditWatermark;
    QCheckBox *checkBoxIncludeSystemDate, *checkBoxPageNumber, *checkBoxDateTime;
    QGroupBox *groupBoxAdvSetting;
    QFontComboBox *fontComboBox;
    QComboBox *comboBoxFontSize;
    QPushButton *pushButtonOK, *pushButtonCancel;
    void setupUi(QDialog *dialog);
};

class WatermarkSettingDialog : public QDialog
{
    Q_OBJECT
public:
    static const int kSizes[16];

    WatermarkSettingDialog(tagWATERMARK watermark, QWidget *parent = nullptr);
    ~WatermarkSettingDialog() override;
    void getWatermark(tagWATERMARK &watermark) const { watermark = m_watermark; }
    Ui_WatermarkSettingDialog *form() const { return ui; }

public slots:
    void clickedBtnOK();

private:
    void updateVariableToControl();

    Ui_WatermarkSettingDialog *ui;
    tagWATERMARK m_watermark;
};

#endif // OPTIONDIALOGS_H
