#ifndef SETTINGTOOLCONTENTFORM_H
#define SETTINGTOOLCONTENTFORM_H

#include "corvanglobal.h"
#include "scanshortcut.h"

#include <QWidget>

class PMessage;
namespace Ui {
class SettingToolContentForm;
}

// The Content page of the image tool form: on which side the scanner picks
// the image by the document's colour content, how sensitive that choice is,
// and the Learn scan that measures custom values.
class VELLUM_EXPORT SettingToolContentForm : public QWidget
{
    Q_OBJECT
public:
    SettingToolContentForm(PMessage *hub, QWidget *parent = nullptr);
    ~SettingToolContentForm() override;

    bool updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void initAdvancedSettingContent(InputDocumentFlag inputDocId);

public slots:
    void currentItemInputImageSide(InputDocumentFlag inputDocId, bool bChecked);
    void currentItemContentSensitivity(int nIndex);
    void clickedLearn();
    void setAutoColorValue(int AutoColorMinAmount, int AutoColorThreshold);

private:
    void initDialog();
    void connectMessage();
    void loadToolContentSettingPageWording();
    void createToolContentSide();
    void createToolContentSensitivity();

    Ui::SettingToolContentForm *ui;
    PMessage *m_hub;
};

#endif
