#ifndef OXADVANCEDSETTINGFORM_H
#define OXADVANCEDSETTINGFORM_H

#include "scanshortcut.h"

#include <QList>
#include <QMetaObject>
#include <QModelIndex>
#include <QWidget>

class PMessage;
namespace Ui {
class OxAdvancedSettingForm;
}

// The console's setting-tool page: stream outputs, image combining, image
// splitting and size alignment of the current profile. It keeps copies of the
// unit, resolution, input type and paper source that other pages own and
// follows their changes over the hub.
class OxAdvancedSettingForm : public QWidget
{
    Q_OBJECT
public:
    OxAdvancedSettingForm(PMessage *hub, QWidget *parent = nullptr);
    ~OxAdvancedSettingForm() override;

    bool updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void resetDialogIndex();
    // The General tab's value-change handlers and the edit notification
    // (PMessage::controlValueChanged) go on and off together.
    void connectAllChangeValueControlMessages();
    void disconnectAllChangeValueControlMessages();

    void clickedBtnHelp();
    void clickedBtnAbout();

public slots:
    void getSettingColorMode(ColorModeFlag colorMode);
    void clickedBtnSettingToolHide();
    void changeInputDocType(InputDocumentFlag inputDocId);
    void currentItemChangeToolGeneralSplitDoc(int nIndex);
    void currentItemChangeToolGeneralLength(int nIndex);
    void currentItemChangeCombineType(int nIndex);
    void changePaperSource(AdfPaperSourceFlag paperSource);
    void changedImageSizeUnit(ImageSizeUnitFlag unit);
    void changedDoubleSpinboxSingleStep(double step);
    void changeUnitSize(double lengthLeft, double lengthRight);
    void stateChangeManyCurrent();
    void stateChangeSaveSize();
    void changedResolution(ImageResolutionFlag resolution);
    void valueChangeLength();
    void stateChangeAlignTheSize();
    void clickedBtnReset();
    void clickedBtnAllSelect();
    void clickedListWidgetPageSize(const QModelIndex &index);

private:
    void initDialog();
    void connectMessage();
    void connectGeneralPageMessages();
    void connectSizePageMessage();
    void connectGeneralPageChangeValueControlMessages();
    void connectEditNotifications();
    void loadToolOxGeneralPageWording();
    void loadToolOxSizePageWording();
    void createOxGeneralSplitDoc();
    void createOxGeneralLength();
    void createOxCombineSite();
    void createOxScalingTo();
    void createOxCombineType(int inputDocument);
    void showCombineSiteOrScaling(int inputDocument);
    void enableSaveSizeForResolution();
    int checkedStreamCount() const;
    double shownFactor() const;

    Ui::OxAdvancedSettingForm *ui;
    PMessage *m_hub;
    ImageSizeUnitFlag m_unit = UnitCentimetre;
    InputDocumentFlag m_inputDocument = InputDocumentBoth;
    int m_resolution = 200;
    AdfPaperSourceFlag m_paperSource = PaperSourceFeeder;
    double m_pixelFactor = 200.0;
    QList<QMetaObject::Connection> m_changeConnections;
    QList<QMetaObject::Connection> m_notifyConnections;
};

#endif
