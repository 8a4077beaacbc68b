#ifndef SETTINGTOOLFORM_H
#define SETTINGTOOLFORM_H

#include "corvanglobal.h"
#include "scanshortcut.h"

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

class PMessage;
class QGroupBox;
class QIcon;
class QListWidgetItem;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;
class SettingToolContentForm;
namespace Ui {
class SettingToolForm;
}

// The exported image tool form: how documents are fed and split, which images
// each side yields (the two image lists), how front and back are combined,
// and the auto-colour content settings. It edits the image tool bytes of a
// profile record and talks to its host only through the hub.
class VELLUM_EXPORT SettingToolForm : public QWidget
{
    Q_OBJECT
public:
    SettingToolForm(PMessage *hub, QWidget *parent = nullptr);
    ~SettingToolForm() override;

    bool updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void initcontrol(tagSCAN_SHORTCUT_MENU &profile);
    void connectAllChangeValueControlMessages();
    void disconnectAllChangeValueControlMessages();
    void resetDialogIndex();
    void updatePaperSourceState(int paperSource);

    // Kind of an image list entry; the values are those of ColorModeFlag.
    enum ImageKind { KindBlackWhite = 0, KindGray = 1, KindColor = 2 };

public slots:
    void clickedBtnSettingToolHide();
    void changeInputDocType(InputDocumentFlag inputDocId);
    void getSettingColorMode(ColorModeFlag ColorModeID, SettingToolSideFlag SettingToolSideID,
                             int colorCount);
    void changePaperSource(AdfPaperSourceFlag AdfPaperSourceID);
    void currentItemChangeToolGeneralInputDoc(int nIndex);
    void currentItemChangeToolGeneralSleevedDoc(int nIndex);
    void currentItemChangeToolGeneralSplitDoc(int nIndex);
    void currentItemChangeToolGeneralLength(int nIndex);
    void currentItemChangeToolImageCombine(int nIndex);
    void currentItemChangeToolImagePerImage(int nIndex);
    void stateChangedFrontAndBackDidderent();
    void triggeredImageListFrontChangeColor();
    void triggeredImageListFrontChangeGray();
    void triggeredImageListFrontChangeBlackWhite();
    void triggeredImageListBackChangeColor();
    void triggeredImageListBackChangeGray();
    void triggeredImageListBackChangeBlackWhite();
    void triggeredImageListFrontAddColor();
    void triggeredImageListFrontAddGray();
    void triggeredImageListFrontAddBlackWhite();
    void triggeredImageListBackAddColor();
    void triggeredImageListBackAddGray();
    void triggeredImageListBackAddBlackWhite();
    void itemSelectionChangedFront();
    void itemSelectionChangedBack();
    void clickedBtnFrontDelete();
    void clickedBtnBackDelete();
    void clickedBtnFrontUp();
    void clickedBtnFrontDown();
    void clickedBtnBackUp();
    void clickedBtnBackDown();
    void clickedBtnAbout();
    void clickedBtnHelp();
    void CopyFrontToBack();
    void CopyBackToFront();
    void changedImageSizeUnit(ImageSizeUnitFlag ImageSizeUnitID);
    void changedDoubleSpinboxSingleStep(double unit);
    void changeUnitSize(double LengthLeft, double LengthRight);
    void valueChangeLength();
    void judgeColorItem(SCAN_SHORTCUT_MENU &stScanShortcut, QString itemColorText, int itemIndex);
    bool compareColorType(SCAN_SHORTCUT_MENU &stScanShortcut,
                          AdvancedColorCountFlag AdvancedColorCountID, ColorModeFlag FrontOneType,
                          ColorModeFlag FrontTwoType, ColorModeFlag BackOneType,
                          ColorModeFlag BackTwoType);

public:
    int getColorItem(QString itemText);
    void saveLearn();
    void createTwoSideOrFrontOrBackMessage();
    void createPerImageList();
    void createPerImageFrontAddButton();
    void createPerImageBackAddButton();
    void createPerImageFrontChangeButton();
    void createPerImageBackChangeButton();

private:
    enum Side { Front = 0, Back = 1 };
    struct SideWidgets
    {
        QListWidget *list;
        QGroupBox *group;
        QPushButton *add;
        QPushButton *change;
        QToolButton *remove;
        QPushButton *up;
        QPushButton *down;
        QPointer<QMenu> addMenu;
        QPointer<QMenu> changeMenu;
    };

    // set-up (frame and General page)
    void initDialog();
    void connectMessage();
    void connectGeneralPageMessages();
    void connectGeneralPageChangeValueControlMessages();
    void disconnectGeneralPageChangeValueControlMessages();
    void loadToolGeneralPageWording();
    void createToolGeneralInputDoc();
    void createToolGeneralSleevedDoc();
    void createToolGeneralSplitDoc();
    void createToolGeneralLength();
    // Images page
    void loadToolImagePageWording();
    void createToolImageCombine();
    void createToolImagePerImage();
    void connectImagePageMessages();
    void connectImagePageChangeValueControlMessages();
    void disconnectImagePageChangeValueControlMessages();

    // image lists, one family for both sides
    QString kindText(int kind) const;
    int kindOf(const QString &text) const;
    int kindAt(Side side, int row) const;
    QIcon kindIcon(int kind) const;
    QListWidgetItem *newItem(int kind) const;
    void fillList(Side side, const QList<int> &kinds);
    static QList<int> defaultPair(int kind);
    static bool isAllowedPair(int first, int second);
    bool holdsAllowedContents(Side side) const;
    void rebuildAddMenu(Side side);
    void rebuildChangeMenu(Side side);
    void addImage(Side side, int kind);
    void changeImage(Side side, int kind);
    void deleteImage(Side side);
    void moveImage(Side side, int selectRow);
    void selectionRule(Side side);
    void copyList(Side from, Side to);
    void equaliseLists();
    void pairUpLists();
    void repairLists(int layout, int resetSide);
    void setDeleteEnabled(bool enabled);

    // page states
    void setCombineEnabled(bool enabled);
    void showContentTab();
    void removeContentTab();
    void setListGroupsShown(bool front, bool back);
    void showOrderedLists(int input);
    void showByContentLists();
    void setSingleTitle();
    void setFrontTitle();
    int inputData() const;
    int sleevedData() const;
    int splitData() const;
    int perImageData() const;
    int listLayout() const;
    double shownFactor() const;
    // Connections made while a page edits its values, cut when it is refilled.
    void dropConnections(QList<QMetaObject::Connection> &connections);

    Ui::SettingToolForm *ui;
    SettingToolContentForm *m_contentForm;
    PMessage *m_hub;
    int m_colorMode = KindColor;
    ImageSizeUnitFlag m_unit = UnitCentimetre;
    SideWidgets m_sides[2];
    QList<QMetaObject::Connection> m_generalConnections;
    QList<QMetaObject::Connection> m_imageConnections;
};

#endif
