#ifndef CHANGEMESSAGEDIALOG_H
#define CHANGEMESSAGEDIALOG_H

#include "scanshortcut.h"
#include "stamptextflags.h"

#include <QDate>
#include <QDialog>
#include <QString>
#include <QTime>

class PMessage;
class QAction;
class QMenu;
class Ui_ChangeMessageDialog;

// The imprinter text template editor. Items are known only by their visible
// names; OK rewrites every template field of the borrowed stamp block, Cancel
// leaves it untouched.
class ChangeMessageDialog : public QDialog
{
    Q_OBJECT
public:
    // The template has room for this many items; Add is disabled when full.
    static constexpr int MaxItems = 40;
    static constexpr int MessageUnits = 20;

    ChangeMessageDialog(tagSTAMP_CONFIG *stamp, PMessage *hub, QWidget *parent = nullptr);
    ~ChangeMessageDialog() override;

    // Samples of the device page's summary and the example shown on opening.
    static QString getDateFormat(int delimiter, int format, bool specific, QDate date);
    static QString getTimeFormat(bool specific, int format, QTime time);
    static QString getCounterFormat(int width, int mode);
    static QString transformTimeFormat(QTime time, QString pattern);

    // Samples of the live example. The time's flag asks for the label.
    QString parserDate(StampTextDateFormatFlag format, StampTextDateDelimiterFlag delimiter,
                       QString date, bool specific) const;
    QString parserTime(StampTextTimeFormatFlag format, QString time, bool label) const;
    QString parserCounter(StampTextIndexFormatFlag mode, int width) const;

    // Name of an item code, and the code of a name (0 when unknown).
    static QString itemName(char code);
    static char itemCode(const QString &name);

    void dateVisiable();
    void timeVisiable();
    void counterVisiable();
    void message1Visiable();
    void message2Visiable();
    void message3Visiable();
    void message4Visiable();
    void message5Visiable();
    void message6Visiable();
    void blankVisiable();
    void newLineVisiable();
    void updateListFormat();

public slots:
    void clickedEnsureBtn();
    void clickedCancelBtn();
    void itemClicked();
    void clickedDeleteItem();
    void clickedMoveUpItem();
    void clickedMoveDownItem();
    void triggeredAddDate();
    void triggeredAddTime();
    void triggeredAddCounter();
    void triggeredAddMessage1();
    void triggeredAddMessage2();
    void triggeredAddMessage3();
    void triggeredAddMessage4();
    void triggeredAddMessage5();
    void triggeredAddMessage6();
    void triggeredAddBlank();
    void triggeredAddNewLine();
    void triggeredChangeDate();
    void triggeredChangeTime();
    void triggeredChangeCounter();
    void triggeredChangeMessage1();
    void triggeredChangeMessage2();
    void triggeredChangeMessage3();
    void triggeredChangeMessage4();
    void triggeredChangeMessage5();
    void triggeredChangeMessage6();
    void triggeredChangeBlank();
    void triggeredChangeNewLine();
    void currentDateCheckStateOrIndexChange();
    void currentTimeCheckStateOrIndexChange();
    void currentCounterValueOrIndexChange();
    void currentMessageChange();
    void updateStampIndexValue();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void initDialog();
    void loadPage();
    void loadPageWording();
    void transitionPage();
    void createDatePage();
    void createTimePage();
    void createCounterPage();
    void loadUserList();
    void connectMessage();
    void connectAddAndChange();
    void disconnectMessage();
    void adjustWindow();

    void showPageOf(const QString &name);
    void showGroup(int index);
    void applyRowRule();
    void updateAddState();
    void appendExample(const QString &piece);
    void addItem(char code);
    void changeItem(char code);

    Ui_ChangeMessageDialog *ui;
    PMessage *m_hub;
    tagSTAMP_CONFIG *m_stamp;
    QMenu *m_menuAdd;
    QMenu *m_menuChange;
    int m_nStoredWidth;
};

#endif
